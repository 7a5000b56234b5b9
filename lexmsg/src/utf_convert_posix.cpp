// On POSIX systems the literal text is converted by our own converter.
#include "utf_convert.h"

namespace lexmsg {

size_t utf8_to_utf16(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity) {
    return utf8_to_utf16_own(src, length, dst, capacity);
}

}  // namespace lexmsg
