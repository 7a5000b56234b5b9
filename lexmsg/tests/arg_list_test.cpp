// Argument lists: appending every type, reading back, popping, clearing,
// building from variable arguments, and allocation failures.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "lexmsg.h"
#include "list_helpers.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg_test::ListPtr;
using lexmsg_test::from_va;
using lexmsg_test::from_va_sentinel;

ListPtr new_list() { return ListPtr(lexmsg_arg_list_new()); }

// Restores normal allocation whatever a test does.
class ArgListFailures : public ::testing::Test {
protected:
    HeapWatch heap_;  // normal allocation again after every test
};

const char kText[] = "text";
const lexmsg_wchar kWide[] = {'w', 0x00E9, 0};

struct AddCase {
    const char* name;
    std::function<int(lexmsg_arg_list*)> add;
    int tag;
    intptr_t value;
};

TEST(ArgList, EachAddFunctionStoresItsTagAndValue) {
    const AddCase cases[] = {
        {"int", [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_int(l, -5); }, LEXMSG_ARG_INT, -5},
        {"int max",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_int(l, INT32_MAX); },
         LEXMSG_ARG_INT,
         INT32_MAX},
        {"uint", [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_uint(l, 7u); }, LEXMSG_ARG_UINT, 7},
        {"uint all ones reads as the int -1",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_uint(l, 0xFFFFFFFFu); },
         LEXMSG_ARG_UINT,
         -1},
        {"long", [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_long(l, -70000L); }, LEXMSG_ARG_LONG, -70000},
        {"ulong", [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_ulong(l, 70000UL); }, LEXMSG_ARG_ULONG, 70000},
        {"char is sign-extended",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_char(l, static_cast<char>(0xE9)); },
         LEXMSG_ARG_CHAR,
         -23},
        {"ascii char", [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_char(l, 'x'); }, LEXMSG_ARG_CHAR, 'x'},
        {"wide char is zero-extended",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_wchar(l, static_cast<lexmsg_wchar>(0xFFFF)); },
         LEXMSG_ARG_WCHAR,
         0xFFFF},
        {"string",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_charp(l, kText); },
         LEXMSG_ARG_CHARP,
         reinterpret_cast<intptr_t>(kText)},
        {"wide string",
         [](lexmsg_arg_list* l) { return lexmsg_arg_list_add_wcharp(l, kWide); },
         LEXMSG_ARG_WCHARP,
         reinterpret_cast<intptr_t>(kWide)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListPtr list = new_list();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(c.add(list.get()), 0);
        EXPECT_EQ(lexmsg_arg_list_length(list.get()), 1);
        int tag = -100;
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, &tag), c.value);
        EXPECT_EQ(tag, c.tag);
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, nullptr), c.value);
        EXPECT_EQ(c.add(nullptr), -1);
    }
}

TEST(ArgList, NullStringsBecomeEmptyStrings) {
    ListPtr list = new_list();
    ASSERT_EQ(lexmsg_arg_list_add_charp(list.get(), nullptr), 0);
    ASSERT_EQ(lexmsg_arg_list_add_wcharp(list.get(), nullptr), 0);
    const auto* s = reinterpret_cast<const char*>(lexmsg_arg_list_get(list.get(), 0, nullptr));
    const auto* w = reinterpret_cast<const lexmsg_wchar*>(lexmsg_arg_list_get(list.get(), 1, nullptr));
    ASSERT_NE(s, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(s[0], '\0');
    EXPECT_EQ(w[0], 0);
}

TEST(ArgList, KeepsInsertionOrderAndPopsTheLast) {
    ListPtr list = new_list();
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 5), 0);
    ASSERT_EQ(lexmsg_arg_list_add_char(list.get(), 'x'), 0);
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 7), 0);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 3);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 2, nullptr), 7);

    EXPECT_EQ(lexmsg_arg_list_pop(list.get()), 0);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 2);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, nullptr), 5);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 1, nullptr), 'x');

    EXPECT_EQ(lexmsg_arg_list_pop(list.get()), 0);
    EXPECT_EQ(lexmsg_arg_list_pop(list.get()), 0);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 0);
    EXPECT_EQ(lexmsg_arg_list_pop(list.get()), -1);
    // An emptied list takes new elements again.
    EXPECT_EQ(lexmsg_arg_list_add_int(list.get(), 9), 0);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, nullptr), 9);
}

TEST(ArgList, GetOutOfRangeReturnsZeroAndLeavesTheTag) {
    ListPtr list = new_list();
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 5), 0);
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 6), 0);
    for (int index : {2, 3, -1, INT32_MIN}) {
        SCOPED_TRACE(index);
        int tag = 77;
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), index, &tag), 0);
        EXPECT_EQ(tag, 77);
    }
}

TEST(ArgList, NullListsAreHandled) {
    int tag = 77;
    EXPECT_EQ(lexmsg_arg_list_get(nullptr, 0, &tag), 0);
    EXPECT_EQ(tag, 77);
    EXPECT_EQ(lexmsg_arg_list_length(nullptr), 0);
    EXPECT_EQ(lexmsg_arg_list_pop(nullptr), -1);
    lexmsg_arg_list_clear(nullptr);
    lexmsg_arg_list_free(nullptr);
}

