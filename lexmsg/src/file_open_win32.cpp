// Opens catalog files on Windows, where the C runtime takes 8-bit and wide
// paths itself.
#include <cstdio>
#include <wchar.h>

#include "file_open.h"

namespace lexmsg {

std::FILE* open_file(const char* path) { return std::fopen(path, "rb"); }

std::FILE* open_file_wide(const lexmsg_wchar* path) { return _wfopen(path, L"rb"); }

}  // namespace lexmsg
