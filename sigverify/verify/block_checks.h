// What an accepted block may leave free: nothing that a loader or a script
// host acts on. Where the block lies in the file, every byte of it, and its
// padding in a file that is not a PE image.
#ifndef SIGVERIFY_BLOCK_CHECKS_H
#define SIGVERIFY_BLOCK_CHECKS_H

#include <cstddef>
#include <cstdint>

#include "pe_exclusions.h"
#include "sigverify/inert_padding.h"
#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

// True when the block ends the file's own data: nothing follows its range
// (block_last, tail padding included) but, in a PE image, the certificate
// table that the directory entry names, starting right after the range and
// reaching the end of the file. Otherwise unsigned bytes could sit between
// signed ones, where a loader or a script host finds them.
bool block_ends_the_file(uint32_t block_last, const PeCertTable& cert, uint32_t file_length);

// Reads the block's range (block_first .. block_first + span - 1) and checks
// that it carries nothing but its fields and its signature value:
// - every type tag is 3, and the key selector of every record 'P' or 'D';
// - in the hex-text encoding every character of every field is a
//   hexadecimal digit;
// - header, record table and trailer do not overlap, and a signature value
//   that starts inside the block lies wholly between the record table and
//   the trailer;
// - every record but `used` (the signature record the verification read)
//   has value offset and length 0;
// - every other byte from the start marker through the end marker is zero
//   (the digit '0' in the hex-text encoding), reserved fields included;
// - in a file that is not a PE image (text_file), every padding byte is
//   ASCII and no letter: a script host reads every byte of a script.
// `used` points into block.records. The value's own characters are checked
// where it is read (read_signature_payload). Returns 0, or 8 when a check
// fails, 3 when memory runs out, 13 when the range cannot be read.
int check_block_bytes(
    SigFile* file, const sig_block_info& block, uint32_t block_first, const sig_record* used, bool text_file);

}  // namespace sigverify

#endif
