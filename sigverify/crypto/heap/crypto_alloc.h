// The heap behind the arithmetic and the verification flow, with hooks that
// let tests make any allocation fail and watch every block that is released.
#ifndef SIGVERIFY_CRYPTO_ALLOC_H
#define SIGVERIFY_CRYPTO_ALLOC_H

#include <cstddef>

namespace sigverify {

// Zero-filled allocation of count * size bytes (at least one byte, so a
// success is never null); null when memory runs out,
// the product overflows or a test hook refuses.
void* crypto_calloc(size_t count, size_t size);

// Wipes the size bytes of a block that crypto_calloc returned, then
// releases it; null is accepted. Every block goes back wiped, so memory that
// held big numbers, digest state or file bytes never returns to the heap
// with them; size is the size it was allocated with.
void crypto_free(void* block, size_t size);

// Test hooks; every member may be null. For tests only: a process-wide
// setting, not synchronised.
struct CryptoAllocHooks {
    // Asked before every allocation; returning false makes it fail.
    bool (*may_allocate)(size_t bytes, void* context);
    // Told of every block handed out.
    void (*allocated)(void* block, size_t bytes, void* context);
    // Shown every block just before it is released.
    void (*releasing)(void* block, void* context);
    void* context;
};

// Installs a copy of *hooks; null removes them.
void crypto_set_alloc_hooks(const CryptoAllocHooks* hooks);

}  // namespace sigverify

#endif
