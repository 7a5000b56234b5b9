// Renderings of single arguments in the default C locale: the same text on
// every build, whether the C runtime or our own code renders it, and always
// terminated inside the argument's buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "arg_list_impl.h"
#include "lexmsg.h"
#include "render.h"
#include "utf_convert.h"

namespace {

const char kText[] = "text";
const lexmsg_wchar kWide[] = {'w', 0xE9, 0};

lexmsg_arg number(int32_t tag, uint32_t value) { return {static_cast<intptr_t>(value), tag, 0}; }

struct RenderCase {
    const char* name;
    lexmsg_arg arg;
    size_t capacity;
    std::string text;  // ASCII, the same for both widths
    size_t length;
};

TEST(Render, BothWidthsGiveTheSameText) {
    const RenderCase cases[] = {
        {"int", number(LEXMSG_ARG_INT, static_cast<uint32_t>(-123)), 12, "-123", 4},
        {"int min", number(LEXMSG_ARG_INT, 0x80000000u), 12, "-2147483648", 11},
        {"int max", number(LEXMSG_ARG_INT, 0x7FFFFFFFu), 12, "2147483647", 10},
        {"long", number(LEXMSG_ARG_LONG, static_cast<uint32_t>(-1)), 12, "-1", 2},
        {"unsigned long", number(LEXMSG_ARG_ULONG, 0xFFFFFFFFu), 11, "4294967295", 10},
        {"unsigned int", number(LEXMSG_ARG_UINT, 0), 11, "0", 1},
        {"char", number(LEXMSG_ARG_CHAR, 'q'), 2, "q", 1},
        {"char zero counts one", number(LEXMSG_ARG_CHAR, 0), 2, "", 1},
        {"wide char", number(LEXMSG_ARG_WCHAR, 'r'), 2, "r", 1},
        {"string", {reinterpret_cast<intptr_t>(kText), LEXMSG_ARG_CHARP, 0}, 5, "text", 4},
    };
    for (const RenderCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lexmsg::rendering_capacity(c.arg), c.capacity);
        std::vector<char> narrow(c.capacity + 1, 'Z');
        EXPECT_EQ(lexmsg::render_narrow(c.arg, narrow.data(), c.capacity), c.length);
        EXPECT_EQ(std::string(narrow.data()), c.text);
        EXPECT_EQ(narrow[c.capacity], 'Z');
        std::vector<lexmsg_wchar> wide(c.capacity + 1, 0x5A);
        EXPECT_EQ(lexmsg::render_wide(c.arg, wide.data(), c.capacity), c.length);
        EXPECT_EQ(std::u16string(wide.data(), wide.data() + lexmsg::wide_length(wide.data())),
                  std::u16string(c.text.begin(), c.text.end()));
        EXPECT_EQ(wide[c.capacity], 0x5A);
    }
}

TEST(Render, WideStringsAndUnknownTags) {
    const lexmsg_arg wide_string = {reinterpret_cast<intptr_t>(kWide), LEXMSG_ARG_WCHARP, 0};
    ASSERT_EQ(lexmsg::rendering_capacity(wide_string), 3u);
    lexmsg_wchar out[3];
    EXPECT_EQ(lexmsg::render_wide(wide_string, out, 3), 2u);
    EXPECT_EQ(out[1], 0xE9);
    EXPECT_EQ(out[2], 0);

    const lexmsg_arg unknown = number(9, 0);
    EXPECT_EQ(lexmsg::rendering_capacity(unknown), 0u);
}

TEST(Render, OtherWidthStaysInsideItsBuffer) {
    // A character the default C locale does not hold: the rendering stops
    // in front of it (the C runtime's may give up on the whole string), so
    // what stands there is a prefix of the text before it, terminated inside
    // the buffer, and the length counts it.
    const lexmsg_wchar cjk[] = {'a', 0x4E2D, 'b', 0};
    const lexmsg_arg wide_string = {reinterpret_cast<intptr_t>(cjk), LEXMSG_ARG_WCHARP, 0};
    std::vector<char> narrow(5, 'Z');
    const size_t n = lexmsg::render_narrow(wide_string, narrow.data(), 4);
    ASSERT_LE(n, 1u);
    EXPECT_EQ(std::string(narrow.data()), std::string("a").substr(0, n));
    EXPECT_EQ(narrow[4], 'Z');

    // The character alone renders as nothing.
    const lexmsg_arg wide_char = number(LEXMSG_ARG_WCHAR, 0x4E2D);
    std::vector<char> one(3, 'Z');
    EXPECT_EQ(lexmsg::render_narrow(wide_char, one.data(), 2), 0u);
    EXPECT_EQ(one[0], 0);
    EXPECT_EQ(one[2], 'Z');

    const char ascii[] = "plain";
    const lexmsg_arg narrow_string = {reinterpret_cast<intptr_t>(ascii), LEXMSG_ARG_CHARP, 0};
    std::vector<lexmsg_wchar> wide(7, 0x5A);
    EXPECT_EQ(lexmsg::render_wide(narrow_string, wide.data(), 6), 5u);
    EXPECT_EQ(wide[5], 0);
    EXPECT_EQ(wide[6], 0x5A);
}

}  // namespace
