// Copying and cutting the texts of fixed path buffers.
#include "path_buffer.h"

namespace installer {

void CopyPath(PathBuffer* destination, const PathBuffer& source) {
    *destination = PathBuffer{};
    for (size_t i = 0; i < kPathCapacity && source.text[i] != L'\0'; ++i) {
        destination->text[i] = source.text[i];
    }
}

void CutAfterLastBackslash(PathBuffer* path) {
    size_t cut = kPathBufferSize;
    for (size_t i = 0; i < kPathBufferSize && path->text[i] != L'\0'; ++i) {
        if (path->text[i] == L'\\') cut = i + 1;
    }
    if (cut < kPathBufferSize) path->text[cut] = L'\0';
}

}  // namespace installer
