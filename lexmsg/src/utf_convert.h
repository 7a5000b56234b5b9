// Conversions between UTF-8 and UTF-16. utf8_to_utf16 is the platform's
// converter (the system's on Windows); utf8_to_utf16_own is ours, which gives
// the same code units and serves every other build.
#ifndef LEXMSG_UTF_CONVERT_H
#define LEXMSG_UTF_CONVERT_H

#include <cstddef>

#include "lexmsg.h"

namespace lexmsg {

// Converts length bytes of UTF-8 into at most capacity UTF-16 units and
// returns the number written. Each ill-formed part (a stray byte, a sequence
// cut short, an overlong form, a surrogate, a value above U+10FFFF) becomes
// one U+FFFD per maximal subpart. Returns 0 when the result does not fit or
// length is 0; dst is then unspecified.
size_t utf8_to_utf16(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity);
size_t utf8_to_utf16_own(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity);

// The number of UTF-16 units before the terminator.
inline size_t wide_length(const lexmsg_wchar* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// The zero-terminated UTF-16 text as zero-terminated UTF-8 from mem_alloc
// (the caller releases it with mem_free); null for an unpaired surrogate or
// when memory runs out.
char* utf16_to_utf8(const lexmsg_wchar* src);

}  // namespace lexmsg

#endif
