// Formatting messages on wide and narrow handles: every tag, insertion order
// and repetition, the size protocol, argument-count mismatches, bad handles,
// hostile message entries and allocation failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "catalog_fixture.h"
#include "lexmsg.h"
#include "list_helpers.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg_test::Bytes;
using lexmsg_test::Handle;
using lexmsg_test::ListPtr;
using lexmsg_test::TempFile;
using lexmsg_test::Text;
using lexmsg_test::WideText;
using lexmsg_test::from_va;

const std::vector<lexmsg_test::Authored> kMessages = {
    {1, "<%1>"},
    {2, "Hello %1, you have %2 new %3."},
    {3, "%1 and again %1"},
    {4, "no insertions"},
    {5, "%2 before %1"},
    {6, "%1-%2-%3"},
    {7, "100%% of %1"},
    {9, ""},
    {10, "Caf\xC3\xA9 \xF0\x9F\x98\x80 %1 \xE2\x82\xAC"},
    {11, "at the end %1"},
};

std::u16string u16(const lexmsg_wchar* text) {
    std::u16string out;
    for (; *text != 0; ++text) out.push_back(static_cast<char16_t>(*text));
    return out;
}

class MessageFormat : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes catalog = lexmsg_test::both_catalog(kMessages);
        ASSERT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), narrow_.out()), 0);
        TempFile file("message_format_test.cat", catalog);
        ASSERT_EQ(lexmsg_initW_mf(file.path(), wide_.out()), 0);
    }
    HeapWatch heap_;  // normal allocation again after every test

    // The message through a buffer the library allocates; text only on 0 or -6.
    int narrow(uint32_t id, const lexmsg_arg_list* args, std::string* text = nullptr) const {
        char* buffer = nullptr;
        const int rc = lexmsg_lgetMessageA_mf(narrow_.get(), id, &buffer, 0, args);
        Text owned(buffer);
        if (text != nullptr) *text = buffer == nullptr ? std::string("(null)") : std::string(buffer);
        return rc;
    }
    int wide(uint32_t id, const lexmsg_arg_list* args, std::u16string* text = nullptr) const {
        lexmsg_wchar* buffer = nullptr;
        const int rc = lexmsg_lgetMessageW_mf(wide_.get(), id, &buffer, 0, args);
        WideText owned(buffer);
        if (text != nullptr) *text = buffer == nullptr ? u"(null)" : u16(buffer);
        return rc;
    }

    Handle narrow_;
    Handle wide_;
};

const char kAbc[] = "abc";
const lexmsg_wchar kWide[] = {'w', 'i', 'd', 'e', 0};

struct TagCase {
    const char* name;
    ListPtr args;
    const char* narrow;
    std::u16string wide;
};

TEST_F(MessageFormat, EveryTagOnBothKinds) {
    TagCase cases[] = {
        {"int", ListPtr(from_va(1, LEXMSG_ARG_INT, -42)), "<-42>", u"<-42>"},
        {"int min", ListPtr(from_va(1, LEXMSG_ARG_INT, INT_MIN)), "<-2147483648>", u"<-2147483648>"},
        {"long", ListPtr(from_va(1, LEXMSG_ARG_LONG, -7L)), "<-7>", u"<-7>"},
        {"unsigned long max", ListPtr(from_va(1, LEXMSG_ARG_ULONG, 4294967295UL)), "<4294967295>", u"<4294967295>"},
        {"char", ListPtr(from_va(1, LEXMSG_ARG_CHAR, 'x')), "<x>", u"<x>"},
        {"wide char", ListPtr(from_va(1, LEXMSG_ARG_WCHAR, 'y')), "<y>", u"<y>"},
        {"string", ListPtr(from_va(1, LEXMSG_ARG_CHARP, kAbc)), "<abc>", u"<abc>"},
        {"empty string", ListPtr(from_va(1, LEXMSG_ARG_CHARP, "")), "<>", u"<>"},
        {"wide string", ListPtr(from_va(1, LEXMSG_ARG_WCHARP, kWide)), "<wide>", u"<wide>"},
        {"unsigned int", ListPtr(from_va(1, LEXMSG_ARG_UINT, 0u)), "<0>", u"<0>"},
        {"unsigned int max", ListPtr(from_va(1, LEXMSG_ARG_UINT, 4294967295u)), "<4294967295>", u"<4294967295>"},
    };
    for (TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string n;
        std::u16string w;
        EXPECT_EQ(narrow(1, c.args.get(), &n), 0);
        EXPECT_EQ(n, c.narrow);
        EXPECT_EQ(wide(1, c.args.get(), &w), 0);
        EXPECT_EQ(w, c.wide);
    }
}

