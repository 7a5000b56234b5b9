// Wiping of memory that held secrets or digest state.
#ifndef SIGVERIFY_WIPE_H
#define SIGVERIFY_WIPE_H

#include <cstddef>

namespace sigverify {

// Sets size bytes at block to zero with stores the compiler may not remove.
void wipe_bytes(void* block, size_t size);

}  // namespace sigverify

#endif
