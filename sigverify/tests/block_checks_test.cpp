// Files that differ from what was signed only where the signature does not
// reach: a block moved in front of signed bytes, free bytes inside a block,
// non-digits in hex text and letters in a script's padding are refused with
// 8; everything the signer writes still verifies.
#include "block_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "block_attacks.h"
#include "block_fixture.h"
#include "test_private_keys.h"
#include "sigverify/verify_file.h"

namespace {

using sigtest::BlockFixture;
using sigtest::bytes;
using sigtest::Outcome;
using sigverify::BlockOptions;

using namespace sigtest::attacks;  // the forged files, kAttacks and their helpers

class BlockAttack : public ::testing::TestWithParam<std::tuple<Attack, char>> {};

TEST_P(BlockAttack, IsRefused) {
    const Attack& a = std::get<0>(GetParam());
    const char encoding = std::get<1>(GetParam());
    const bytes forged = a.forge(encoding);
    for (uint32_t mode : {0u, 2u}) {
        const Outcome o = sigtest::verify_bytes(forged, mode);
        EXPECT_EQ(o, (Outcome{false, 8})) << "mode " << mode << ": " << sigtest::describe(o);
    }
}

INSTANTIATE_TEST_SUITE_P(BothEncodings,
                         BlockAttack,
                         ::testing::Combine(::testing::ValuesIn(kAttacks), ::testing::Values('B', 'T')),
                         [](const auto& param_info) {
                             return std::string(std::get<0>(param_info.param).name) + "_" +
                                    std::get<1>(param_info.param);
                         });

// A hex-text reader takes a non-digit as 0: a character put in place of a
// digit 0 changes nothing the parser reads, so only the digit rule refuses it.
TEST(BlockAttack, NonDigitInPlaceOfAHexZero) {
    const bytes script = sigtest::make_script();
    BlockOptions o = options('T');
    o.extra_records = 1;
    const BlockFixture f = BlockFixture::signed_block(script, o);
    const auto& layout = f.layout();
    struct Place {
        const char* name;
        size_t at;  // from block start; must hold a '0'
    };
    const Place places[] = {
        {"lead_pad", layout.header_lead_pad},
        {"span", layout.header_span},
        {"record_count", layout.header_record_count},
        {"reserved", layout.header_size - 1},
        {"record_type", f.record(0) + layout.record_type},
        {"value_offset", f.record(1) + layout.record_value_offset},
        {"value_length", f.record(1) + layout.record_value_length},
        {"tail_pad", f.trailer_field(layout.trailer_tail_pad)},
        {"end_offset", f.trailer_field(layout.trailer_end_offset)},
    };
    for (const Place& p : places) {
        bytes forged = f.file;
        uint8_t& c = forged.at(f.block_start + p.at);
        ASSERT_EQ(c, '0') << p.name;
        c = ':';
        EXPECT_EQ(sigtest::verify_bytes(forged), (Outcome{false, 8})) << p.name;
    }
    // The same in the signature value, wherever a digit 0 is.
    bytes forged = f.file;
    const size_t value = f.block_start + f.record(2);
    const auto zero = std::find(forged.begin() + static_cast<std::ptrdiff_t>(value),
                                forged.begin() + static_cast<std::ptrdiff_t>(value + 512),
                                '0');
    ASSERT_NE(zero, forged.begin() + static_cast<std::ptrdiff_t>(value + 512));
    *zero = '"';
    for (uint32_t mode : {0u, 2u}) EXPECT_EQ(sigtest::verify_bytes(forged, mode), (Outcome{false, 8}));
}

// s + n opens to the same message as s, so a value at or above the modulus
// would give the block a second form: only the one below it counts.
TEST(BlockAttack, SignaturePlusTheModulus) {
    for (char encoding : {'B', 'T'}) {
        bool shown = false;
        for (size_t lines = 1; lines < 40 && !shown; ++lines) {
            const BlockFixture f = BlockFixture::signed_block(sigtest::make_script(lines), options(encoding));
            const size_t value = f.block_start + f.record(1);
            uint8_t number[256];
            for (size_t i = 0; i < 256; ++i) {
                number[i] = f.hex() ? static_cast<uint8_t>(f.get(f.record(1) + 2 * i, 2)) : f.file[value + i];
            }
            if (!sigtest::add_modulus(number, test_primary_key.modulus)) continue;  // s + n needs 257 bytes
            BlockFixture forged = f;
            for (size_t i = 0; i < 256; ++i) {
                if (f.hex()) {
                    forged.set(f.record(1) + 2 * i, 2, number[i]);
                } else {
                    forged.file[value + i] = number[i];
                }
            }
            for (uint32_t mode : {0u, 2u}) {
                EXPECT_EQ(sigtest::verify_bytes(forged.file, mode), (Outcome{false, 8}))
                    << encoding << " mode " << mode;
            }
            shown = true;
        }
        EXPECT_TRUE(shown) << encoding << ": no content whose s + n fits";
    }
}

// A file changed after its certificate table keeps code 9: the placement is
// judged only once the content matched.
TEST(BlockAttack, ContentAfterTheCertificateTableStaysMismatch) {
    for (char encoding : {'B', 'T'}) {
        bytes file = SignedPe(encoding);
        sigtest::set_cert_entry(&file, static_cast<uint32_t>(file.size()), 64);
        file.resize(file.size() + 64, 0x30);
        ASSERT_EQ(sigtest::verify_bytes(file), (Outcome{true, 3})) << encoding;
        file.push_back(0);
        EXPECT_EQ(sigtest::verify_bytes(file), (Outcome{false, 9})) << encoding;
    }
}

// What the signer writes: both encodings and keys, paddings from 0 to 32,
// lead text, extra records, scripts and PE32/PE32+ images with and without a
// certificate table added afterwards.
TEST(BlockChecks, EverySigningOptionStillVerifies) {
    enum class Kind { script, pe32, pe32_plus };
    for (Kind k : {Kind::script, Kind::pe32, Kind::pe32_plus}) {
        const bytes content =
            k == Kind::script ? sigtest::make_script() : sigtest::make_pe(0x800, 0x80, k == Kind::pe32);
        for (char encoding : {'B', 'T'}) {
            for (char key : {'P', 'D'}) {
                for (uint32_t lead : {0u, 1u, 32u}) {
                    for (int64_t tail : {int64_t{-1}, int64_t{0}, int64_t{32}}) {
                        for (uint32_t extra : {0u, 3u}) {
                            BlockOptions o;
                            o.encoding = encoding;
                            o.key_selector = key;
                            o.lead_pad = lead;
                            o.tail_pad = tail;
                            o.extra_records = extra;
                            // A comment mark for a script; anything at all in a PE image's padding.
                            if (lead > 0) o.lead_text = k == Kind::script ? "'" : "Any text";
                            if (o.lead_text.size() > lead) o.lead_text.resize(lead);
                            const Outcome want = key == 'P' ? Outcome{true, 3} : Outcome{false, 11};
                            bytes file = sigtest::sign(content, o);
                            const std::string name = std::string(1, encoding) + key + " lead " + std::to_string(lead) +
                                                     " tail " + std::to_string(tail) + " extra " +
                                                     std::to_string(extra) + " kind " +
                                                     std::to_string(static_cast<int>(k));
                            for (uint32_t mode : {0u, 2u}) {
                                EXPECT_EQ(sigtest::verify_bytes(file, mode), want) << name << " mode " << mode;
                            }
                            if (k == Kind::script) continue;
                            sigtest::set_cert_entry(&file, static_cast<uint32_t>(file.size()), 0x40);
                            file.resize(file.size() + 0x40, 0x5A);
                            EXPECT_EQ(sigtest::verify_bytes(file), want) << name << " with a certificate table";
                        }
                    }
                }
            }
        }
    }
}

TEST(BlockChecks, PlacementAtTheEndOfTheFile) {
    sigverify::PeCertTable none{false, 0, 0, true};
    EXPECT_TRUE(sigverify::block_ends_the_file(99, none, 100));
    EXPECT_FALSE(sigverify::block_ends_the_file(98, none, 100));
    const sigverify::PeCertTable table{true, 100, 28, true};
    EXPECT_TRUE(sigverify::block_ends_the_file(99, table, 128));
    EXPECT_FALSE(sigverify::block_ends_the_file(99, table, 129));  // bytes after the table
    EXPECT_FALSE(sigverify::block_ends_the_file(98, table, 128));  // a byte between block and table
    EXPECT_FALSE(sigverify::block_ends_the_file(0xFFFFFFFF, none, 0xFFFFFFFF));
}

}  // namespace
