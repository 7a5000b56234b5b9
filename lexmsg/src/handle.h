// The private layout of a catalog handle: one expanded section, read-only
// after initialisation.
#ifndef LEXMSG_HANDLE_H
#define LEXMSG_HANDLE_H

#include <cstdint>

#include "lexmsg.h"

struct lexmsg_handle {
    uint32_t kind;           // 1: wide section, 2: narrow section
    unsigned char* section;  // owned; the expanded section
    uint32_t section_size;
    uint32_t highest_id;  // from the catalog header
};

#endif
