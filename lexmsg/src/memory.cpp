// Gives the whole library the C runtime's heap, behind hooks for failure
// tests.
#include "memory.h"

#include <cstdint>
#include <cstdlib>

namespace lexmsg {
namespace {
AllocHooks g_hooks = {nullptr, nullptr, nullptr, nullptr};

void* handed_out(void* block, size_t bytes) {
    if (block != nullptr && g_hooks.allocated != nullptr) g_hooks.allocated(block, bytes, g_hooks.context);
    return block;
}
}  // namespace

void* mem_alloc(size_t size) {
    if (g_hooks.may_allocate != nullptr && !g_hooks.may_allocate(size, g_hooks.context)) return nullptr;
    return handed_out(std::malloc(size == 0 ? 1 : size), size);
}

void* mem_calloc(size_t count, size_t size) {
    if (count != 0 && size > SIZE_MAX / count) return nullptr;
    if (g_hooks.may_allocate != nullptr && !g_hooks.may_allocate(count * size, g_hooks.context)) return nullptr;
    return handed_out(std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size), count * size);
}

void mem_free(void* block) {
    if (block != nullptr && g_hooks.releasing != nullptr) g_hooks.releasing(block, g_hooks.context);
    std::free(block);
}

void mem_set_alloc_hooks(const AllocHooks* hooks) {
    g_hooks = hooks != nullptr ? *hooks : AllocHooks{nullptr, nullptr, nullptr, nullptr};
}

}  // namespace lexmsg