TEST(ArgList, SharedEmptyListReadsAsEmpty) {
    const lexmsg_arg_list* empty = lexmsg_arg_list_empty();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty, lexmsg_arg_list_empty());
    EXPECT_EQ(lexmsg_arg_list_length(empty), 0);
    int tag = 77;
    EXPECT_EQ(lexmsg_arg_list_get(empty, 0, &tag), 0);
    EXPECT_EQ(tag, 77);
}

TEST(ArgList, ClearLeavesBorrowedStringsAlone) {
    std::string owned_by_caller = "caller's";
    ListPtr list = new_list();
    ASSERT_EQ(lexmsg_arg_list_add_charp(list.get(), owned_by_caller.c_str()), 0);
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 1), 0);
    lexmsg_arg_list_clear(list.get());
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 0);
    EXPECT_EQ(owned_by_caller, "caller's");
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 2), 0);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 1);
}

TEST(ArgListFromVa, CountedPairs) {
    const char* s = "abc";
    ListPtr list(from_va(6u,
                         LEXMSG_ARG_INT,
                         -3,
                         LEXMSG_ARG_LONG,
                         40000L,
                         LEXMSG_ARG_ULONG,
                         50000UL,
                         LEXMSG_ARG_CHAR,
                         0x141,
                         LEXMSG_ARG_WCHAR,
                         0x12345,
                         LEXMSG_ARG_CHARP,
                         s));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(lexmsg_arg_list_length(list.get()), 6);
    const struct {
        int tag;
        intptr_t value;
    } expected[] = {
        {LEXMSG_ARG_INT, -3},
        {LEXMSG_ARG_LONG, 40000},
        {LEXMSG_ARG_ULONG, 50000},
        {LEXMSG_ARG_CHAR, 0x41},     // only the low byte of the promoted int
        {LEXMSG_ARG_WCHAR, 0x2345},  // only the low 16 bits
        {LEXMSG_ARG_CHARP, reinterpret_cast<intptr_t>(s)},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        int tag = 0;
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), i, &tag), expected[i].value);
        EXPECT_EQ(tag, expected[i].tag);
    }
}

TEST(ArgListFromVa, UnknownTagReadsNoValue) {
    ListPtr list(from_va(2u, 9, LEXMSG_ARG_INT, 42));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(lexmsg_arg_list_length(list.get()), 2);
    int tag = 0;
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, &tag), 0);
    EXPECT_EQ(tag, 9);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 1, &tag), 42);
    EXPECT_EQ(tag, LEXMSG_ARG_INT);
}

TEST(ArgListFromVa, CountZeroGivesAnEmptyList) {
    ListPtr list(from_va(0u));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 0);
}

TEST(ArgListFromVa, SentinelEndsTheList) {
    const lexmsg_wchar* w = kWide;
    ListPtr list(from_va_sentinel(0, LEXMSG_ARG_INT, 42, LEXMSG_ARG_CHARP, kText, 0, LEXMSG_ARG_INT, 99));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(lexmsg_arg_list_length(list.get()), 2);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 1, nullptr), reinterpret_cast<intptr_t>(kText));

    ListPtr unknown(from_va_sentinel(0, 200, LEXMSG_ARG_WCHARP, w, LEXMSG_ARG_UINT, 5u, 0));
    ASSERT_EQ(lexmsg_arg_list_length(unknown.get()), 3);
    int tag = 0;
    EXPECT_EQ(lexmsg_arg_list_get(unknown.get(), 0, &tag), 0);
    EXPECT_EQ(tag, 200);
    EXPECT_EQ(lexmsg_arg_list_get(unknown.get(), 1, nullptr), reinterpret_cast<intptr_t>(w));

    ListPtr empty(from_va_sentinel(0, 0));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(lexmsg_arg_list_length(empty.get()), 0);
}

TEST_F(ArgListFailures, FailedAppendLeavesTheListUnchanged) {
    for (long successes : {0L, 1L}) {  // the element fails, then its node
        SCOPED_TRACE(successes);
        ListPtr list = new_list();
        ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), 1), 0);
        const size_t live = heap_.live_blocks();
        heap_.fail_at(successes, true);
        EXPECT_EQ(lexmsg_arg_list_add_int(list.get(), 2), -1);
        EXPECT_EQ(lexmsg_arg_list_add_charp(list.get(), kText), -1);
        heap_.fail_at(-1);
        EXPECT_EQ(heap_.live_blocks(), live) << "a failed append keeps nothing";
        EXPECT_EQ(lexmsg_arg_list_length(list.get()), 1);
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, nullptr), 1);
        EXPECT_EQ(lexmsg_arg_list_add_int(list.get(), 3), 0);
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), 1, nullptr), 3);
    }
}

TEST_F(ArgListFailures, BuildersReportOrSkipFailures) {
    heap_.fail_at(0, true);
    EXPECT_EQ(lexmsg_arg_list_new(), nullptr);
    EXPECT_EQ(from_va(1u, LEXMSG_ARG_INT, 1), nullptr);
    EXPECT_EQ(from_va_sentinel(0, LEXMSG_ARG_INT, 1, 0), nullptr);
    EXPECT_EQ(heap_.live_blocks(), 0u);

    // The list and the first element's two blocks succeed, the second element fails.
    heap_.fail_at(3, true);
    ListPtr list(from_va(2u, LEXMSG_ARG_INT, 1, LEXMSG_ARG_INT, 2));
    heap_.fail_at(-1);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(lexmsg_arg_list_length(list.get()), 1);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 0, nullptr), 1);
}

}  // namespace
