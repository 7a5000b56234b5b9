// Index entries and insertion tables read from hand-made sections: every
// bound that keeps a lookup inside the section.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "catalog_fixture.h"
#include "catalog_format.h"
#include "lexmsg.h"

namespace {

using lexmsg_test::Bytes;
using lexmsg_test::put32;
using lexmsg_test::set32;

// A section of two index entries (ids 0 and 1); id 1's body follows at 32.
Bytes section_with_body(uint32_t delivered, uint32_t text_length, const Bytes& body) {
    Bytes s(32, 0);
    set32(&s, 16, 32);
    set32(&s, 20, delivered);
    set32(&s, 24, text_length);
    for (uint8_t b : body) s.push_back(b);
    return s;
}

Bytes text_and_records(const char* text, std::vector<std::pair<uint32_t, uint32_t>> records, bool end_word) {
    Bytes b(text, text + std::char_traits<char>::length(text));
    for (auto [number, position] : records) {
        put32(&b, number);
        put32(&b, position);
    }
    if (end_word) put32(&b, 0);
    return b;
}

struct WalkCase {
    const char* name;
    Bytes body;
    uint32_t text_length;
    int entry_rc;
    int walk_rc;
    uint32_t records;
    uint32_t highest;
};

TEST(CatalogFormat, EntriesAndInsertionTables) {
    const WalkCase cases[] = {
        {"empty table", text_and_records("hello", {}, true), 5, 0, 0, 0, 0},
        {"two records, numbers out of order", text_and_records("hello", {{2, 1}, {1, 5}}, true), 5, 0, 0, 2, 2},
        {"repeated number", text_and_records("ab", {{1, 0}, {1, 2}}, true), 2, 0, 0, 2, 1},
        {"position at text length", text_and_records("ab", {{3, 2}}, true), 2, 0, 0, 1, 3},
        {"first word beyond the section", text_and_records("abc", {}, false), 3, LEXMSG_E_MALFORMED, 0, 0, 0},
        {"text length beyond the section", text_and_records("abc", {}, true), 9, LEXMSG_E_MALFORMED, 0, 0, 0},
        {"table without its end word", text_and_records("abc", {{1, 0}}, false), 3, 0, LEXMSG_E_MALFORMED, 0, 0},
        {"record cut short", Bytes{'a', 1, 0, 0, 0, 0, 0}, 1, 0, LEXMSG_E_MALFORMED, 0, 0},
        {"position beyond the text", text_and_records("abc", {{1, 4}}, true), 3, 0, LEXMSG_E_MALFORMED, 0, 0},
        {"positions decrease", text_and_records("abc", {{1, 2}, {2, 1}}, true), 3, 0, LEXMSG_E_MALFORMED, 0, 0},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes s = section_with_body(c.text_length, c.text_length, c.body);
        lexmsg::MessageEntry entry{};
        ASSERT_EQ(lexmsg::read_message_entry(s.data(), static_cast<uint32_t>(s.size()), 1, &entry), c.entry_rc);
        if (c.entry_rc != 0) continue;
        EXPECT_EQ(entry.text_offset, 32u);
        EXPECT_EQ(entry.table_offset, 32u + c.text_length);
        lexmsg::InsertionTable table{};
        ASSERT_EQ(lexmsg::walk_insertion_table(s.data(), static_cast<uint32_t>(s.size()), entry, &table), c.walk_rc);
        if (c.walk_rc != 0) continue;
        EXPECT_EQ(table.record_count, c.records);
        EXPECT_EQ(table.highest_number, c.highest);
    }
}

TEST(CatalogFormat, IndexBounds) {
    const Bytes s = section_with_body(1, 1, text_and_records("x", {}, true));
    const auto size = static_cast<uint32_t>(s.size());
    lexmsg::MessageEntry entry{};
    EXPECT_EQ(lexmsg::read_message_entry(s.data(), size, 0, &entry), LEXMSG_E_NO_MESSAGE);
    EXPECT_EQ(lexmsg::read_message_entry(s.data(), size, 1, &entry), LEXMSG_OK);
    // Entry 2 would start at 32 and end at 48: inside the section (37 bytes)
    // only partly.
    EXPECT_EQ(lexmsg::read_message_entry(s.data(), size, 2, &entry), LEXMSG_E_MALFORMED);
    // 16 * id overflows 32 bits.
    EXPECT_EQ(lexmsg::read_message_entry(s.data(), size, 0x10000000u, &entry), LEXMSG_E_MALFORMED);
    EXPECT_EQ(lexmsg::read_message_entry(s.data(), size, UINT32_MAX, &entry), LEXMSG_E_MALFORMED);
}

TEST(CatalogFormat, HeaderFields) {
    const Bytes section = lexmsg_test::narrow_section({{3, "abc"}});
    const Bytes catalog = lexmsg_compile::build_catalog(7, 1252, nullptr, &section);
    const lexmsg::CatalogHeader h = lexmsg::decode_header(catalog.data());
    EXPECT_EQ(h.magic, lexmsg::kCatalogMagic);
    EXPECT_EQ(h.format_word, 1252u);
    EXPECT_EQ(h.highest_id, 7u);
    EXPECT_EQ(h.wide.offset, 0u);
    EXPECT_EQ(h.narrow.offset, 36u);
    EXPECT_EQ(h.narrow.stored_size, catalog.size() - 36);
    EXPECT_EQ(h.narrow.expanded_size, section.size());
}

}  // namespace
