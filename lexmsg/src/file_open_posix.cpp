// Opens catalog files on POSIX systems, where wide paths are UTF-16 and
// become UTF-8 file names.
#include <cstdio>

#include "file_open.h"
#include "memory.h"
#include "utf_convert.h"

namespace lexmsg {

std::FILE* open_file(const char* path) { return std::fopen(path, "rb"); }

std::FILE* open_file_wide(const lexmsg_wchar* path) {
    char* name = utf16_to_utf8(path);
    if (name == nullptr) return nullptr;
    std::FILE* file = std::fopen(name, "rb");
    mem_free(name);
    return file;
}

}  // namespace lexmsg
