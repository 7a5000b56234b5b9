// The bounded path join.
#ifndef INSTALLER_APPEND_PATH_H
#define INSTALLER_APPEND_PATH_H

#include <cstddef>

namespace installer {

// Appends name to the terminated text in buffer (capacity characters,
// terminator included), with a backslash between them unless the text ends
// with one or the name begins with one. Nothing is appended to an empty
// text, nor with no buffer, no name or capacity 0. What does not fit is cut
// off; the text stays terminated.
void AppendPath(wchar_t* buffer, size_t capacity, const wchar_t* name);

}  // namespace installer

#endif
