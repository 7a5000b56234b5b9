// Catalog files on POSIX systems: wide paths are UTF-16 and become UTF-8
// file names.
#include <cstdio>
#include <string>

#include "file_open.h"
#include "utf_convert.h"

namespace lexmsg {

std::FILE* open_file(const char* path) { return std::fopen(path, "rb"); }

std::FILE* open_file_wide(const lexmsg_wchar* path) {
    std::string name;
    if (!utf16_to_utf8(path, &name)) return nullptr;
    return std::fopen(name.c_str(), "rb");
}

}  // namespace lexmsg
