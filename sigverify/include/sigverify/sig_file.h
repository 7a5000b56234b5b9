// The verification's one door to the file system: read-only files opened in
// binary mode, sharing reading and writing with other openers. The path is a
// wide string on every build. The platform's door has one implementation per
// platform; tests put a door of their own in its place to make any open,
// seek or read fail.
#ifndef SIGVERIFY_SIG_FILE_H
#define SIGVERIFY_SIG_FILE_H

#include <cstdint>

namespace sigverify {

// One open file; deleting it closes it.
class SigFile {
public:
    SigFile() = default;
    SigFile(const SigFile&) = delete;
    SigFile& operator=(const SigFile&) = delete;
    virtual ~SigFile() = default;

    // The file's length, or -1 on error.
    virtual int64_t length() = 0;
    // Seeks relative to the start (from_end false) or to the end of the
    // file. Fails for a resulting position before the start of the file.
    virtual bool seek(int64_t offset, bool from_end) = 0;
    // Reads up to size bytes at the current position, until size bytes or
    // the end of the file; the count read, or -1.
    virtual int64_t read(void* buffer, uint32_t size) = 0;
};

// Where files come from.
class SigFileDoor {
public:
    SigFileDoor() = default;
    SigFileDoor(const SigFileDoor&) = delete;
    SigFileDoor& operator=(const SigFileDoor&) = delete;
    virtual ~SigFileDoor() = default;

    virtual bool exists(const wchar_t* path) = 0;
    // Null when the file cannot be opened (or memory runs out); the caller
    // releases the file with sig_file_close.
    virtual SigFile* open(const wchar_t* path) = 0;
};

// The platform's door: the C runtime's low-level file functions on Windows,
// POSIX descriptors elsewhere.
SigFileDoor& platform_file_door();

inline int64_t sig_file_length(SigFile* file) { return file->length(); }
inline bool sig_file_seek(SigFile* file, int64_t offset, bool from_end) { return file->seek(offset, from_end); }
inline int64_t sig_file_read(SigFile* file, void* buffer, uint32_t size) { return file->read(buffer, size); }

// Closes the file and sets the caller's pointer to null; null is accepted.
inline void sig_file_close(SigFile** file) {
    if (file == nullptr) return;
    delete *file;
    *file = nullptr;
}

}  // namespace sigverify

#endif
