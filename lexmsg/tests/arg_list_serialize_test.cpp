// The byte form of argument lists: one table of byte vectors checked on
// every build, the size protocol, and hostile or truncated input.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "lexmsg.h"
#include "list_helpers.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg_test::ListPtr;
using lexmsg_test::from_va;

using Bytes = std::vector<uint8_t>;

// Serializes through the usual two calls: ask for the size, then write.
Bytes serialize(const lexmsg_arg_list* list) {
    uint32_t size = 0;
    EXPECT_EQ(lexmsg_arg_list_serialize(list, nullptr, &size), -2);
    Bytes out(size, 0xCC);
    uint32_t given = size;
    EXPECT_EQ(lexmsg_arg_list_serialize(list, out.data(), &given), 0);
    EXPECT_EQ(given, size);
    return out;
}

const lexmsg_wchar kTwoWide[] = {0x00E9, 0x20AC, 0};

struct ByteCase {
    const char* name;
    std::function<lexmsg_arg_list*()> build;
    Bytes bytes;
};

TEST(ArgListSerialize, ByteVectors) {
    const ByteCase cases[] = {
        {"empty list", [] { return lexmsg_arg_list_new(); }, {0x00, 0x00}},
        {"int -1", [] { return from_va(1u, LEXMSG_ARG_INT, -1); }, {0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"long is written as int",
         [] { return from_va(1u, LEXMSG_ARG_LONG, 5L); },
         {0x01, 0x00, 0x01, 0x05, 0x00, 0x00, 0x00}},
        {"negative long keeps 32 bits",
         [] { return from_va(1u, LEXMSG_ARG_LONG, -2L); },
         {0x01, 0x00, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"unsigned long is written as unsigned int",
         [] { return from_va(1u, LEXMSG_ARG_ULONG, 5UL); },
         {0x01, 0x00, 0x08, 0x05, 0x00, 0x00, 0x00}},
        {"unsigned int",
         [] { return from_va(1u, LEXMSG_ARG_UINT, 0x89ABCDEFu); },
         {0x01, 0x00, 0x08, 0xEF, 0xCD, 0xAB, 0x89}},
        {"char", [] { return from_va(1u, LEXMSG_ARG_CHAR, 0xE9); }, {0x01, 0x00, 0x04, 0xE9}},
        {"wide char", [] { return from_va(1u, LEXMSG_ARG_WCHAR, 0x20AC); }, {0x01, 0x00, 0x05, 0xAC, 0x20, 0x00, 0x00}},
        {"string abc",
         [] { return from_va(1u, LEXMSG_ARG_CHARP, "abc"); },
         {0x01, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'}},
        {"empty string", [] { return from_va(1u, LEXMSG_ARG_CHARP, ""); }, {0x01, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00}},
        {"null string",
         [] { return from_va(1u, LEXMSG_ARG_CHARP, static_cast<const char*>(nullptr)); },
         {0x01, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00}},
        {"wide string of two units",
         [] { return from_va(1u, LEXMSG_ARG_WCHARP, kTwoWide); },
         {0x01, 0x00, 0x07, 0x02, 0x00, 0x00, 0x00, 0xE9, 0x00, 0x00, 0x00, 0xAC, 0x20, 0x00, 0x00}},
        {"unknown tag is its tag byte alone",
         [] { return from_va(2u, 9, LEXMSG_ARG_CHAR, 'z'); },
         {0x02, 0x00, 0x09, 0x04, 'z'}},
        {"tag keeps its low 8 bits", [] { return from_va(1u, 0x1FF); }, {0x01, 0x00, 0xFF}},
        {"tag 0x101 is written as an int of its payload",
         [] { return from_va(1u, 0x101); },
         {0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListPtr list(c.build());
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(serialize(list.get()), c.bytes);
    }
    uint32_t size = 0;
    EXPECT_EQ(lexmsg_arg_list_serialize(lexmsg_arg_list_empty(), nullptr, &size), -2);
    EXPECT_EQ(size, 2u);
}

TEST(ArgListSerialize, SizeProtocol) {
    ListPtr list(from_va(2u, LEXMSG_ARG_INT, 1, LEXMSG_ARG_CHARP, "xy"));
    const uint32_t needed = 2 + 5 + 5 + 2;

    uint32_t size = 0;
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), nullptr, &size), -2);
    EXPECT_EQ(size, needed);

    size = needed;
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), nullptr, &size), -1) << "null area with a sufficient size";

    Bytes out(needed + 4, 0xCC);
    size = needed - 1;
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), out.data(), &size), -2);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(out, Bytes(needed + 4, 0xCC)) << "nothing is written when the area is too small";

    size = needed + 4;
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), out.data(), &size), 0);
    EXPECT_EQ(size, needed) << "the size written comes back";
    EXPECT_EQ(out[needed], 0xCC) << "nothing past the needed size";

    EXPECT_EQ(lexmsg_arg_list_serialize(nullptr, out.data(), &size), -1);
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), out.data(), nullptr), -1);
}

