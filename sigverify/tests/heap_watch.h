// The watch on the arithmetic's and the verification's heap.
#ifndef SIGVERIFY_TESTS_HEAP_WATCH_H
#define SIGVERIFY_TESTS_HEAP_WATCH_H

#include "crypto_alloc.h"
#include "heap_watch_of.h"

using HeapWatch = sk_testing::HeapWatch<sigverify::CryptoAllocHooks, &sigverify::crypto_set_alloc_hooks>;

#endif
