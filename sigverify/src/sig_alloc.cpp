// The verification flow's heap: the C runtime's, behind a test hook.
#include "sig_alloc.h"

#include <cstdint>
#include <cstdlib>

namespace sigverify {

namespace {

sig_alloc_hook g_hook = nullptr;
void* g_context = nullptr;

}  // namespace

void* sig_calloc(size_t count, size_t size) {
    if (count != 0 && size > SIZE_MAX / count) return nullptr;
    if (g_hook != nullptr && !g_hook(g_context)) return nullptr;
    const size_t bytes = count * size == 0 ? 1 : count * size;
    return std::calloc(bytes, 1);
}

void sig_free(void* block) {
    std::free(block);
}

void sig_set_alloc_hook(sig_alloc_hook hook, void* context) {
    g_hook = hook;
    g_context = context;
}

}  // namespace sigverify