TEST(ArgListSerialize, CountLimit) {
    ListPtr list(lexmsg_arg_list_new());
    for (int i = 0; i < 65535; ++i) ASSERT_EQ(lexmsg_arg_list_add_char(list.get(), 'a'), 0);
    Bytes full = serialize(list.get());
    ASSERT_EQ(full.size(), 2u + 2u * 65535u);
    EXPECT_EQ(full[0], 0xFF);
    EXPECT_EQ(full[1], 0xFF);

    // One more would wrap the 16-bit count: refused, nothing written, size untouched.
    ASSERT_EQ(lexmsg_arg_list_add_char(list.get(), 'b'), 0);
    uint32_t size = 0;
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), nullptr, &size), -1);
    EXPECT_EQ(size, 0u);
    Bytes out(full.size() + 2, 0xCC);
    size = static_cast<uint32_t>(out.size());
    EXPECT_EQ(lexmsg_arg_list_serialize(list.get(), out.data(), &size), -1);
    EXPECT_EQ(size, out.size());
    EXPECT_EQ(out, Bytes(full.size() + 2, 0xCC));
}

struct Element {
    int tag;
    intptr_t value;       // numbers
    std::u16string text;  // strings (narrow text widened byte by byte)
};

std::vector<Element> elements_of(const lexmsg_arg_list* list) {
    std::vector<Element> out;
    for (int i = 0; i < lexmsg_arg_list_length(list); ++i) {
        Element e{0, 0, {}};
        e.value = lexmsg_arg_list_get(list, i, &e.tag);
        if (e.tag == LEXMSG_ARG_CHARP) {
            for (auto* s = reinterpret_cast<const unsigned char*>(e.value); *s != 0; ++s) e.text += char16_t(*s);
            e.value = 0;
        } else if (e.tag == LEXMSG_ARG_WCHARP) {
            for (auto* s = reinterpret_cast<const lexmsg_wchar*>(e.value); *s != 0; ++s) e.text += char16_t(*s);
            e.value = 0;
        }
        out.push_back(e);
    }
    return out;
}

bool operator==(const Element& a, const Element& b) { return a.tag == b.tag && a.value == b.value && a.text == b.text; }

void PrintTo(const Element& e, std::ostream* os) { *os << "{tag " << e.tag << ", " << e.value << "}"; }

struct ReadCase {
    const char* name;
    Bytes bytes;
    int result;
    std::vector<Element> elements;
};

