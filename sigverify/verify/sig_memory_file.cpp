// Reads and seeks over bytes in memory, with the platform files' rules: a
// position past the end reads nothing, one before the start is refused.
#include "sigverify/sig_memory_file.h"

#include <cstring>

namespace sigverify {

bool SigMemoryFile::seek(int64_t offset, bool from_end) {
    const int64_t base = from_end ? static_cast<int64_t>(size_) : 0;
    if (offset < -base) return false;
    position_ = static_cast<uint64_t>(base + offset);
    return true;
}

int64_t SigMemoryFile::read(void* buffer, uint32_t size) {
    if (position_ >= size_) return 0;
    const uint64_t left = size_ - position_;
    const uint32_t count = left < size ? static_cast<uint32_t>(left) : size;
    std::memcpy(buffer, bytes_ + position_, count);
    position_ += count;
    return count;
}

}  // namespace sigverify
