// The signed content of a file: its bytes in file order with every excluded
// range left out, and the digests over it.
#ifndef SIGVERIFY_SIGNED_CONTENT_H
#define SIGVERIFY_SIGNED_CONTENT_H

#include <cstdint>

#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

// Reads the bytes of file positions 0 .. limit - 1 that lie in no range of
// `ranges` (ascending file order; may be empty) into buffer, which holds at
// least limit bytes, packed in order; *count receives their number. Gaps
// never run backwards or wrap, whatever the ranges hold: a range that starts
// before the end of the previous one only skips what it adds. Returns false
// with *code 4 when the seek to the start fails, 13 on any later failed seek,
// read error or short read.
bool read_signed_content(
    SigFile* file, uint32_t limit, const excluded_range* ranges, uint8_t* buffer, uint32_t* count, int* code);

// Reads the signed content of the whole file into one buffer as large as the
// file, then fills payload's signed length (low and high word), content MD5
// and content SHA-256; the other fields are left as they are. Returns false
// with *code 4 (no file or payload), 3 (no memory), 13 (seek or read) or 4
// from read_signed_content.
bool compute_content_digests(SigFile* file, const excluded_range* ranges, sig_payload* payload, int* code);

}  // namespace sigverify

#endif
