// Fixed path buffers: 260 wide characters, zero-filled before the platform
// writes at most 259 into them, so the text is always terminated.
#ifndef INSTALLER_PATH_BUFFER_H
#define INSTALLER_PATH_BUFFER_H

#include <cstddef>
#include <cstdint>

namespace installer {

constexpr size_t kPathBufferSize = 260;
constexpr uint32_t kPathCapacity = 259;

struct PathBuffer {
    wchar_t text[kPathBufferSize] = {};
};

// Copies at most kPathCapacity characters of source into a zero-filled
// destination.
void CopyPath(PathBuffer* destination, const PathBuffer& source);

// Cuts the text right after its last backslash, which stays; a text
// without a backslash is left unchanged.
void CutAfterLastBackslash(PathBuffer* path);

}  // namespace installer

#endif
