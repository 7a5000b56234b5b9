// Reads catalog files through the C runtime's streams; the platform's door
// opens them the platform's way (file_open.h).
#include "file_door.h"

#include <climits>
#include <new>

#include "file_open.h"

namespace lexmsg {

StdioFile::~StdioFile() { std::fclose(stream_); }

bool StdioFile::seek(uint64_t offset) {
    if (offset > static_cast<uint64_t>(LONG_MAX)) return false;
    return std::fseek(stream_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool StdioFile::size(uint64_t* bytes) {
    if (std::fseek(stream_, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(stream_);
    if (end < 0) return false;
    *bytes = static_cast<uint64_t>(end);
    return true;
}

bool StdioFile::read(void* buffer, size_t wanted, size_t* got) {
    *got = std::fread(buffer, 1, wanted, stream_);
    return std::ferror(stream_) == 0;
}

namespace {

CatalogFile* wrap(std::FILE* stream) {
    if (stream == nullptr) return nullptr;
    auto* file = new (std::nothrow) StdioFile(stream);
    if (file == nullptr) std::fclose(stream);
    return file;
}

class PlatformDoor final : public FileDoor {
public:
    CatalogFile* open(const char* path) override { return wrap(open_file(path)); }
    CatalogFile* open_wide(const lexmsg_wchar* path) override { return wrap(open_file_wide(path)); }
};

}  // namespace

FileDoor& platform_file_door() {
    static PlatformDoor door;
    return door;
}

}  // namespace lexmsg
