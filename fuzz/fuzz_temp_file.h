// Fuzz targets that read through a file interface write each input to one
// file of their own in the temporary folder; a random part in its name keeps
// runs of the same target apart.
#ifndef FUZZ_TEMP_FILE_H
#define FUZZ_TEMP_FILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace fuzzing {

class FuzzTempFile {
public:
    explicit FuzzTempFile(const char* target)
        : path_(std::filesystem::temp_directory_path() /
                (std::string("sweepkit_") + target + "_" + std::to_string(std::random_device{}()) + ".bin")),
          wide_(path_.wstring()) {}
    ~FuzzTempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    FuzzTempFile(const FuzzTempFile&) = delete;
    FuzzTempFile& operator=(const FuzzTempFile&) = delete;

    // Replaces the file's content; false when it cannot be written.
    bool write(const uint8_t* data, size_t size) const {
        FILE* out = std::fopen(path_.string().c_str(), "wb");
        if (out == nullptr) return false;
        const bool ok = size == 0 || std::fwrite(data, 1, size, out) == size;
        return std::fclose(out) == 0 && ok;
    }
    const wchar_t* wide() const { return wide_.c_str(); }

private:
    std::filesystem::path path_;
    std::wstring wide_;
};

}  // namespace fuzzing

#endif