TEST(ArgListDeserialize, ReadsAndRejects) {
    const ReadCase cases[] = {
        {"empty list", {0x00, 0x00}, 0, {}},
        {"int 42 after an unknown tag", {0x02, 0x00, 0x09, 0x01, 0x2A, 0x00, 0x00, 0x00}, 0, {{1, 42, u""}}},
        {"every numeric tag",
         {0x06, 0x00, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x05, 0,    0,   0, 0x77,
          0x77, 0x77, 0x77, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0,    0,   0, 0x04,
          0xE9, 0x05, 0x45, 0x23, 0x01, 0x00, 0x08, 0x10, 0x00, 0x00, 0x80},
         0,
         {{1, -2, u""}, {2, 5, u""}, {3, -1, u""}, {4, -23, u""}, {5, 0x2345, u""}, {8, INT32_MIN + 0x10, u""}}},
        {"strings are copied",
         {0x03, 0x00, 0x06, 0x03, 0, 0, 0,    'a', 'b', 'c', 0x06, 0,    0,    0,
          0,    0x07, 0x02, 0,    0, 0, 0xE9, 0,   0,   0,   0x45, 0x23, 0x01, 0x00},
         0,
         {{6, 0, u"abc"}, {6, 0, u""}, {7, 0, u"\u00E9\u2345"}}},
        {"bytes after the last element are ignored", {0x01, 0x00, 0x04, 'q', 0xDE, 0xAD}, 0, {{4, 'q', u""}}},
        {"no bytes", {}, -2, {}},
        {"one byte", {0x01}, -2, {}},
        {"count without elements", {0x01, 0x00}, -2, {}},
        {"three counted, two present", {0x03, 0x00, 0x04, 'a', 0x04, 'b'}, -2, {{4, 'a', u""}, {4, 'b', u""}}},
        {"tag 2 with four payload bytes", {0x01, 0x00, 0x02, 1, 2, 3, 4}, -2, {}},
        {"int cut short", {0x01, 0x00, 0x01, 1, 2, 3}, -2, {}},
        {"char without its byte", {0x01, 0x00, 0x04}, -2, {}},
        {"string count cut short", {0x01, 0x00, 0x06, 3, 0, 0}, -2, {}},
        {"string longer than the input", {0x01, 0x00, 0x06, 4, 0, 0, 0, 'a', 'b', 'c'}, -2, {}},
        {"huge string count", {0x01, 0x00, 0x06, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, -2, {}},
        {"wide count whose byte size wraps", {0x01, 0x00, 0x07, 0x01, 0x00, 0x00, 0x40, 0, 0, 0, 0}, -2, {}},
        {"wide string missing a unit", {0x01, 0x00, 0x07, 2, 0, 0, 0, 0x41, 0, 0, 0, 0x42, 0}, -2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // An exact copy, so a sanitizer sees any read past the input.
        std::unique_ptr<uint8_t[]> input(new uint8_t[c.bytes.size() + 1]);
        std::copy(c.bytes.begin(), c.bytes.end(), input.get());
        lexmsg_arg_list* raw = nullptr;
        const int rc = lexmsg_arg_list_deserialize(&raw, input.get(), static_cast<uint32_t>(c.bytes.size()));
        ListPtr list(raw);
        input.reset();  // the list must not depend on the input bytes
        EXPECT_EQ(rc, c.result);
        EXPECT_EQ(elements_of(list.get()), c.elements);
    }
}

TEST(ArgListDeserialize, NullArguments) {
    const uint8_t bytes[] = {0, 0};
    lexmsg_arg_list* list = nullptr;
    EXPECT_EQ(lexmsg_arg_list_deserialize(nullptr, bytes, 2), -1);
    EXPECT_EQ(lexmsg_arg_list_deserialize(&list, nullptr, 2), -1);
    EXPECT_EQ(list, nullptr);
}

TEST(ArgListDeserialize, RoundTripKeepsEveryValue) {
    ListPtr list(from_va(7u,
                         LEXMSG_ARG_INT,
                         INT32_MIN,
                         LEXMSG_ARG_UINT,
                         0xFFFFFFFFu,
                         LEXMSG_ARG_LONG,
                         -9L,
                         LEXMSG_ARG_ULONG,
                         9UL,
                         LEXMSG_ARG_CHAR,
                         'c',
                         LEXMSG_ARG_CHARP,
                         "s p",
                         LEXMSG_ARG_WCHARP,
                         kTwoWide));
    Bytes bytes = serialize(list.get());
    lexmsg_arg_list* raw = nullptr;
    ASSERT_EQ(lexmsg_arg_list_deserialize(&raw, bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
    ListPtr back(raw);
    const std::vector<Element> expected = {{1, INT32_MIN, u""},
                                           {8, -1, u""},
                                           {1, -9, u""},
                                           {8, 9, u""},
                                           {4, 'c', u""},
                                           {6, 0, u"s p"},
                                           {7, 0, u"\u00E9\u20AC"}};
    EXPECT_EQ(elements_of(back.get()), expected);
    EXPECT_EQ(serialize(back.get()), bytes);
}

// The largest count, read in order: the links the reader builds serve the
// list operations afterwards (get by index, pop from the back, append).
TEST(ArgListDeserialize, LargestCountInOrder) {
    Bytes bytes = {0xFF, 0xFF};
    for (uint32_t i = 0; i < 65535; ++i) {
        bytes.push_back(LEXMSG_ARG_INT);
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<unsigned char>(i >> (8 * b)));
    }
    lexmsg_arg_list* raw = nullptr;
    ASSERT_EQ(lexmsg_arg_list_deserialize(&raw, bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
    ListPtr list(raw);
    ASSERT_EQ(lexmsg_arg_list_length(list.get()), 65535);
    int tag = 0;
    for (int index : {0, 1, 32768, 65534}) {
        EXPECT_EQ(lexmsg_arg_list_get(list.get(), index, &tag), index);
        EXPECT_EQ(tag, LEXMSG_ARG_INT);
    }
    ASSERT_EQ(lexmsg_arg_list_pop(list.get()), 0);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 65533, &tag), 65533);
    ASSERT_EQ(lexmsg_arg_list_add_int(list.get(), -5), 0);
    EXPECT_EQ(lexmsg_arg_list_get(list.get(), 65534, &tag), -5);
    EXPECT_EQ(serialize(list.get()).size(), bytes.size());
}

class ArgListDeserializeFailures : public ::testing::Test {
protected:
    HeapWatch heap_;  // normal allocation again after every test
};

TEST_F(ArgListDeserializeFailures, NoMemory) {
    const Bytes bytes = {0x02, 0x00, 0x06, 0x02, 0, 0, 0, 'h', 'i', 0x01, 7, 0, 0, 0};
    lexmsg_arg_list* list = reinterpret_cast<lexmsg_arg_list*>(&list);
    heap_.fail_at(0, true);
    EXPECT_EQ(lexmsg_arg_list_deserialize(&list, bytes.data(), static_cast<uint32_t>(bytes.size())), -1);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(heap_.live_blocks(), 0u);

    // Every later allocation failing in turn: -1, and what was read stays with the caller.
    for (long successes = 1; successes < 6; ++successes) {
        SCOPED_TRACE(successes);
        heap_.fail_at(successes, true);
        list = nullptr;
        EXPECT_EQ(lexmsg_arg_list_deserialize(&list, bytes.data(), static_cast<uint32_t>(bytes.size())), -1);
        heap_.fail_at(-1);
        ASSERT_NE(list, nullptr);
        EXPECT_LE(lexmsg_arg_list_length(list), 1);
        lexmsg_arg_list_free(list);
        EXPECT_EQ(heap_.live_blocks(), 0u);
    }
}

}  // namespace
