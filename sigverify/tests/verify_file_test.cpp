// The verification entry and its result codes: the worked example, every
// code that file contents can produce in both encodings, with both keys,
// with and without a legacy trailer, in modes 0 to 3.
#include "sigverify/verify_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "block_fixture.h"
#include "sigverify/builtin_keys.h"
#include "excluded_ranges.h"
#include "legacy_trailer.h"
#include "pe_exclusions.h"
#include "heap_watch.h"
#include "sigverify/sig_file.h"
#include "signature_block_parser.h"
#include "signed_content.h"

using namespace sigverify;  // the code under test

namespace {

using sigtest::BlockFixture;
using sigtest::bytes;
using sigtest::Outcome;
using sigverify::BlockOptions;

BlockOptions options(char encoding, char key = 'P') {
    BlockOptions o;
    o.encoding = encoding;
    o.key_selector = key;
    return o;
}

TEST(VerifyFile, WorkedExamplePe32) {
    // A PE32 image of 0xCC00 bytes, signed, then given a certificate table of
    // 0x1980 bytes: 59,112 bytes in all.
    bytes file = sigtest::sign(sigtest::make_pe(0xCC00, 0x108, true));
    ASSERT_EQ(file.size(), 0xCD68u);
    sigtest::set_cert_entry(&file, 0xCD68, 0x1980);
    file.resize(59112, 0xC5);

    sigtest::TempFile f(file);
    sigverify::SigFile* handle = sigverify::platform_file_door().open(f.wide());
    ASSERT_NE(handle, nullptr);
    sigverify::excluded_range* ranges = nullptr;
    sigverify::PeCertTable cert{};
    bool oom = false;
    ASSERT_TRUE(sigverify::collect_pe_exclusions(handle, &ranges, &cert, &oom));
    EXPECT_TRUE(cert.present);
    sigverify::sig_block_info info{};
    int code = 0;
    ASSERT_TRUE(sigverify::parse_signature_block(handle, 59112, &info, &code));
    const uint32_t first = 59112 - info.block_distance - info.lead_pad;
    ASSERT_TRUE(sigverify::insert_block_range(&ranges, first, first + info.span - 1));
    std::vector<std::pair<uint32_t, uint32_t>> got;
    for (auto* r = ranges; r != nullptr; r = r->next) got.emplace_back(r->first, r->last);
    const std::vector<std::pair<uint32_t, uint32_t>> want = {
        {0x160, 0x163}, {0x1A0, 0x1A7}, {0xCC00, 0xCD67}, {0xCD68, 0xE6E7}};
    EXPECT_EQ(got, want);
    sigverify::sig_payload payload{};
    ASSERT_TRUE(sigverify::compute_content_digests(handle, ranges, &payload, &code));
    EXPECT_EQ(payload.signed_length_low, 52212u);
    sigverify::release_block_info(&info);
    sigverify::release_ranges(&ranges);
    sigverify::sig_file_close(&handle);

    EXPECT_EQ(sigtest::verify_bytes(file), (Outcome{true, 3}));
}

TEST(VerifyFile, WorkedExampleWithoutCertificateTable) {
    // A PE32+ style magic selects the second directory position.
    for (bool pe32 : {true, false}) {
        const bytes file = sigtest::sign(sigtest::make_pe(0x1000, 0x80, pe32));
        EXPECT_EQ(sigtest::verify_bytes(file), (Outcome{true, 3})) << pe32;
    }
}

// Keys, encodings, legacy trailers and modes together.
enum class Legacy { none, appended, in_certificate_table };

struct MatrixCase {
    char encoding;
    char key;
    Legacy trailer;
};

bytes build_matrix_file(const MatrixCase& c) {
    bytes file = sigtest::sign(sigtest::make_pe(0x800), options(c.encoding, c.key));
    const char legacy_encoding = c.encoding == 'B' ? 'T' : 'B';
    if (c.trailer == Legacy::appended) return sigtest::sign_legacy(file, legacy_encoding);
    if (c.trailer == Legacy::in_certificate_table) {
        // The certificate table ends the file and holds the legacy trailer
        // as its last bytes: both signatures stand.
        const uint32_t trailer = legacy_encoding == 'T' ? 513 : 257;
        const auto table = static_cast<uint32_t>(file.size());
        sigtest::set_cert_entry(&file, table, 64 + trailer);
        file.resize(file.size() + 64, 0x30);
        return sigtest::sign_legacy(file, legacy_encoding);
    }
    return file;
}

Outcome matrix_expectation(const MatrixCase& c, uint32_t mode) {
    const bool fallback = mode == 1 || mode == 2;
    switch (c.trailer) {
        case Legacy::none:
            return c.key == 'P' ? Outcome{true, 3} : Outcome{false, 11};
        case Legacy::appended:  // the trailer is content appended after the block
            return fallback ? Outcome{true, 2} : Outcome{false, 9};
        case Legacy::in_certificate_table:
            if (c.key == 'P') return Outcome{true, 3};
            return fallback ? Outcome{true, 2} : Outcome{false, 11};
    }
    return {};
}

TEST(VerifyFile, KeysEncodingsLegacyAndModes) {
    for (char encoding : {'B', 'T'}) {
        for (char key : {'P', 'D'}) {
            for (Legacy trailer : {Legacy::none, Legacy::appended, Legacy::in_certificate_table}) {
                const MatrixCase c{encoding, key, trailer};
                const bytes file = build_matrix_file(c);
                for (uint32_t mode = 0; mode <= 3; ++mode) {
                    EXPECT_EQ(sigtest::verify_bytes(file, mode), matrix_expectation(c, mode))
                        << encoding << key << " legacy " << static_cast<int>(trailer) << " mode " << mode;
                }
            }
        }
    }
}

TEST(VerifyFile, LegacyTrailerAlone) {
    for (char encoding : {'B', 'T'}) {
        const bytes file = sigtest::sign_legacy(sigtest::make_script(), encoding);
        for (uint32_t mode = 0; mode <= 3; ++mode) {
            const bool fallback = mode == 1 || mode == 2;
            EXPECT_EQ(sigtest::verify_bytes(file, mode), fallback ? (Outcome{true, 2}) : (Outcome{false, 7}))
                << encoding << " mode " << mode;
        }
    }
}

// Failure codes from file contents, for each encoding.
struct CodeCase {
    const char* name;
    std::function<void(BlockFixture*)> change;
    Outcome expected;
};

// Names the case in test listings.
void PrintTo(const CodeCase& c, std::ostream* out) { *out << c.name; }

class VerifyCode : public ::testing::TestWithParam<std::tuple<CodeCase, char>> {};

TEST_P(VerifyCode, Gives) {
    const CodeCase& c = std::get<0>(GetParam());
    const char encoding = std::get<1>(GetParam());
    BlockFixture f = BlockFixture::signed_block(sigtest::make_pe(0x600), options(encoding));
    c.change(&f);
    EXPECT_EQ(sigtest::verify_bytes(f.file), c.expected) << sigtest::describe(sigtest::verify_bytes(f.file));
}

const CodeCase kCodeCases[] = {
    {"as_signed", [](BlockFixture*) {}, {true, 3}},
    {"signature_record_second",
     [](BlockFixture* f) {
         BlockOptions o = options(f->encoding);
         o.extra_records = 1;
         *f = BlockFixture::signed_block(sigtest::make_pe(0x600), o);
     },
     {true, 3}},
    {"empty_file", [](BlockFixture* f) { f->file.clear(); }, {false, 13}},
    {"shorter_than_64_bytes",
     [](BlockFixture* f) {
         bytes small(f->file.end() - 63, f->file.end());
         f->file = small;
     },
     {false, 5}},
    {"pe_header_past_end_of_file", [](BlockFixture* f) { sigtest::store_le32(&f->file, 60, 0x7FFFFFF0); }, {false, 5}},
    {"no_block", [](BlockFixture* f) { f->file.resize(f->block_start); }, {false, 7}},
    {"encoding_character", [](BlockFixture* f) { f->set_encoding('Q'); }, {false, 7}},
    {"start_marker", [](BlockFixture* f) { f->file[f->block_start] = 'z'; }, {false, 7}},
    {"end_offset_before_file", [](BlockFixture* f) { f->set_end_offset(0x10000000); }, {false, 13}},
    {"padding_over_32",
     [](BlockFixture* f) {
         f->set_lead_pad(40);
         f->set_span(f->span() + 40);
     },
     {false, 8}},
    {"key_selector", [](BlockFixture* f) { f->set_key_selector(0, 'X'); }, {false, 8}},
    {"value_length", [](BlockFixture* f) { f->set_value_length(0, f->hex() ? 510 : 255); }, {false, 8}},
    {"signed_with_the_other_key", [](BlockFixture* f) { f->set_key_selector(0, 'D'); }, {false, 8}},
    {"signature_damaged",
     [](BlockFixture* f) {
         f->file[f->block_start + f->record(1) + 7] ^=
             static_cast<uint8_t>(f->hex() ? 0x01 : 0x40);  // inside the value
     },
     {false, 8}},
    {"content_changed", [](BlockFixture* f) { f->file[0x300] ^= 1; }, {false, 9}},
    {"no_signature_record", [](BlockFixture* f) { f->set_record_type(0, 1); }, {false, 10}},
    {"no_records", [](BlockFixture* f) { f->set_record_count(0); }, {false, 10}},
    {"secondary_key",
     [](BlockFixture* f) { *f = BlockFixture::signed_block(sigtest::make_pe(0x600), options(f->encoding, 'D')); },
     {false, 11}},
};

INSTANTIATE_TEST_SUITE_P(BothEncodings,
                         VerifyCode,
                         ::testing::Combine(::testing::ValuesIn(kCodeCases), ::testing::Values('B', 'T')),
                         [](const auto& param_info) {
                             return std::string(std::get<0>(param_info.param).name) + "_" +
                                    std::get<1>(param_info.param);
                         });

TEST(VerifyFile, ArgumentsAndMissingFiles) {
    int code = 0;
    EXPECT_FALSE(sigverify::verify_file_signature(L"no-such-file.exe", &code, 2));
    EXPECT_EQ(code, 1);
    // A directory exists but does not open as a file.
    const std::wstring folder = std::filesystem::current_path().wstring();
    EXPECT_FALSE(sigverify::verify_file_signature(folder.c_str(), &code, 2));
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(sigverify::verify_signature_block(
        sigverify::platform_file_door(), nullptr, &code, builtin_primary_modulus, 256));
    EXPECT_EQ(code, 4);
    const bytes file = sigtest::sign(sigtest::make_script());
    sigtest::TempFile f(file);
    EXPECT_FALSE(sigverify::verify_signature_block(sigverify::platform_file_door(), f.wide(), &code, nullptr, 256));
    EXPECT_EQ(code, 4);
    EXPECT_FALSE(sigverify::verify_signature_block(
        sigverify::platform_file_door(), f.wide(), &code, builtin_primary_modulus, 0));
    EXPECT_EQ(code, 4);
    EXPECT_TRUE(sigverify::verify_signature_block(
        sigverify::platform_file_door(), f.wide(), &code, builtin_primary_modulus, 256));
    EXPECT_EQ(code, 3);
    // The code may be left out; the boolean still answers.
    EXPECT_TRUE(sigverify::verify_file_signature(f.wide(), nullptr, 0));
    const bytes changed_file = [&] {
        bytes b = file;
        b[3] ^= 1;
        return b;
    }();
    sigtest::TempFile g(changed_file);
    EXPECT_FALSE(sigverify::verify_file_signature(g.wide(), nullptr, 2));
}

TEST(VerifyFile, ScriptWithBlock) {
    // A text file: the block's range is the only one.
    for (char encoding : {'B', 'T'}) {
        BlockOptions o = options(encoding);
        o.lead_pad = 2;
        o.lead_text = "' ";
        const bytes file = sigtest::sign(sigtest::make_script(), o);
        EXPECT_EQ(sigtest::verify_bytes(file), (Outcome{true, 3})) << encoding;
    }
}

// A failure in one of the flow's own buffers is code 3. The RSA operation
// reports a failed allocation as no message at all, which the flow can only
// take for a signature that does not open: code 8. Either way nothing passes.
TEST(VerifyFile, EveryAllocationFailureIsRejected) {
    for (char encoding : {'B', 'T'}) {
        bytes file = sigtest::sign(sigtest::make_pe(0x600), options(encoding));
        sigtest::set_cert_entry(&file, static_cast<uint32_t>(file.size()), 16);
        file.resize(file.size() + 16, 0);
        sigtest::TempFile f(file);
        int flow_failures = 0;
        for (long fail_at = 0;; ++fail_at) {
            HeapWatch heap;
            heap.fail_at(fail_at);
            int code = 0;
            const bool accepted = sigverify::verify_file_signature(f.wide(), &code, 0);
            // Every path releases everything, wiped.
            EXPECT_EQ(heap.live_blocks(), 0u) << encoding << " allocation " << fail_at;
            EXPECT_EQ(heap.unwiped_releases(), 0) << encoding << " allocation " << fail_at;
            if (heap.attempts() <= fail_at) {
                // Nothing failed: every allocation of the flow has had its turn.
                EXPECT_EQ((Outcome{accepted, code}), (Outcome{true, 3}));
                break;
            }
            EXPECT_FALSE(accepted) << encoding << " allocation " << fail_at;
            EXPECT_TRUE(code == 3 || code == 8) << encoding << " allocation " << fail_at << " gave " << code;
            if (code == 3) ++flow_failures;
        }
        EXPECT_GE(flow_failures, 8) << "window, records, four ranges, value, message, work, content";
    }
}

TEST(VerifyFile, LegacyAllocationFailuresDoNotVerify) {
    const bytes file = sigtest::sign_legacy(sigtest::make_script(), 'T');
    sigtest::TempFile f(file);
    for (long fail_at = 0;; ++fail_at) {
        HeapWatch heap;
        heap.fail_at(fail_at);
        const bool verified = sigverify::check_legacy_trailer(sigverify::platform_file_door(), f.wide());
        EXPECT_EQ(heap.live_blocks(), 0u) << "allocation " << fail_at;
        EXPECT_EQ(heap.unwiped_releases(), 0) << "allocation " << fail_at;
        if (heap.attempts() <= fail_at) {
            EXPECT_TRUE(verified);
            EXPECT_GE(fail_at, 2);
            break;
        }
        EXPECT_FALSE(verified) << "allocation " << fail_at;
    }
}

}  // namespace
