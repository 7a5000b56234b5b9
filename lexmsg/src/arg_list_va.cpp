// Builds argument lists from (tag, value) pairs of a variable argument list.
#include <cstdarg>
#include <cstdint>

#include "arg_list_impl.h"
#include "lexmsg.h"

namespace lexmsg {
namespace {

// Reads the value that belongs to tag (in its promoted type) and appends it.
// An unknown tag reads nothing and appends an element that no message can
// render. A failed append is skipped.
void append_from_va(lexmsg_arg_list* list, int tag, va_list& args) {
    switch (tag) {
        case LEXMSG_ARG_INT:
            lexmsg_arg_list_add_int(list, va_arg(args, int));
            break;
        case LEXMSG_ARG_LONG:
            lexmsg_arg_list_add_long(list, va_arg(args, long));
            break;
        case LEXMSG_ARG_ULONG:
            lexmsg_arg_list_add_ulong(list, va_arg(args, unsigned long));
            break;
        case LEXMSG_ARG_CHAR:
            lexmsg_arg_list_add_char(list, static_cast<char>(va_arg(args, int)));
            break;
        case LEXMSG_ARG_WCHAR:
            lexmsg_arg_list_add_wchar(list, static_cast<lexmsg_wchar>(va_arg(args, int)));
            break;
        case LEXMSG_ARG_CHARP:
            lexmsg_arg_list_add_charp(list, va_arg(args, const char*));
            break;
        case LEXMSG_ARG_WCHARP:
            lexmsg_arg_list_add_wcharp(list, va_arg(args, const lexmsg_wchar*));
            break;
        case LEXMSG_ARG_UINT:
            lexmsg_arg_list_add_uint(list, va_arg(args, unsigned int));
            break;
        default:
            arg_list_append(list, tag, 0, 0);
            break;
    }
}

}  // namespace

}  // namespace lexmsg

extern "C" {

lexmsg_arg_list* lexmsg_arg_list_from_va(unsigned int count, va_list args) {
    lexmsg_arg_list* list = lexmsg_arg_list_new();
    if (list == nullptr) return nullptr;
    va_list cursor;
    va_copy(cursor, args);
    for (unsigned int i = 0; i < count; ++i) lexmsg::append_from_va(list, va_arg(cursor, int), cursor);
    va_end(cursor);
    return list;
}

lexmsg_arg_list* lexmsg_arg_list_from_va_sentinel(va_list args) {
    lexmsg_arg_list* list = lexmsg_arg_list_new();
    if (list == nullptr) return nullptr;
    va_list cursor;
    va_copy(cursor, args);
    for (int tag = va_arg(cursor, int); tag != 0; tag = va_arg(cursor, int)) lexmsg::append_from_va(list, tag, cursor);
    va_end(cursor);
    return list;
}

}  // extern "C"
