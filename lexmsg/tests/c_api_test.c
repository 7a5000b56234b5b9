/* The public header compiled as C, linked against the shared library: builds
 * a list through the exported functions and checks its byte form. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "lexmsg.h"

static int failures = 0;

static lexmsg_arg_list* sentinel_list(int dummy, ...) {
    va_list args;
    lexmsg_arg_list* list;
    va_start(args, dummy);
    list = lexmsg_arg_list_from_va_sentinel(args);
    va_end(args);
    return list;
}

int main(void) {
    static const unsigned char expected[] = {0x03, 0x00, 0x01, 0x2A, 0x00, 0x00, 0x00, 0x06, 0x02,
                                             0x00, 0x00, 0x00, 'h',  'i',  0x04, 'z'};
    static const lexmsg_wchar wide[] = {0x41, 0};
    unsigned char out[64];
    uint32_t size = 0;
    int tag = 0;
    lexmsg_arg_list* copy = NULL;
    lexmsg_arg_list* list = sentinel_list(0, LEXMSG_ARG_INT, 42, LEXMSG_ARG_CHARP, "hi", LEXMSG_ARG_CHAR, 'z', 0);

    CHECK(list != NULL);
    CHECK(lexmsg_arg_list_length(list) == 3);
    CHECK(lexmsg_arg_list_serialize(list, NULL, &size) == LEXMSG_E_OPEN);
    CHECK(size == sizeof expected);
    size = sizeof out;
    CHECK(lexmsg_arg_list_serialize(list, out, &size) == LEXMSG_OK);
    CHECK(size == sizeof expected && memcmp(out, expected, sizeof expected) == 0);

    CHECK(lexmsg_arg_list_deserialize(&copy, out, size) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_length(copy) == 3);
    CHECK(strcmp((const char*)lexmsg_arg_list_get(copy, 1, &tag), "hi") == 0 && tag == LEXMSG_ARG_CHARP);
    CHECK(lexmsg_arg_list_pop(copy) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_add_wcharp(copy, wide) == LEXMSG_OK);
    CHECK(lexmsg_arg_list_get(copy, 2, &tag) == (intptr_t)wide && tag == LEXMSG_ARG_WCHARP);
    CHECK(lexmsg_arg_list_length(lexmsg_arg_list_empty()) == 0);

    lexmsg_arg_list_free(copy);
    lexmsg_arg_list_free(list);
    if (failures == 0) printf("c_api_test: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
