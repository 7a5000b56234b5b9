/* CHECK for the tests written in C: reports a failed condition with its line
 * and counts it in the including file's own `failures`. */
#ifndef LEXMSG_TESTS_C_CHECK_H
#define LEXMSG_TESTS_C_CHECK_H

#include <stdio.h>

#define CHECK(cond)                                                                  \
    do {                                                                             \
        if (!(cond)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                              \
        }                                                                            \
    } while (0)

#endif
