// The watch on the arithmetic's and the verification's heap.
#pragma once

#include "crypto_alloc.h"
#include "heap_watch_of.h"

using HeapWatch = sk_testing::HeapWatch<sigverify::CryptoAllocHooks, &sigverify::crypto_set_alloc_hooks>;
