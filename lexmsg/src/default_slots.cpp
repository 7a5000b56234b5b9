// The two process-wide slots behind the entry points without _mf: the wide
// slot for the W functions, the narrow slot for the A functions.
#include <cstdarg>

#include "lexmsg.h"

namespace lexmsg {
namespace {

struct Slot {
    bool initialised;
    lexmsg_handle* handle;
};

// Zero at load; unsynchronised by design.
Slot g_wide_slot = {false, nullptr};
Slot g_narrow_slot = {false, nullptr};

// Runs an initialiser into an empty slot; a failure leaves it empty.
template <class Init>
int init_slot(Slot& slot, Init init) {
    if (slot.initialised) return LEXMSG_E_FAIL;
    const int rc = init(&slot.handle);
    if (rc != LEXMSG_OK) {
        slot.handle = nullptr;
        return rc;
    }
    slot.initialised = true;
    return LEXMSG_OK;
}

int cleanup_slot(Slot& slot, int (*cleanup)(lexmsg_handle*)) {
    if (!slot.initialised || slot.handle == nullptr) return LEXMSG_E_FAIL;
    if (cleanup(slot.handle) == LEXMSG_E_HANDLE) return LEXMSG_E_FAIL;
    slot.handle = nullptr;
    slot.initialised = false;
    return LEXMSG_OK;
}

// The slot's handle for a message function, or null when the slot is empty.
const lexmsg_handle* slot_handle(const Slot& slot) { return slot.initialised ? slot.handle : nullptr; }

int plain_result(int rc) { return rc == LEXMSG_E_HANDLE ? LEXMSG_E_FAIL : rc; }

}  // namespace
}  // namespace lexmsg

using lexmsg::g_narrow_slot;
using lexmsg::g_wide_slot;

extern "C" {

int lexmsg_initW(const char* path) {
    return lexmsg::init_slot(g_wide_slot, [&](lexmsg_handle** out) { return lexmsg_initW_mf(path, out); });
}

int lexmsg_wcsinitW(const lexmsg_wchar* path) {
    return lexmsg::init_slot(g_wide_slot, [&](lexmsg_handle** out) { return lexmsg_wcsinitW_mf(path, out); });
}

int lexmsg_initA(const char* path) {
    return lexmsg::init_slot(g_narrow_slot, [&](lexmsg_handle** out) { return lexmsg_initA_mf(path, out); });
}

int lexmsg_wcsinitA(const lexmsg_wchar* path) {
    return lexmsg::init_slot(g_narrow_slot, [&](lexmsg_handle** out) { return lexmsg_wcsinitA_mf(path, out); });
}

int lexmsg_initembA(const char* module_path, const char* host_path, uint32_t reserved) {
    return lexmsg::init_slot(
        g_narrow_slot, [&](lexmsg_handle** out) { return lexmsg_initembA_mf(module_path, host_path, out, reserved); });
}

int lexmsg_cleanupW(void) { return lexmsg::cleanup_slot(g_wide_slot, lexmsg_cleanupW_mf); }

int lexmsg_cleanupA(void) { return lexmsg::cleanup_slot(g_narrow_slot, lexmsg_cleanupA_mf); }

int lexmsg_lgetMessageW(uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args) {
    const lexmsg_handle* handle = lexmsg::slot_handle(g_wide_slot);
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return lexmsg::plain_result(lexmsg_lgetMessageW_mf(handle, id, buffer, size, args));
}

int lexmsg_lgetMessageA(uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args) {
    const lexmsg_handle* handle = lexmsg::slot_handle(g_narrow_slot);
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return lexmsg::plain_result(lexmsg_lgetMessageA_mf(handle, id, buffer, size, args));
}

int lexmsg_vgetMessageW(uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, va_list pairs) {
    const lexmsg_handle* handle = lexmsg::slot_handle(g_wide_slot);
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return lexmsg::plain_result(lexmsg_vgetMessageW_mf(handle, id, count, buffer, size, pairs));
}

int lexmsg_vgetMessageA(uint32_t id, unsigned int count, char** buffer, uint32_t size, va_list pairs) {
    const lexmsg_handle* handle = lexmsg::slot_handle(g_narrow_slot);
    if (handle == nullptr) return LEXMSG_E_FAIL;
    return lexmsg::plain_result(lexmsg_vgetMessageA_mf(handle, id, count, buffer, size, pairs));
}

int lexmsg_getMessageW(uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageW(id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

int lexmsg_getMessageA(uint32_t id, unsigned int count, char** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageA(id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

}  // extern "C"
