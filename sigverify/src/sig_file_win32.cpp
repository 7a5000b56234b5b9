// The file interface over the Windows C runtime's low-level file functions.
#include "sig_file.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <new>

namespace sigverify {

struct sig_file {
    int fd;
};

bool sig_file_exists(const wchar_t* path) {
    return path != nullptr && _waccess(path, 0) == 0;
}

sig_file* sig_file_open(const wchar_t* path) {
    if (path == nullptr) return nullptr;
    const int fd = _wsopen(path, _O_RDONLY | _O_BINARY, _SH_DENYNO, _S_IREAD);
    if (fd < 0) return nullptr;
    auto* file = new (std::nothrow) sig_file{fd};
    if (file == nullptr) _close(fd);
    return file;
}

int64_t sig_file_length(sig_file* file) {
    const long length = _filelength(file->fd);
    return length < 0 ? -1 : static_cast<int64_t>(length);
}

bool sig_file_seek(sig_file* file, int64_t offset, bool from_end) {
    if (offset < LONG_MIN || offset > LONG_MAX) return false;
    return _lseek(file->fd, static_cast<long>(offset), from_end ? SEEK_END : SEEK_SET) >= 0;
}

int64_t sig_file_read(sig_file* file, void* buffer, uint32_t size) {
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        const uint32_t chunk = size - done > 0x40000000u ? 0x40000000u : size - done;
        const int n = _read(file->fd, out + done, chunk);
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

void sig_file_close(sig_file** file) {
    if (file == nullptr || *file == nullptr) return;
    _close((*file)->fd);
    delete *file;
    *file = nullptr;
}

}  // namespace sigverify
