// The older legacy trailer at the very end of a file: the signature alone,
// 'B' (256 bytes) or 'T' (512 hex characters), verified with the secondary key.
#ifndef SIGVERIFY_LEGACY_TRAILER_H
#define SIGVERIFY_LEGACY_TRAILER_H

#include <cstdint>

#include "sigverify/sig_file.h"

namespace sigverify {

// True only when the trailer's signed message carries the file's total
// length and the MD5 of every byte in front of the trailer, the signature
// lies below the modulus, and a 'T' trailer's 512 characters are all
// hexadecimal digits. Keeps its
// reasons to itself; releases the file and all memory on every path.
bool check_legacy_trailer(SigFileDoor& door, const wchar_t* path);

// The length keystream of legacy messages, applied in place to 4 bytes;
// the same call scrambles and unscrambles.
void unscramble_length(uint8_t bytes[4]);

}  // namespace sigverify

#endif
