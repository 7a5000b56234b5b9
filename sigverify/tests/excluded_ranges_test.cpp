// The excluded-range list: placing the block's range and judging the layout.
#include "excluded_ranges.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using sigverify::excluded_range;
using span_list = std::vector<std::pair<uint32_t, uint32_t>>;

span_list to_vector(const excluded_range* list) {
    span_list out;
    for (; list != nullptr; list = list->next) out.emplace_back(list->first, list->last);
    return out;
}

excluded_range* build(const span_list& ranges) {
    excluded_range* list = nullptr;
    for (const auto& r : ranges) EXPECT_TRUE(sigverify::append_range(&list, r.first, r.second));
    return list;
}

TEST(ExcludedRanges, BlockRangeInsertion) {
    struct Insertion {
        const char* name;
        span_list before;
        std::pair<uint32_t, uint32_t> block;
        span_list after;
    };
    const Insertion cases[] = {
        {"empty_list", {}, {100, 199}, {{100, 199}}},
        {"after_pe_fields",
         {{0x160, 0x163}, {0x1A0, 0x1A7}},
         {0xCC00, 0xCD67},
         {{0x160, 0x163}, {0x1A0, 0x1A7}, {0xCC00, 0xCD67}}},
        {"before_certificate_table",
         {{0x160, 0x163}, {0x1A0, 0x1A7}, {0xCD68, 0xE6E7}},
         {0xCC00, 0xCD67},
         {{0x160, 0x163}, {0x1A0, 0x1A7}, {0xCC00, 0xCD67}, {0xCD68, 0xE6E7}}},
        // Never in front of the first range, even when it belongs there.
        {"never_first", {{500, 503}, {600, 607}}, {10, 20}, {{500, 503}, {10, 20}, {600, 607}}},
    };
    for (const Insertion& c : cases) {
        excluded_range* list = build(c.before);
        ASSERT_TRUE(sigverify::insert_block_range(&list, c.block.first, c.block.second));
        EXPECT_EQ(to_vector(list), c.after) << c.name;
        sigverify::release_ranges(&list);
        EXPECT_EQ(list, nullptr);
    }
}

TEST(ExcludedRanges, Soundness) {
    struct Layout {
        const char* name;
        span_list ranges;
        uint32_t file_length;
        bool sound;
    };
    const Layout cases[] = {
        {"empty", {}, 10, true},
        {"worked_example", {{0x160, 0x163}, {0x1A0, 0x1A7}, {0xCC00, 0xCD67}, {0xCD68, 0xE6E7}}, 59112, true},
        {"adjacent", {{0, 3}, {4, 9}}, 10, true},
        {"overlapping", {{0, 5}, {5, 9}}, 10, false},
        {"out_of_order", {{5, 6}, {0, 3}}, 10, false},
        {"past_end_of_file", {{0, 3}, {8, 10}}, 10, false},
        {"last_before_first", {{6, 5}}, 10, false},
    };
    for (const Layout& c : cases) {
        excluded_range* list = build(c.ranges);
        EXPECT_EQ(sigverify::ranges_are_sound(list, c.file_length), c.sound) << c.name;
        sigverify::release_ranges(&list);
    }
}

TEST(ExcludedRanges, WorkedExampleTotal) {
    excluded_range* list = build({{0x160, 0x163}, {0x1A0, 0x1A7}, {0xCC00, 0xCD67}, {0xCD68, 0xE6E7}});
    EXPECT_EQ(59112u - sigverify::ranges_total(list), 52212u);
    sigverify::release_ranges(&list);
}

}  // namespace
