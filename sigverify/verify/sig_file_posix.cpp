// Opens and reads files for the verification over POSIX descriptors; wide
// paths become UTF-8 at the system-call boundary.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "sigverify/sig_file.h"

namespace sigverify {

namespace {

// wchar_t holds UTF-32 here; a value that is no Unicode scalar fails.
bool to_utf8(const wchar_t* path, std::string* out) {
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        const auto c = static_cast<uint32_t>(*p);
        if (c < 0x80) {
            out->push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (c >> 6)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF) return false;
            out->push_back(static_cast<char>(0xE0 | (c >> 12)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x110000) {
            out->push_back(static_cast<char>(0xF0 | (c >> 18)));
            out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            return false;
        }
    }
    return true;
}

class PosixFile final : public SigFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { close(fd_); }

    int64_t length() override {
        struct stat st {};
        if (fstat(fd_, &st) != 0) return -1;
        return static_cast<int64_t>(st.st_size);
    }

    bool seek(int64_t offset, bool from_end) override {
        return lseek(fd_, static_cast<off_t>(offset), from_end ? SEEK_END : SEEK_SET) >= 0;
    }

    int64_t read(void* buffer, uint32_t size) override {
        auto* out = static_cast<unsigned char*>(buffer);
        uint32_t done = 0;
        while (done < size) {
            const ssize_t n = ::read(fd_, out + done, size - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return -1;
            }
            if (n == 0) break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }

private:
    int fd_;
};

class PosixDoor final : public SigFileDoor {
public:
    bool exists(const wchar_t* path) override {
        std::string narrow;
        if (path == nullptr || !to_utf8(path, &narrow)) return false;
        return access(narrow.c_str(), F_OK) == 0;
    }

    SigFile* open(const wchar_t* path) override {
        std::string narrow;
        if (path == nullptr || !to_utf8(path, &narrow)) return nullptr;
        const int fd = ::open(narrow.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        // A directory opens here but not on Windows; it is no file to verify.
        struct stat st {};
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            close(fd);
            return nullptr;
        }
        auto* file = new (std::nothrow) PosixFile(fd);
        if (file == nullptr) close(fd);
        return file;
    }
};

}  // namespace

SigFileDoor& platform_file_door() {
    static PosixDoor door;
    return door;
}

}  // namespace sigverify