struct TextCase {
    uint32_t id;
    ListPtr args;
    int rc;
    const char* text;
};

TEST_F(MessageFormat, InsertionOrderRepetitionAndCountMismatch) {
    TextCase cases[] = {
        {2,
         ListPtr(from_va(3, LEXMSG_ARG_CHARP, "Ana", LEXMSG_ARG_INT, 3, LEXMSG_ARG_CHARP, "files")),
         0,
         "Hello Ana, you have 3 new files."},
        {3, ListPtr(from_va(1, LEXMSG_ARG_UINT, 12345u)), 0, "12345 and again 12345"},
        {4, nullptr, 0, "no insertions"},
        {4, ListPtr(lexmsg_arg_list_new()), 0, "no insertions"},
        {5, ListPtr(from_va(2, LEXMSG_ARG_CHARP, "first", LEXMSG_ARG_CHARP, "second")), 0, "second before first"},
        {6, ListPtr(from_va(1, LEXMSG_ARG_CHARP, "a")), LEXMSG_E_ARG_COUNT, "a--"},
        {6, nullptr, LEXMSG_E_ARG_COUNT, "--"},
        {1, ListPtr(from_va(3, LEXMSG_ARG_INT, 1, LEXMSG_ARG_INT, 2, LEXMSG_ARG_INT, 3)), LEXMSG_E_ARG_COUNT, "<1>"},
        {4, ListPtr(from_va(1, LEXMSG_ARG_INT, 5)), LEXMSG_E_ARG_COUNT, "no insertions"},
        {7, ListPtr(from_va(1, LEXMSG_ARG_INT, 5)), 0, "100% of 5"},
        {9, nullptr, 0, ""},
        {11, ListPtr(from_va(1, LEXMSG_ARG_CHARP, "here")), 0, "at the end here"},
    };
    for (TextCase& c : cases) {
        SCOPED_TRACE(c.id);
        std::string n;
        std::u16string w;
        EXPECT_EQ(narrow(c.id, c.args.get(), &n), c.rc);
        EXPECT_EQ(n, c.text);
        EXPECT_EQ(wide(c.id, c.args.get(), &w), c.rc);
        std::u16string expected_wide(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(w, expected_wide);
    }
}

TEST_F(MessageFormat, TheSharedEmptyListMeansNoArguments) {
    std::string n;
    EXPECT_EQ(narrow(4, lexmsg_arg_list_empty(), &n), 0);
    EXPECT_EQ(n, "no insertions");
    EXPECT_EQ(narrow(1, lexmsg_arg_list_empty(), &n), LEXMSG_E_ARG_COUNT);
    EXPECT_EQ(n, "<>");
}

TEST_F(MessageFormat, UnknownTagFailsEvenAsAnExtraArgument) {
    const ListPtr extra(from_va(2, LEXMSG_ARG_INT, 1, 9));
    char* buffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &buffer, 0, extra.get()), LEXMSG_E_ARG);
    EXPECT_EQ(buffer, nullptr) << "nothing is allocated before the renderings";
    lexmsg_wchar* wbuffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 1, &wbuffer, 0, extra.get()), LEXMSG_E_ARG);
    EXPECT_EQ(wbuffer, nullptr);
}

TEST_F(MessageFormat, CharZeroInsertsNothingButIsCounted) {
    const ListPtr args(from_va(1, LEXMSG_ARG_CHAR, 0));
    char one[1];
    char* buffer = one;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &buffer, 1, args.get()), 4) << "<, >, the char, zero";
    std::string n;
    EXPECT_EQ(narrow(1, args.get(), &n), 0);
    EXPECT_EQ(n, "<>");
    std::u16string w;
    EXPECT_EQ(wide(1, args.get(), &w), 0);
    EXPECT_EQ(w, u"<>");
}

