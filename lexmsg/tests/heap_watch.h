// The watch on the library's heap.
#ifndef LEXMSG_TESTS_HEAP_WATCH_H
#define LEXMSG_TESTS_HEAP_WATCH_H

#include "heap_watch_of.h"
#include "memory.h"

using HeapWatch = sk_testing::HeapWatch<lexmsg::AllocHooks, &lexmsg::mem_set_alloc_hooks>;

#endif
