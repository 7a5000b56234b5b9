// The message functions on an explicit handle: the list forms, and the forms
// that build a temporary list from (tag, value) pairs.
#include <cstdarg>

#include "lexmsg.h"
#include "message_format.h"

extern "C" {

int lexmsg_lgetMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args) {
    return lexmsg::format_message_wide(handle, id, buffer, size, args);
}

int lexmsg_lgetMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args) {
    return lexmsg::format_message_narrow(handle, id, buffer, size, args);
}

int lexmsg_vgetMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, va_list pairs) {
    lexmsg_arg_list* args = lexmsg_arg_list_from_va(count, pairs);
    if (args == nullptr) return LEXMSG_E_FAIL;
    const int rc = lexmsg_lgetMessageW_mf(handle, id, buffer, size, args);
    lexmsg_arg_list_free(args);
    return rc;
}

int lexmsg_vgetMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, char** buffer, uint32_t size, va_list pairs) {
    lexmsg_arg_list* args = lexmsg_arg_list_from_va(count, pairs);
    if (args == nullptr) return LEXMSG_E_FAIL;
    const int rc = lexmsg_lgetMessageA_mf(handle, id, buffer, size, args);
    lexmsg_arg_list_free(args);
    return rc;
}

int lexmsg_getMessageW_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, lexmsg_wchar** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageW_mf(handle, id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

int lexmsg_getMessageA_mf(
    const lexmsg_handle* handle, uint32_t id, unsigned int count, char** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageA_mf(handle, id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

}  // extern "C"