TEST_F(MessageFormat, WideTextOutsideAscii) {
    const ListPtr args(from_va(1, LEXMSG_ARG_WCHARP, kWide));
    std::u16string w;
    ASSERT_EQ(wide(10, args.get(), &w), 0);
    EXPECT_EQ(w, u"Caf\u00E9 \U0001F600 wide \u20AC");
    // Delivered length 10 (the emoji counts two units) plus 4 inserted, plus
    // the terminator, two bytes each.
    lexmsg_wchar one[1];
    lexmsg_wchar* small = one;
    EXPECT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 10, &small, 2, args.get()), (10 + 4 + 1) * 2);
    // The narrow section holds the same bytes and delivers them unchanged.
    std::string n;
    ASSERT_EQ(narrow(10, args.get(), &n), 0);
    EXPECT_EQ(n, "Caf\xC3\xA9 \xF0\x9F\x98\x80 wide \xE2\x82\xAC");
}

TEST_F(MessageFormat, SizeProtocolNarrow) {
    const ListPtr args(from_va(1, LEXMSG_ARG_INT, 3));
    char* buffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &buffer, 1, args.get()), LEXMSG_E_FAIL)
        << "a null buffer with a size fails before the size is compared";

    std::vector<char> caller(16, 'Z');
    char* into = caller.data();
    ASSERT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &into, 3, args.get()), 4) << "D + 1 + 1";
    ASSERT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &into, 1, args.get()), 4);
    EXPECT_EQ(std::string(caller.begin(), caller.end()), std::string(16, 'Z')) << "a small buffer is untouched";
    ASSERT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &into, 4, args.get()), 0);
    EXPECT_EQ(std::string(caller.data(), 4), std::string("<3>\0", 4));
    EXPECT_EQ(caller[4], 'Z') << "nothing written past the size";

    char* allocated = reinterpret_cast<char*>(&caller);  // overwritten with size 0
    ASSERT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &allocated, 0, args.get()), 0);
    Text owned(allocated);
    EXPECT_EQ(std::memcmp(allocated, caller.data(), 4), 0);
}

TEST_F(MessageFormat, SizeProtocolWide) {
    const ListPtr args(from_va(2, LEXMSG_ARG_CHARP, "x", LEXMSG_ARG_INT, 10));
    std::vector<lexmsg_wchar> caller(64, 0x5A5A);
    lexmsg_wchar* into = caller.data();
    const int needed = lexmsg_lgetMessageW_mf(wide_.get(), 5, &into, 2, args.get());
    const std::u16string expected = u"10 before x";
    ASSERT_EQ(needed, static_cast<int>((expected.size() + 1) * 2));
    EXPECT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 5, &into, static_cast<uint32_t>(needed - 2), args.get()), needed);
    EXPECT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 5, &into, static_cast<uint32_t>(needed - 1), args.get()), needed);
    EXPECT_EQ(caller[0], 0x5A5A);
    ASSERT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 5, &into, static_cast<uint32_t>(needed), args.get()), 0);
    EXPECT_EQ(u16(into), expected);
    EXPECT_EQ(caller[expected.size() + 1], 0x5A5A);

    lexmsg_wchar* allocated = nullptr;
    ASSERT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), 5, &allocated, 0, args.get()), 0);
    WideText owned(allocated);
    EXPECT_EQ(std::memcmp(allocated, caller.data(), static_cast<size_t>(needed)), 0);
}

TEST_F(MessageFormat, BadHandlesAndIds) {
    char* buffer = nullptr;
    lexmsg_wchar* wbuffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(wide_.get(), 1, &buffer, 0, nullptr), LEXMSG_E_HANDLE);
    EXPECT_EQ(lexmsg_lgetMessageW_mf(narrow_.get(), 1, &wbuffer, 0, nullptr), LEXMSG_E_HANDLE);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(nullptr, 1, &buffer, 0, nullptr), LEXMSG_E_HANDLE);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 12, &buffer, 0, nullptr), LEXMSG_E_NO_MESSAGE);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 8, &buffer, 0, nullptr), LEXMSG_E_NO_MESSAGE);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 0, &buffer, 0, nullptr), LEXMSG_E_NO_MESSAGE);
    EXPECT_EQ(lexmsg_lgetMessageW_mf(wide_.get(), UINT32_MAX, &wbuffer, 0, nullptr), LEXMSG_E_NO_MESSAGE);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(wbuffer, nullptr);
}

