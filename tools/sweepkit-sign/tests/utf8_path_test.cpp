// UTF-8 command-line paths to wide strings.
#include "utf8_path.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8Path, Conversions) {
    struct Conversion {
        const char* name;
        std::string utf8;
        bool ok;
        std::wstring wide;
    };
    const Conversion cases[] = {
        {"ascii", "dir/file.exe", true, L"dir/file.exe"},
        {"two_bytes", "\xC3\xA9", true, std::wstring(1, static_cast<wchar_t>(0xE9))},
        {"three_bytes", "\xE4\xB8\xAD", true, std::wstring(1, static_cast<wchar_t>(0x4E2D))},
        {"four_bytes", "\xF0\x9F\x98\x80", true, std::wstring(1, static_cast<wchar_t>(0x1F600))},
        {"cut_short", "a\xE4\xB8", false, L""},
        {"stray_continuation", "\x80", false, L""},
        {"overlong", "\xC0\xAF", false, L""},
        {"surrogate", "\xED\xA0\x80", false, L""},
    };
    for (const Conversion& c : cases) {
        std::wstring out;
        EXPECT_EQ(sweepkit_sign::utf8_to_wide(c.utf8, &out), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(out, c.wide) << c.name;
        }
    }
}

}  // namespace
