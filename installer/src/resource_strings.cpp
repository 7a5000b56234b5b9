// The lookup of a text in the program's string table: blocks of 16 counted
// UTF-16 entries, block id / 16 + 1, entry id mod 16.
#include "resource_strings.h"

#include <cstdint>

namespace installer {
namespace {

constexpr uint16_t kStringTableType = 6;  // RT_STRING
constexpr uint16_t kNeutralLanguage = 0;  // lets the platform pick the best language present

uint16_t UnitAt(const unsigned char* bytes, size_t index) {
    return static_cast<uint16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

}  // namespace

std::wstring LoadResourceString(Platform& platform, unsigned id) {
    const auto block = static_cast<uint16_t>(id / 16 + 1);
    const ResourceHandle resource = platform.FindResourceExW(nullptr, kStringTableType, block, kNeutralLanguage);
    if (resource == nullptr) return std::wstring();
    const ResourceData data = platform.LoadResource(nullptr, resource);
    if (data == nullptr) return std::wstring();
    const auto* bytes = static_cast<const unsigned char*>(platform.LockResource(data));
    const size_t units = platform.SizeofResource(nullptr, resource) / 2;
    if (bytes == nullptr) return std::wstring();

    size_t position = 0;
    for (unsigned skip = id % 16; skip > 0; --skip) {
        if (position >= units) return std::wstring();
        position += size_t{UnitAt(bytes, position)} + 1;
    }
    if (position >= units) return std::wstring();
    const size_t count = UnitAt(bytes, position);
    if (count == 0 || count > units - position - 1) return std::wstring();

    std::wstring text(count, L'\0');
    for (size_t i = 0; i < count; ++i) {
        text[i] = static_cast<wchar_t>(UnitAt(bytes, position + 1 + i));
    }
    return text;
}

}  // namespace installer