TEST_F(MessageFormat, NullBufferPointerWithASize) {
    char* buffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 4, &buffer, 100, nullptr), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 4, nullptr, 100, nullptr), LEXMSG_E_FAIL);
}

TEST_F(MessageFormat, AllocationFailures) {
    // The output block.
    char* buffer = nullptr;
    const size_t live = heap_.live_blocks();  // the fixture's handles
    heap_.fail_at(0, true);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 4, &buffer, 0, nullptr), LEXMSG_E_FAIL);
    EXPECT_EQ(buffer, nullptr);
    heap_.fail_at(-1);
    EXPECT_EQ(heap_.live_blocks(), live);

    // Many arguments: the rendering table, then the counts.
    ListPtr many(lexmsg_arg_list_new());
    for (int i = 0; i < 20; ++i) lexmsg_arg_list_add_int(many.get(), i);
    const size_t with_list = heap_.live_blocks();
    for (long successes : {0L, 1L}) {
        heap_.fail_at(successes, true);
        EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &buffer, 0, many.get()), LEXMSG_E_FAIL) << successes;
        heap_.fail_at(-1);
        EXPECT_EQ(heap_.live_blocks(), with_list) << "a failed delivery keeps nothing";
    }
    std::string n;
    EXPECT_EQ(narrow(3, many.get(), &n), LEXMSG_E_ARG_COUNT);
    EXPECT_EQ(n, "0 and again 0");

    // Long renderings that do not fit the stack.
    const std::string long_text(3000, 'q');
    const ListPtr long_arg(from_va(1, LEXMSG_ARG_CHARP, long_text.c_str()));
    const size_t with_lists = heap_.live_blocks();
    heap_.fail_at(0, true);
    EXPECT_EQ(lexmsg_lgetMessageA_mf(narrow_.get(), 1, &buffer, 0, long_arg.get()), LEXMSG_E_ARG);
    heap_.fail_at(-1);
    EXPECT_EQ(heap_.live_blocks(), with_lists) << "a failed rendering keeps nothing";
    EXPECT_EQ(narrow(1, long_arg.get(), &n), 0);
    EXPECT_EQ(n, "<" + long_text + ">");
    std::u16string w;
    EXPECT_EQ(wide(1, long_arg.get(), &w), 0);
    EXPECT_EQ(w.size(), long_text.size() + 2);
}

// Catalogs whose one message is stored as given, to break the rules.
class HostileMessage : public ::testing::Test {
protected:
    static int format(const lexmsg_compile::StoredMessage& m,
                      bool wide_section,
                      const lexmsg_arg_list* args,
                      std::string* narrow_text = nullptr) {
        const Bytes catalog = lexmsg_test::catalog_of({m}, m.id, wide_section);
        Handle handle;
        if (!wide_section) {
            EXPECT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), handle.out()), 0);
            char* buffer = nullptr;
            const int rc = lexmsg_lgetMessageA_mf(handle.get(), m.id, &buffer, 0, args);
            Text owned(buffer);
            if (narrow_text != nullptr && buffer != nullptr) *narrow_text = buffer;
            return rc;
        }
        TempFile file("hostile_message.cat", catalog);
        EXPECT_EQ(lexmsg_initW_mf(file.path(), handle.out()), 0);
        lexmsg_wchar* buffer = nullptr;
        const int rc = lexmsg_lgetMessageW_mf(handle.get(), m.id, &buffer, 0, args);
        WideText owned(buffer);
        return rc;
    }

    static lexmsg_compile::StoredMessage message(std::string text,
                                                 std::vector<lexmsg_compile::Insertion> records,
                                                 uint32_t delivered) {
        lexmsg_compile::StoredMessage m;
        m.id = 1;
        m.text = std::move(text);
        m.insertions = std::move(records);
        m.delivered_length = delivered;
        return m;
    }
};

