// Gives the arithmetic and the verification flow the C runtime's heap,
// behind hooks for failure tests.
#include "crypto_alloc.h"

#include <cstdint>
#include <cstdlib>

#include "wipe.h"

namespace sigverify {

namespace {
CryptoAllocHooks hooks = {nullptr, nullptr, nullptr, nullptr};
}  // namespace

void* crypto_calloc(size_t count, size_t size) {
    if (count != 0 && size > SIZE_MAX / count) return nullptr;
    const size_t bytes = count * size;
    if (hooks.may_allocate != nullptr && !hooks.may_allocate(bytes, hooks.context)) return nullptr;
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block != nullptr && hooks.allocated != nullptr) hooks.allocated(block, bytes, hooks.context);
    return block;
}

void crypto_free(void* block, size_t size) {
    if (block == nullptr) return;
    wipe_bytes(block, size);
    if (hooks.releasing != nullptr) hooks.releasing(block, hooks.context);
    std::free(block);
}

void crypto_set_alloc_hooks(const CryptoAllocHooks* replacement) {
    hooks = replacement != nullptr ? *replacement : CryptoAllocHooks{nullptr, nullptr, nullptr, nullptr};
}

}  // namespace sigverify
