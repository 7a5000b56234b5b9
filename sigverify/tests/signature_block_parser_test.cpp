// The signature block parser: the shipped layout, the format's own failure
// codes, and the malformed blocks it rejects beyond them.
#include "signature_block_parser.h"

#include <gtest/gtest.h>

#include <functional>

#include "block_fixture.h"
#include "sigverify/sig_result.h"

using namespace sigverify;  // the code under test

namespace {

using sigtest::BlockFixture;
using sigtest::bytes;
using sigverify::BlockOptions;
using sigverify::sig_block_info;

struct ParseResult {
    bool ok = false;
    int code = 0;
    sig_block_info info{};
};

ParseResult parse(const bytes& file) {
    sigtest::TempFile f(file);
    ParseResult r;
    sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
    EXPECT_NE(handle, nullptr);
    sig_block_info info{};
    r.ok = sigverify::parse_signature_block(handle, static_cast<uint32_t>(file.size()), &info, &r.code);
    r.info = info;
    r.info.records = nullptr;
    if (r.ok && info.record_count > 0) {
        // Keep the first two records for the checks, then release them all.
        static thread_local sigverify::sig_record kept[2];
        for (uint32_t i = 0; i < 2 && i < info.record_count; ++i) kept[i] = info.records[i];
        r.info.records = kept;
    }
    sigverify::release_block_info(&info);
    EXPECT_EQ(info.records, nullptr);
    sigverify::sig_file_close(&handle);
    return r;
}

BlockOptions options(char encoding, uint32_t lead = 0, int64_t tail = -1) {
    BlockOptions o;
    o.encoding = encoding;
    o.lead_pad = lead;
    o.tail_pad = tail;
    return o;
}

TEST(SignatureBlockParser, ShippedLayout) {
    // A block at 0xCC00 followed by a 0x1980-byte certificate table.
    BlockFixture f = BlockFixture::unsigned_block(bytes(0xCC00, 0x41), options('B'));
    ASSERT_EQ(f.file.size(), 0xCC00u + 360u);
    f.file.resize(59112, 0x55);
    const uint8_t* b = f.file.data() + 0xCC00;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b), 16), "ZRCS4F3A4200C37O");
    EXPECT_EQ(sigtest::load_le32(f.file, 0xCC00 + 0x16), 360u);
    EXPECT_EQ(b[0x1A], 1);
    EXPECT_EQ(b[0x27], 3);
    EXPECT_EQ(sigtest::load_le32(f.file, 0xCC00 + 0x29), 59u);
    EXPECT_EQ(sigtest::load_le32(f.file, 0xCC00 + 0x2E), 256u);
    EXPECT_EQ(b[0x32], 'P');
    EXPECT_EQ(bytes(b + 0x13B, b + 0x147), bytes(12, 0));
    EXPECT_EQ(sigtest::load_le32(f.file, 0xCC00 + 0x147), 338u);
    EXPECT_EQ(sigtest::load_le32(f.file, 0xCC00 + 0x14C), 6u);
    EXPECT_EQ(b[0x151], 'B');
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 0x152), 16), "62F3AB0132FZRCSE");
    EXPECT_EQ(bytes(b + 0x162, b + 0x168), bytes(6, 0));

    const ParseResult r = parse(f.file);
    ASSERT_TRUE(r.ok) << r.code;
    EXPECT_EQ(r.info.lead_pad, 0u);
    EXPECT_EQ(r.info.span, 360u);
    EXPECT_EQ(r.info.record_count, 1);
    EXPECT_EQ(r.info.records[0].record_type, 3);
    EXPECT_EQ(r.info.records[0].value_offset, 59u);
    EXPECT_EQ(r.info.records[0].value_length, 256u);
    EXPECT_EQ(r.info.records[0].key_selector, 'P');
    EXPECT_EQ(r.info.end_offset, 338u);
    EXPECT_EQ(r.info.tail_pad, 6u);
    EXPECT_EQ(r.info.encoding, 'B');
    EXPECT_EQ(r.info.block_distance, 6888u);
    EXPECT_EQ(f.file.size() - f.end_marker(), 6550u);
}

struct ParseCase {
    const char* name;
    std::function<void(BlockFixture*)> change;
    int code;  // 0: parses
};

// Names the case in test listings.
void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.name; }

class ParserCase : public ::testing::TestWithParam<std::tuple<ParseCase, char>> {};

TEST_P(ParserCase, GivesCode) {
    const ParseCase& c = std::get<0>(GetParam());
    const char encoding = std::get<1>(GetParam());
    BlockFixture f = BlockFixture::unsigned_block(sigtest::make_script(), options(encoding, 4, 6));
    c.change(&f);
    const ParseResult r = parse(f.file);
    if (c.code == 0) {
        EXPECT_TRUE(r.ok) << "code " << r.code;
    } else {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.code, c.code);
    }
}

