// Finds the signature block at the end of an open file and parses it.
#ifndef SIGVERIFY_SIGNATURE_BLOCK_PARSER_H
#define SIGVERIFY_SIGNATURE_BLOCK_PARSER_H

#include <cstdint>

#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

// Searches the last bytes of the file (at most the search window) for the
// end marker nearest the end, reads the trailer, then the header and record
// table at block start. On success fills *info (the caller releases it with
// release_block_info) and returns true. On failure returns false with *code
// set to 3 (no memory), 7 (no block), 8 (malformed block) or 13 (seek or read
// failed); *info then owns nothing.
//
// Besides the format's own checks, a block is malformed (8) when its span is
// not lead_pad + end_offset + 16 + tail_pad, when its excluded range does not
// lie wholly inside the file, when its header or record table reaches past
// the bytes read from block start, or, in the hex-text encoding, when a line
// break lies anywhere from its start marker through its end marker.
// The file position afterwards is unspecified.
bool parse_signature_block(SigFile* file, uint32_t file_length, sig_block_info* info, int* code);

}  // namespace sigverify

#endif
