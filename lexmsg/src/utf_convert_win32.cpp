// On Windows the literal text is converted by the system, code page 65001.
#include <climits>
#include <windows.h>

#include "utf_convert.h"

namespace lexmsg {

// The length is asked for first, so a result that does not fit is refused
// whole rather than cut inside a surrogate pair.
size_t utf8_to_utf16(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity) {
    if (length == 0 || length > INT_MAX || capacity == 0) return 0;
    const int source_length = static_cast<int>(length);
    const int needed = MultiByteToWideChar(CP_UTF8, 0, src, source_length, nullptr, 0);
    if (needed <= 0 || static_cast<size_t>(needed) > capacity) return 0;
    const int produced = MultiByteToWideChar(CP_UTF8, 0, src, source_length, dst, needed);
    return produced > 0 ? static_cast<size_t>(produced) : 0;
}

}  // namespace lexmsg
