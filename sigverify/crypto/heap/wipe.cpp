// Wiping that survives optimisation: the zeros are written by memset, and
// an empty assembly statement that may read the whole block follows, so
// that a dead-store elimination cannot drop them.
#include "wipe.h"

#include <cstring>

namespace sigverify {

void wipe_bytes(void* block, size_t size) {
    if (size == 0) return;
    std::memset(block, 0, size);
    __asm__ __volatile__("" : : "r"(block) : "memory");
}

}  // namespace sigverify
