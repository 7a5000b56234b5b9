// The literal text's converter on Windows: the system's, code page 65001.
#include <climits>
#include <windows.h>

#include "utf_convert.h"

namespace lexmsg {

size_t utf8_to_utf16(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity) {
    if (length == 0 || length > INT_MAX) return 0;
    const int room = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    if (room == 0) return 0;
    const int produced = MultiByteToWideChar(CP_UTF8, 0, src, static_cast<int>(length), dst, room);
    return produced > 0 ? static_cast<size_t>(produced) : 0;
}

}  // namespace lexmsg
