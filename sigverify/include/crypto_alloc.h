// The heap behind the arithmetic, with a hook that lets tests make any
// allocation fail.
#pragma once

#include <cstddef>

// Zero-filled allocation of count * size bytes; null when memory runs out,
// the product overflows or the test hook refuses.
void* crypto_calloc(size_t count, size_t size);

// Releases what crypto_calloc returned; null is accepted. The caller wipes
// secrets first.
void crypto_free(void* block);

// Called before every allocation with the context given to
// crypto_set_alloc_hook; returning false makes that allocation fail. For tests
// only: the hook is a process-wide setting, not synchronised. Null removes it.
using CryptoAllocHook = bool (*)(void* context);
void crypto_set_alloc_hook(CryptoAllocHook hook, void* context);
