// Shared by the catalog fuzz targets: one fixed argument list of every tag,
// and formatting of every id up to a bound through both size protocols.
#ifndef FUZZ_CATALOG_FUZZ_SUPPORT_H
#define FUZZ_CATALOG_FUZZ_SUPPORT_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lexmsg.h"

namespace catalog_fuzz {

constexpr uint32_t kIdBound = 40;

inline const lexmsg_arg_list* fixed_arguments() {
    static const lexmsg_wchar wide[] = {'w', 0xE9, 0xD83D, 0xDE00, 0};
    static lexmsg_arg_list* list = [] {
        lexmsg_arg_list* l = lexmsg_arg_list_new();
        lexmsg_arg_list_add_int(l, -2147483647 - 1);
        lexmsg_arg_list_add_charp(l, "string");
        lexmsg_arg_list_add_uint(l, 4294967295u);
        lexmsg_arg_list_add_char(l, 'c');
        lexmsg_arg_list_add_wchar(l, 0x20AC);
        lexmsg_arg_list_add_wcharp(l, wide);
        lexmsg_arg_list_add_long(l, -1L);
        lexmsg_arg_list_add_ulong(l, 7UL);
        return l;
    }();
    return list;
}

template <class Ch>
size_t text_length(const Ch* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// Formats id with an allocated buffer, then into a caller buffer of exactly
// the needed size; the two must agree and stay inside their sizes.
template <class Ch, class Get>
void format_both_ways(uint32_t id, Get get) {
    Ch* allocated = nullptr;
    const int rc = get(id, &allocated, 0u);
    if (rc > 0) std::abort();  // size 0 never reports a needed size
    if ((rc == LEXMSG_OK || rc == LEXMSG_E_ARG_COUNT) && allocated == nullptr) std::abort();
    Ch one[1] = {0};
    Ch* small = one;
    const int needed = get(id, &small, 1u);
    if (needed > 0) {
        std::vector<Ch> exact(static_cast<size_t>(needed) / sizeof(Ch));
        Ch* into = exact.data();
        const int again = get(id, &into, static_cast<uint32_t>(needed));
        if (again != rc) std::abort();
        if (rc == LEXMSG_OK || rc == LEXMSG_E_ARG_COUNT) {
            const size_t length = text_length(exact.data());
            if (length >= exact.size()) std::abort();
            if (std::memcmp(exact.data(), allocated, (length + 1) * sizeof(Ch)) != 0) std::abort();
        }
    } else if (needed != rc && !(rc == LEXMSG_E_FAIL)) {
        std::abort();  // every failure but a conversion failure comes before the size
    }
    lexmsg_free(allocated);
}

}  // namespace catalog_fuzz

#endif
