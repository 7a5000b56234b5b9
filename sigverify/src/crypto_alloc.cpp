// The arithmetic's heap: the C runtime's, behind a hook for failure tests.
#include "crypto_alloc.h"

#include <cstdlib>

namespace {
CryptoAllocHook alloc_hook = nullptr;
void* alloc_hook_context = nullptr;
}  // namespace

void* crypto_calloc(size_t count, size_t size) {
  if (alloc_hook != nullptr && !alloc_hook(alloc_hook_context)) return nullptr;
  return std::calloc(count, size);
}

void crypto_free(void* block) { std::free(block); }

void crypto_set_alloc_hook(CryptoAllocHook hook, void* context) {
  alloc_hook = hook;
  alloc_hook_context = context;
}