TEST_F(HostileMessage, EachBrokenRuleOnBothSections) {
    const ListPtr args(from_va(2, LEXMSG_ARG_CHARP, "AAAA", LEXMSG_ARG_CHARP, "BBBB"));
    struct Case {
        const char* name;
        lexmsg_compile::StoredMessage m;
        int rc;
    } cases[] = {
        {"well formed", message("abcdef", {{1, 2}, {2, 6}}, 6), 0},
        {"positions decrease", message("abcdef", {{1, 4}, {2, 2}}, 6), LEXMSG_E_MALFORMED},
        {"position beyond the text", message("abcdef", {{1, 7}}, 6), LEXMSG_E_MALFORMED},
        {"delivered length understated", message("abcdef", {{1, 2}, {2, 6}}, 5), LEXMSG_E_FAIL},
        {"delivered length overstated beyond the text", message("abcdef", {{1, 2}}, 7), LEXMSG_E_MALFORMED},
        {"huge insertion number", message("abcdef", {{0xFFFFFFFFu, 1}}, 6), LEXMSG_E_ARG_COUNT},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(format(c.m, false, args.get()), c.rc);
        EXPECT_EQ(format(c.m, true, args.get()), c.rc);
    }
}

TEST_F(HostileMessage, WideUnderstatementFromMultibyteText) {
    // "é" is two bytes and one unit; a count of two units per byte pair is
    // honest, one unit fewer is not.
    const ListPtr args(from_va(1, LEXMSG_ARG_INT, 1));
    EXPECT_EQ(format(message("\xC3\xA9\xC3\xA9", {{1, 2}}, 2), true, args.get()), 0);
    EXPECT_EQ(format(message("\xC3\xA9\xC3\xA9", {{1, 2}}, 1), true, args.get()), LEXMSG_E_FAIL);
    EXPECT_EQ(format(message("\xF0\x9F\x98\x80", {{1, 4}}, 1), true, args.get()), LEXMSG_E_FAIL);
}

// A text that converts to more units than its entry states fails the
// conversion; the buffer, allocated or given, still ends with a terminator
// within its size.
TEST_F(HostileMessage, FailedConversionLeavesTheBufferTerminated) {
    const ListPtr args(from_va(1, LEXMSG_ARG_INT, 1));
    struct Case {
        const char* name;
        lexmsg_compile::StoredMessage m;
        size_t units;  // delivered length + the rendering "1" + the terminator
    } cases[] = {
        {"multibyte text, one unit understated", message("\xC3\xA9\xC3\xA9", {{1, 2}}, 1), 3},
        {"after the insertion", message("abcdef", {{1, 2}}, 3), 5},
        {"before the insertion", message("abcdef", {{1, 4}}, 2), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes catalog = lexmsg_test::catalog_of({c.m}, c.m.id, true);
        TempFile file("failed_conversion.cat", catalog);
        Handle handle;
        ASSERT_EQ(lexmsg_initW_mf(file.path(), handle.out()), 0);
        std::vector<lexmsg_wchar> given(c.units, static_cast<lexmsg_wchar>('X'));
        lexmsg_wchar* buffer = given.data();
        const auto size = static_cast<uint32_t>(c.units * sizeof(lexmsg_wchar));
        EXPECT_EQ(lexmsg_lgetMessageW_mf(handle.get(), c.m.id, &buffer, size, args.get()), LEXMSG_E_FAIL);
        EXPECT_NE(std::find(given.begin(), given.end(), lexmsg_wchar{0}), given.end());

        lexmsg_wchar* allocated = nullptr;
        EXPECT_EQ(lexmsg_lgetMessageW_mf(handle.get(), c.m.id, &allocated, 0, args.get()), LEXMSG_E_FAIL);
        WideText owned(allocated);
        ASSERT_NE(allocated, nullptr);
        EXPECT_NE(std::find(allocated, allocated + c.units, lexmsg_wchar{0}), allocated + c.units);
    }
}

TEST_F(HostileMessage, IndexNotReachingTheHighestId) {
    // The header promises ids up to 5; the index holds only ids 0 and 1.
    lexmsg_compile::StoredMessage m = message("x", {}, 1);
    const Bytes section = lexmsg_compile::build_section({m}, 1);
    const Bytes catalog = lexmsg_compile::build_catalog(5, 0, nullptr, &section);
    Handle handle;
    ASSERT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), handle.out()), 0);
    char* buffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(handle.get(), 1, &buffer, 0, nullptr), 0);
    Text owned(buffer);
    char* none = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(handle.get(), 3, &none, 0, nullptr), LEXMSG_E_MALFORMED);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