const ParseCase kParseCases[] = {
    {"as_written", [](BlockFixture*) {}, 0},
    {"encoding_neither_b_nor_t", [](BlockFixture* f) { f->set_encoding('X'); }, 7},
    {"end_offset_misses_start_marker", [](BlockFixture* f) { f->set_end_offset(f->end_offset() - 1); }, 7},
    {"end_offset_before_file", [](BlockFixture* f) { f->set_end_offset(0x00FFFFFF); }, 13},
    {"end_offset_wraps", [](BlockFixture* f) { f->set_end_offset(0xFFFFFFF0); }, 13},
    {"start_marker_damaged", [](BlockFixture* f) { f->file[f->block_start + 3] ^= 1; }, 7},
    {"lead_pad_33",
     [](BlockFixture* f) {
         f->set_lead_pad(33);
         f->set_span(f->span() + 29);
     },
     8},
    {"tail_pad_33",
     [](BlockFixture* f) {
         f->set_tail_pad(33);
         f->set_span(f->span() + 27);
         f->file.resize(f->file.size() + 27, 0x20);
     },
     8},
    {"span_one_more", [](BlockFixture* f) { f->set_span(f->span() + 1); }, 8},
    {"span_one_less", [](BlockFixture* f) { f->set_span(f->span() - 1); }, 8},
    {"span_covers_appended_bytes",
     [](BlockFixture* f) {
         f->file.insert(f->file.end(), {'x', 'y', 'z'});
         f->set_span(f->span() + 3);
     },
     8},
    {"tail_padding_past_end_of_file", [](BlockFixture* f) { f->file.resize(f->file.size() - 2); }, 8},
    {"lead_padding_before_start_of_file",
     [](BlockFixture* f) {
         // Content of 160 bytes in front: a lead_pad of 32 still fits, so
         // drop the content to 2 bytes first.
         bytes tail(f->file.begin() + static_cast<std::ptrdiff_t>(f->block_start - 4), f->file.end());
         f->file = tail;
         f->block_start = 4;
         f->file.erase(f->file.begin(), f->file.begin() + 2);
         f->block_start = 2;
     },
     8},
    {"record_table_past_bytes_read", [](BlockFixture* f) { f->set_record_count(255); }, 8},
    {"record_count_0", [](BlockFixture* f) { f->set_record_count(0); }, 0},
    {"lead_pad_32",
     [](BlockFixture* f) {
         // Rebuild with the largest paddings.
         *f = BlockFixture::unsigned_block(sigtest::make_script(), options(f->encoding, 32, 32));
     },
     0},
    {"second_block_after_first",
     [](BlockFixture* f) {
         BlockFixture second = BlockFixture::unsigned_block(f->file, options(f->encoding, 0, 0));
         *f = second;
     },
     0},
    {"end_marker_21_bytes_into_window",
     [](BlockFixture* f) {
         const std::string text = std::string(21, 'a') + sigverify::kEndMarker;
         f->file = bytes(text.begin(), text.end());
     },
     7},
    {"end_marker_20_bytes_into_window",
     [](BlockFixture* f) {
         const std::string text = std::string(20, 'a') + sigverify::kEndMarker;
         f->file = bytes(text.begin(), text.end());
     },
     8},
    {"file_of_15_bytes", [](BlockFixture* f) { f->file = bytes(15, 'a'); }, 7},
    {"no_end_marker", [](BlockFixture* f) { f->file[f->find_end_marker() + 4] ^= 1; }, 7},
};

INSTANTIATE_TEST_SUITE_P(BothEncodings,
                         ParserCase,
                         ::testing::Combine(::testing::ValuesIn(kParseCases), ::testing::Values('B', 'T')),
                         [](const auto& param_info) {
                             return std::string(std::get<0>(param_info.param).name) + "_" +
                                    std::get<1>(param_info.param);
                         });

TEST(SignatureBlockParser, TwoEndMarkersTakeTheOneNearestTheEnd) {
    BlockFixture first = BlockFixture::unsigned_block(sigtest::make_script(), options('B', 0, 0));
    BlockFixture second = BlockFixture::unsigned_block(first.file, options('T', 0, 3));
    const ParseResult r = parse(second.file);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.info.encoding, 'T');
    EXPECT_EQ(r.info.block_distance, second.file.size() - second.block_start);
}

