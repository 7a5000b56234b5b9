// The verification's one door to the file system: a read-only file opened
// in binary mode, sharing reading and writing with other openers. The path
// is a wide string on every build. One implementation per platform.
#ifndef SIGVERIFY_SIG_FILE_H
#define SIGVERIFY_SIG_FILE_H

#include <cstdint>

namespace sigverify {

struct sig_file;  // opaque; one open file

bool sig_file_exists(const wchar_t* path);
// Null when the file cannot be opened.
sig_file* sig_file_open(const wchar_t* path);
// The file's length, or -1 on error.
int64_t sig_file_length(sig_file* file);
// Seeks relative to the start (from_end false) or to the end of the file.
// Fails for a resulting position before the start of the file.
bool sig_file_seek(sig_file* file, int64_t offset, bool from_end);
// Reads up to size bytes at the current position; the count read, or -1.
// Reads until size bytes or the end of the file.
int64_t sig_file_read(sig_file* file, void* buffer, uint32_t size);
// Closes the file and sets the caller's pointer to null; null is accepted.
void sig_file_close(sig_file** file);

}  // namespace sigverify

#endif
