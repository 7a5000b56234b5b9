// The library's one door to the heap, so tests can make any allocation fail.
#ifndef LEXMSG_MEMORY_H
#define LEXMSG_MEMORY_H

#include <cstddef>

namespace lexmsg {

void* mem_alloc(size_t size);
void* mem_calloc(size_t count, size_t size);
void mem_free(void* block);

// Test hook: the allocation after `successes` more successful ones fails,
// and every one after it too; a negative value turns failures off.
void mem_fail_after(long successes);

}  // namespace lexmsg

#endif
