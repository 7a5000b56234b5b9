// Opens and reads files for the verification with the Windows C runtime's
// low-level file functions.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <new>

#include "sigverify/sig_file.h"

namespace sigverify {

namespace {

class CrtFile final : public SigFile {
public:
    explicit CrtFile(int fd) : fd_(fd) {}
    ~CrtFile() override { _close(fd_); }

    int64_t length() override {
        const long length = _filelength(fd_);
        return length < 0 ? -1 : static_cast<int64_t>(length);
    }

    bool seek(int64_t offset, bool from_end) override {
        if (offset < LONG_MIN || offset > LONG_MAX) return false;
        return _lseek(fd_, static_cast<long>(offset), from_end ? SEEK_END : SEEK_SET) >= 0;
    }

    int64_t read(void* buffer, uint32_t size) override {
        auto* out = static_cast<unsigned char*>(buffer);
        uint32_t done = 0;
        while (done < size) {
            const uint32_t chunk = size - done > 0x40000000u ? 0x40000000u : size - done;
            const int n = _read(fd_, out + done, chunk);
            if (n < 0) return -1;
            if (n == 0) break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }

private:
    int fd_;
};

class CrtDoor final : public SigFileDoor {
public:
    bool exists(const wchar_t* path) override { return path != nullptr && _waccess(path, 0) == 0; }

    SigFile* open(const wchar_t* path) override {
        if (path == nullptr) return nullptr;
        const int fd = _wsopen(path, _O_RDONLY | _O_BINARY, _SH_DENYNO, _S_IREAD);
        if (fd < 0) return nullptr;
        auto* file = new (std::nothrow) CrtFile(fd);
        if (file == nullptr) _close(fd);
        return file;
    }
};

}  // namespace

SigFileDoor& platform_file_door() {
    static CrtDoor door;
    return door;
}

}  // namespace sigverify
