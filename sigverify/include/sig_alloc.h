// The heap behind the verification flow's own buffers and lists, with a hook
// that lets tests make any allocation fail.
#ifndef SIGVERIFY_SIG_ALLOC_H
#define SIGVERIFY_SIG_ALLOC_H

#include <cstddef>

namespace sigverify {

// Zero-filled allocation of count * size bytes (at least one byte); null when
// memory runs out, the product overflows or the test hook refuses.
void* sig_calloc(size_t count, size_t size);
void sig_free(void* block);

// Asked before every allocation; returning false makes it fail. For tests
// only: a process-wide setting, not synchronised. Null removes it.
using sig_alloc_hook = bool (*)(void* context);
void sig_set_alloc_hook(sig_alloc_hook hook, void* context);

}  // namespace sigverify

#endif