TEST(SignatureBlockParser, HexTextDigitsInEitherCaseAndNonDigitsAsZero) {
    BlockFixture f = BlockFixture::unsigned_block(sigtest::make_script(), options('T', 0, 10));
    const ParseResult upper = parse(f.file);
    ASSERT_TRUE(upper.ok);
    for (size_t i = f.block_start + 16; i < f.find_end_marker(); ++i) {
        if (f.file[i] >= 'A' && f.file[i] <= 'F') f.file[i] = static_cast<uint8_t>(f.file[i] | 0x20);
    }
    // The span 0x000001D4-ish field begins with zero digits: make one a 'G'.
    f.file[f.block_start + f.layout().header_span] = 'G';
    const ParseResult lower = parse(f.file);
    ASSERT_TRUE(lower.ok) << lower.code;
    EXPECT_EQ(lower.info.span, upper.info.span);
    EXPECT_EQ(lower.info.end_offset, upper.info.end_offset);
    EXPECT_EQ(lower.info.records[0].value_offset, upper.info.records[0].value_offset);
}

TEST(SignatureBlockParser, HexTextValueLengthIsHalvedRoundingDown) {
    for (uint32_t chars : {512u, 513u, 511u}) {
        BlockFixture f = BlockFixture::unsigned_block(sigtest::make_script(), options('T'));
        f.set_value_length(0, chars);
        const ParseResult r = parse(f.file);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.info.records[0].value_length, chars / 2);
    }
}

TEST(SignatureBlockParser, RecordsInBlockOrder) {
    BlockOptions o = options('B');
    o.extra_records = 1;
    BlockFixture f = BlockFixture::unsigned_block(sigtest::make_script(), o);
    const ParseResult r = parse(f.file);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.info.record_count, 2);
    EXPECT_EQ(r.info.records[0].record_type, 1);
    EXPECT_EQ(r.info.records[1].record_type, 3);
    EXPECT_EQ(r.info.records[1].value_offset, 39u + 2 * 20u);
}

// A hex-text block lives on one line: any line break from its start marker
// through its end marker is rejected, bytes around it are not examined.
TEST(SignatureBlockParser, HexTextLineBreaks) {
    const BlockFixture base = BlockFixture::unsigned_block(sigtest::make_script(), options('T', 2, 2));
    const size_t start = base.block_start;
    const size_t end = base.find_end_marker() + 16;
    struct Spot {
        size_t at;
        uint8_t byte;
        int code;
    };
    const Spot spots[] = {
        {start, '\n', 8},                  // first byte of the start marker
        {start + 40, '\r', 8},             // reserved header characters
        {start + 62 + 30, '\n', 8},        // reserved record characters
        {start + 62 + 39 + 100, '\r', 8},  // the signature value
        {end - 1, '\n', 8},                // last byte of the end marker
        {start - 1, '\n', 0},              // lead padding
        {end, '\n', 0},                    // tail padding
    };
    for (const Spot& s : spots) {
        BlockFixture f = base;
        f.file[s.at] = s.byte;
        const ParseResult r = parse(f.file);
        // A damaged marker is no block at all (7), which rejects it as well.
        const bool marker = s.at < start + 16 || s.at >= end - 16;
        if (s.code == 0) {
            EXPECT_TRUE(r.ok) << "at " << s.at - start;
        } else {
            EXPECT_FALSE(r.ok) << "at " << s.at - start;
            EXPECT_EQ(r.code, marker ? 7 : 8) << "at " << s.at - start;
        }
    }
    // A binary block may hold such bytes anywhere.
    BlockFixture binary = BlockFixture::unsigned_block(sigtest::make_script(), options('B'));
    binary.file[binary.block_start + 30] = '\n';
    binary.file[binary.block_start + 100] = '\r';
    EXPECT_TRUE(parse(binary.file).ok);
}

TEST(SignatureBlockParser, LargeFilesSearchOnlyTheWindow) {
    const uint32_t window = sigverify::kSearchWindow;
    bytes big(window + 1000, 'a');
    // Marker well inside the window: found.
    BlockFixture found = BlockFixture::unsigned_block(big, options('B'));
    found.file.resize(found.file.size() + 100000, 'b');
    EXPECT_TRUE(parse(found.file).ok);
    // The same block with so much after it that its end marker starts
    // before the window: no block.
    BlockFixture far = BlockFixture::unsigned_block(big, options('B'));
    const size_t marker = far.find_end_marker();
    far.file.resize(marker + window + 1, 'b');
    EXPECT_EQ(parse(far.file).code, 7);
    // Starting 20 bytes into the window: 8; 21 bytes: parsed up to the check of
    // the trailing bytes' padding, which here is consistent.
    far.file.resize(marker + window - 20, 'b');
    EXPECT_EQ(parse(far.file).code, 8);
}

}  // namespace
