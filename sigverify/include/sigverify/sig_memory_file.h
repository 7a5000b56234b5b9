// A file whose bytes are already in memory, behind the same interface as
// the platform's files: the signing tool reads a file once and signs and
// writes out exactly those bytes; tests build failing files on it.
#ifndef SIGVERIFY_SIG_MEMORY_FILE_H
#define SIGVERIFY_SIG_MEMORY_FILE_H

#include <cstddef>
#include <cstdint>

#include "sigverify/sig_file.h"

namespace sigverify {

// Borrows the bytes; they must outlive the file.
class SigMemoryFile : public SigFile {
public:
    SigMemoryFile(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    int64_t length() override { return static_cast<int64_t>(size_); }
    bool seek(int64_t offset, bool from_end) override;
    int64_t read(void* buffer, uint32_t size) override;

private:
    const uint8_t* bytes_;
    size_t size_;
    uint64_t position_ = 0;
};

}  // namespace sigverify

#endif
