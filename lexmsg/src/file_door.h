// The library's one door to the file system: catalog files opened for
// binary reading, by an 8-bit or a wide path. The platform's door reads
// through the C runtime; tests put a door of their own in its place to make
// any open, seek or read fail.
#ifndef LEXMSG_FILE_DOOR_H
#define LEXMSG_FILE_DOOR_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "lexmsg.h"

namespace lexmsg {

// One open file; deleting it closes it.
class CatalogFile {
public:
    CatalogFile() = default;
    CatalogFile(const CatalogFile&) = delete;
    CatalogFile& operator=(const CatalogFile&) = delete;
    virtual ~CatalogFile() = default;

    // Moves to offset bytes from the start; false when that fails.
    virtual bool seek(uint64_t offset) = 0;
    // The file's size in bytes; false when it cannot be told. Leaves the
    // position undefined.
    virtual bool size(uint64_t* bytes) = 0;
    // Reads up to wanted bytes; *got is the count read. False on a read
    // error (a short count alone is the end of the file).
    virtual bool read(void* buffer, size_t wanted, size_t* got) = 0;
};

// A C runtime stream as a CatalogFile; it owns the stream.
class StdioFile final : public CatalogFile {
public:
    explicit StdioFile(std::FILE* stream) : stream_(stream) {}
    ~StdioFile() override;

    bool seek(uint64_t offset) override;
    bool size(uint64_t* bytes) override;
    bool read(void* buffer, size_t wanted, size_t* got) override;

private:
    std::FILE* stream_;
};

class FileDoor {
public:
    FileDoor() = default;
    FileDoor(const FileDoor&) = delete;
    FileDoor& operator=(const FileDoor&) = delete;
    virtual ~FileDoor() = default;

    // Null when the file cannot be opened or memory runs out; the caller
    // deletes the file.
    virtual CatalogFile* open(const char* path) = 0;
    // A UTF-16 path: opened directly on Windows, converted to UTF-8
    // elsewhere; a path that is not valid UTF-16 cannot be opened.
    virtual CatalogFile* open_wide(const lexmsg_wchar* path) = 0;
};

// The platform's door, over the C runtime's fopen (_wfopen on Windows).
FileDoor& platform_file_door();

}  // namespace lexmsg

#endif
