// The library's one door to the heap, so tests can make any allocation fail
// and watch every block that is released.
#ifndef LEXMSG_MEMORY_H
#define LEXMSG_MEMORY_H

#include <cstddef>

namespace lexmsg {

void* mem_alloc(size_t size);
void* mem_calloc(size_t count, size_t size);
void mem_free(void* block);

// Test hooks, of the same shape as the verification library's; every member
// may be null. For tests only: a process-wide setting, not synchronised.
struct AllocHooks {
    // Asked before every allocation; returning false makes it fail.
    bool (*may_allocate)(size_t bytes, void* context);
    // Told of every block handed out.
    void (*allocated)(void* block, size_t bytes, void* context);
    // Shown every block just before it is released.
    void (*releasing)(void* block, void* context);
    void* context;
};

// Installs a copy of *hooks; null removes them.
void mem_set_alloc_hooks(const AllocHooks* hooks);

}  // namespace lexmsg

#endif
