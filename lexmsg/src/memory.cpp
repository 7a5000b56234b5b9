// Heap access for the whole library, with a failure switch used by tests.
#include "memory.h"

#include <cstdlib>

namespace lexmsg {
namespace {
long g_fail_after = -1;

bool next_allocation_fails() {
    if (g_fail_after < 0) return false;
    if (g_fail_after == 0) return true;
    --g_fail_after;
    return false;
}
}  // namespace

void* mem_alloc(size_t size) {
    if (next_allocation_fails()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* mem_calloc(size_t count, size_t size) {
    if (next_allocation_fails()) return nullptr;
    return std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
}

void mem_free(void* block) { std::free(block); }

void mem_fail_after(long successes) { g_fail_after = successes; }

}  // namespace lexmsg
