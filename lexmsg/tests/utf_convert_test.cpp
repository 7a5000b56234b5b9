// One table of UTF-8 texts and the UTF-16 code units they deliver, checked
// against the build's converter (the system's on Windows) and against our
// own, so both are shown to give the same units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexmsg.h"
#include "heap_watch.h"
#include "memory.h"
#include "utf_convert.h"

namespace {

using Units = std::vector<uint16_t>;

struct ConvertCase {
    const char* name;
    std::string utf8;
    Units utf16;
};

const ConvertCase kCases[] = {
    {"ascii", "Hello, world", {'H', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd'}},
    {"accented Latin", "\xC3\xA9t\xC3\xA9 \xC3\xB1", {0xE9, 't', 0xE9, ' ', 0xF1}},
    {"three-byte forms", "\xE2\x82\xAC\xE4\xB8\xAD", {0x20AC, 0x4E2D}},
    {"outside the Basic Multilingual Plane", "a\xF0\x9F\x98\x80z", {'a', 0xD83D, 0xDE00, 'z'}},
    {"highest code point", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
    {"a zero byte is a character", std::string("a\0b", 3), {'a', 0, 'b'}},
    {"stray continuation byte", "a\x80z", {'a', 0xFFFD, 'z'}},
    {"byte that never occurs", "\xFF", {0xFFFD}},
    {"two-byte overlong form", "\xC0\xAF", {0xFFFD, 0xFFFD}},
    {"lead byte beyond U+10FFFF", "\xF5\x80", {0xFFFD, 0xFFFD}},
    {"sequence cut by a letter", "a\xE2\x82z", {'a', 0xFFFD, 'z'}},
    {"four-byte sequence cut by a letter", "\xF0\x9F\x98z", {0xFFFD, 'z'}},
    {"sequence cut by the end", "a\xE2\x82", {'a', 0xFFFD}},
    {"lead byte at the end", "\xC2", {0xFFFD}},
};

using Converter = size_t (*)(const char*, size_t, lexmsg_wchar*, size_t);

void check_table(Converter convert) {
    for (const ConvertCase& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<lexmsg_wchar> out(c.utf16.size() + 4, 0x7777);
        const size_t n = convert(c.utf8.data(), c.utf8.size(), out.data(), out.size());
        ASSERT_EQ(n, c.utf16.size());
        for (size_t i = 0; i < n; ++i) EXPECT_EQ(static_cast<uint16_t>(out[i]), c.utf16[i]) << "unit " << i;
        EXPECT_EQ(out[n], 0x7777) << "nothing beyond the result";
        // Exactly enough room works; one unit less gives 0, also where the
        // missing unit is the second half of a surrogate pair.
        EXPECT_EQ(convert(c.utf8.data(), c.utf8.size(), out.data(), c.utf16.size()), c.utf16.size());
        EXPECT_EQ(convert(c.utf8.data(), c.utf8.size(), out.data(), c.utf16.size() - 1), 0u);
    }
    // Room for the first half of a pair alone: nothing is delivered.
    for (const char* pair : {"\xF0\x9F\x98\x80", "a\xF4\x8F\xBF\xBF"}) {
        SCOPED_TRACE(pair);
        const std::string text(pair);
        lexmsg_wchar out[4] = {};
        EXPECT_EQ(convert(text.data(), text.size(), out, text.size() == 4 ? 1 : 2), 0u);
    }
}

TEST(UtfConvert, BuildConverterGivesTheTable) { check_table(lexmsg::utf8_to_utf16); }

TEST(UtfConvert, OwnConverterGivesTheTable) { check_table(lexmsg::utf8_to_utf16_own); }

TEST(UtfConvert, OwnConverterReplacesEachMaximalSubpart) {
    // Forms where a second byte is already out of range: each byte is its
    // own ill-formed part.
    const ConvertCase cases[] = {
        {"three-byte overlong form", "\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}},
        {"encoded surrogate", "\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<lexmsg_wchar> out(8);
        const size_t n = lexmsg::utf8_to_utf16_own(c.utf8.data(), c.utf8.size(), out.data(), out.size());
        EXPECT_EQ(Units(out.begin(), out.begin() + static_cast<long>(n)), c.utf16);
    }
}

TEST(UtfConvert, EmptyInputAndShortRoom) {
    lexmsg_wchar out[4];
    EXPECT_EQ(lexmsg::utf8_to_utf16("", 0, out, 4), 0u);
    EXPECT_EQ(lexmsg::utf8_to_utf16_own("", 0, out, 4), 0u);
    EXPECT_EQ(lexmsg::utf8_to_utf16_own("abcde", 5, out, 4), 0u);
    EXPECT_EQ(lexmsg::utf8_to_utf16("abcde", 5, out, 4), 0u);
}

TEST(UtfConvert, Utf16ToUtf8) {
    const lexmsg_wchar text[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0};
    char* out = lexmsg::utf16_to_utf8(text);
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    lexmsg::mem_free(out);
    const lexmsg_wchar lone_high[] = {0xD83D, 'x', 0};
    const lexmsg_wchar lone_low[] = {0xDE00, 0};
    EXPECT_EQ(lexmsg::utf16_to_utf8(lone_high), nullptr);
    EXPECT_EQ(lexmsg::utf16_to_utf8(lone_low), nullptr);
    // The text is converted into memory from the library's heap, so running
    // out of it is a null result and never an exception.
    HeapWatch heap;
    heap.fail_at(0);
    EXPECT_EQ(lexmsg::utf16_to_utf8(text), nullptr);
    EXPECT_EQ(heap.live_blocks(), 0u);
}

}  // namespace
