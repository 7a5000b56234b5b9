// The bounded path join of the shortcut paths and the script host path.
#include "append_path.h"

namespace installer {

void AppendPath(wchar_t* buffer, size_t capacity, const wchar_t* name) {
    if (buffer == nullptr || name == nullptr || capacity == 0) return;
    size_t length = 0;
    while (length < capacity && buffer[length] != L'\0') ++length;
    if (length == 0) return;
    if (length == capacity) length = capacity - 1;  // an unterminated text is cut to fit

    const size_t last = capacity - 1;  // room for the terminator
    if (buffer[length - 1] != L'\\' && name[0] != L'\\' && length < last) {
        buffer[length++] = L'\\';
    }
    for (const wchar_t* p = name; *p != L'\0' && length < last; ++p) {
        buffer[length++] = *p;
    }
    buffer[length] = L'\0';
}

}  // namespace installer
