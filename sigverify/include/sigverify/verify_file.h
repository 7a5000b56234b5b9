// The verification entry: does a file carry a valid signature of the maker?
#ifndef SIGVERIFY_VERIFY_FILE_H
#define SIGVERIFY_VERIFY_FILE_H

#include <cstdint>

#include "sigverify/sig_file.h"

namespace sigverify {

// True when the file's signature block verifies with the built-in primary
// key (*code 3) or, for mode 1 or 2 only, when its legacy trailer verifies
// with the secondary key (*code 2). Otherwise false with the code the block
// verification left (sig_result.h). code may be null.
bool verify_file_signature(const wchar_t* path, int* code, uint32_t mode);
// The same through the given door to the file system.
bool verify_file_signature(SigFileDoor& door, const wchar_t* path, int* code, uint32_t mode);

// True only for a block that verifies with the given primary key (modulus of
// key_length bytes, most significant first); *code 3. A block that verifies
// but does not end the file's own data, or leaves a byte free (block_checks.h),
// gives false with 8; one that verifies with the secondary key, false with 11. Every other outcome is false
// with its code. code may be null. Everything the call opens or allocates is
// released before it returns.
bool verify_signature_block(SigFileDoor& door, const wchar_t* path, int* code, const uint8_t* key, uint32_t key_length);

}  // namespace sigverify

#endif
