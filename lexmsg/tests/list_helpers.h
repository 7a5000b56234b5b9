// Small helpers shared by the argument-list tests.
#ifndef LEXMSG_TESTS_LIST_HELPERS_H
#define LEXMSG_TESTS_LIST_HELPERS_H

#include <cstdarg>
#include <memory>

#include "lexmsg.h"

namespace lexmsg_test {

struct ListDeleter {
    void operator()(lexmsg_arg_list* list) const { lexmsg_arg_list_free(list); }
};
using ListPtr = std::unique_ptr<lexmsg_arg_list, ListDeleter>;

// (tag, value) pairs handed to the builders as a va_list.
inline lexmsg_arg_list* from_va(unsigned int count, ...) {
    va_list args;
    va_start(args, count);
    lexmsg_arg_list* list = lexmsg_arg_list_from_va(count, args);
    va_end(args);
    return list;
}

inline lexmsg_arg_list* from_va_sentinel(int unused, ...) {
    va_list args;
    va_start(args, unused);
    lexmsg_arg_list* list = lexmsg_arg_list_from_va_sentinel(args);
    va_end(args);
    return list;
}

}  // namespace lexmsg_test

#endif
