// Copies an embedded catalog out of its host. The header starts at the first
// zero byte followed by "ZRR" within 64 bytes after the marker's name; the
// catalog ends where the farther of its two compressed sections ends.
#include "embedded_copy.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sweepkit_kit {
namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kGap = 64;

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool read_whole(const std::wstring& path, std::vector<unsigned char>* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) != 0 && size.QuadPart < (64LL << 20);
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) != 0 &&
             got == bytes->size();
    }
    CloseHandle(file);
    return ok;
}

// The catalog's bytes inside host, or an empty range.
std::pair<size_t, size_t> find_catalog(const std::vector<unsigned char>& host, const std::string& name) {
    std::string marker = "ZRR:" + name;
    marker.push_back('\0');
    const auto found = std::search(host.begin(), host.end(), marker.begin(), marker.end());
    if (found == host.end()) return {0, 0};
    const size_t after = static_cast<size_t>(found - host.begin()) + marker.size();
    for (size_t at = after; at < after + kGap && at + kHeaderSize <= host.size(); ++at) {
        if (std::memcmp(&host[at], "\0ZRR", 4) != 0) continue;
        size_t end = kHeaderSize;
        for (size_t section = 12; section < kHeaderSize; section += 12) {  // wide, then narrow
            const uint32_t offset = le32(&host[at + section]);
            const uint32_t stored = le32(&host[at + section + 4]);
            if (offset != 0) end = std::max(end, static_cast<size_t>(offset) + stored);
        }
        if (end > host.size() - at) return {0, 0};
        return {at, end};
    }
    return {0, 0};
}

}  // namespace

std::wstring copy_embedded_catalog(const std::wstring& path, const std::string& name) {
    std::vector<unsigned char> host;
    if (!read_whole(path, &host)) return L"";
    const std::pair<size_t, size_t> catalog = find_catalog(host, name);
    if (catalog.second == 0) return L"";

    wchar_t folder[MAX_PATH] = {};
    wchar_t copy[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"zrc", 0, copy) == 0) return L"";
    HANDLE file = CreateFileW(copy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(copy);
        return L"";
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, &host[catalog.first], static_cast<DWORD>(catalog.second), &written, nullptr) != 0 &&
                    written == catalog.second;
    CloseHandle(file);
    if (!ok) {
        DeleteFileW(copy);
        return L"";
    }
    return copy;
}

}  // namespace sweepkit_kit
