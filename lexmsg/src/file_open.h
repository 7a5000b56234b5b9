// Opening catalog files for binary reading: the platform's one seam for
// paths, behind the file door (file_door.h).
#ifndef LEXMSG_FILE_OPEN_H
#define LEXMSG_FILE_OPEN_H

#include <cstdio>

#include "lexmsg.h"

namespace lexmsg {

// An 8-bit path as the C runtime takes it; null when it cannot be opened.
std::FILE* open_file(const char* path);

// A UTF-16 path: opened directly on Windows, converted to UTF-8 elsewhere. A
// path that is not valid UTF-16, or whose conversion finds no memory, cannot
// be opened.
std::FILE* open_file_wide(const lexmsg_wchar* path);

}  // namespace lexmsg

#endif
