// Files that differ from what was signed only where the signature does not
// reach: a block moved in front of signed bytes, free bytes inside a block,
// non-digits in hex text and letters in a script's padding are refused with
// 8; everything the signer writes still verifies.
#include "block_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "block_fixture.h"
#include "test_private_keys.h"
#include "sigverify/verify_file.h"

namespace {

using sigtest::BlockFixture;
using sigtest::bytes;
using sigtest::Outcome;
using sigverify::BlockOptions;

bytes text(const std::string& s) { return bytes(s.begin(), s.end()); }

BlockOptions options(char encoding) {
    BlockOptions o;
    o.encoding = encoding;
    return o;
}

// How a forger rebuilds a signed file's block elsewhere. The signed content
// stays the same sequence of bytes, so the signature still matches it.
struct Relocation {
    size_t at = 0;                  // the block goes in front of the signed byte here
    bytes lead;                     // its lead padding
    bytes room;                     // unsigned bytes inside the block
    bool room_before_value = true;  // after the record table, else after the value
    bytes certificate_table;        // a table right after the block, named by the directory entry
};

// `signed_file` holds `content_size` signed bytes followed by a block without
// lead padding and with one record.
bytes relocate(const bytes& signed_file, size_t content_size, char encoding, const Relocation& r) {
    BlockFixture block{
        bytes(signed_file.begin() + static_cast<std::ptrdiff_t>(content_size), signed_file.end()), 0, encoding};
    const size_t value_offset = block.record(1);
    const size_t value_size = encoding == 'T' ? 512 : 256;
    const size_t room_at = r.room_before_value ? value_offset : value_offset + value_size;
    const uint32_t end_offset = block.end_offset();
    const uint32_t grown = static_cast<uint32_t>(r.room.size());
    block.file.insert(block.file.begin() + static_cast<std::ptrdiff_t>(room_at), r.room.begin(), r.room.end());
    if (r.room_before_value) block.set_value_offset(0, static_cast<uint32_t>(value_offset) + grown);
    block.set_end_offset(end_offset + grown);
    block.set_lead_pad(static_cast<uint32_t>(r.lead.size()));
    block.set_span(block.span() + grown + static_cast<uint32_t>(r.lead.size()));

    const auto at = static_cast<std::ptrdiff_t>(r.at);
    bytes forged(signed_file.begin(), signed_file.begin() + at);
    forged.insert(forged.end(), r.lead.begin(), r.lead.end());
    forged.insert(forged.end(), block.file.begin(), block.file.end());
    if (!r.certificate_table.empty()) {
        sigtest::set_cert_entry(
            &forged, static_cast<uint32_t>(forged.size()), static_cast<uint32_t>(r.certificate_table.size()));
        forged.insert(forged.end(), r.certificate_table.begin(), r.certificate_table.end());
    }
    forged.insert(
        forged.end(), signed_file.begin() + at, signed_file.begin() + static_cast<std::ptrdiff_t>(content_size));
    return forged;
}

constexpr uint32_t kPeSize = 0x1000;
const bytes kReplacementCode(0x400, 0xCC);

bytes SignedPe(char encoding) { return sigtest::sign(sigtest::make_pe(kPeSize), options(encoding)); }

bytes signed_script(char encoding) { return sigtest::sign(sigtest::make_script(), options(encoding)); }

// A signed file changed by one of the fixture's field setters.
bytes changed_block(const bytes& content, const BlockOptions& o, const std::function<void(BlockFixture*)>& change) {
    BlockFixture f = BlockFixture::signed_block(content, o);
    change(&f);
    return f.file;
}

struct Attack {
    const char* name;
    std::function<bytes(char encoding)> forge;
};

void PrintTo(const Attack& a, std::ostream* out) { *out << a.name; }

const Attack kAttacks[] = {
    // Room laid over a section's raw data, the signed bytes following the block.
    {"pe_block_moved_over_sections",
     [](char e) {
         Relocation r;
         r.at = 0x300;
         r.room = kReplacementCode;
         return relocate(SignedPe(e), kPeSize, e, r);
     }},
    // A small block, then a certificate table holding the replacement bytes.
    {"pe_certificate_table_inside_the_file",
     [](char e) {
         Relocation r;
         r.at = 0x300;
         r.certificate_table = kReplacementCode;
         return relocate(SignedPe(e), kPeSize, e, r);
     }},
    {"script_block_at_the_front",
     [](char e) {
         const bytes script = sigtest::make_script();
         return relocate(signed_script(e), script.size(), e, Relocation{});
     }},
    {"script_block_in_the_middle",
     [](char e) {
         const bytes script = sigtest::make_script();
         Relocation r;
         r.at = text("WScript.Echo \"line 0\"\r\n").size() * 3;
         return relocate(signed_script(e), script.size(), e, r);
     }},
    // Dim x:x="<header, records and signature>":<statements>:'<trailer>
    {"script_statements_on_the_block_line",
     [](char e) {
         const bytes script = sigtest::make_script();
         Relocation r;
         r.at = script.size();
         r.lead = text("Dim x:x=\"");
         r.room = text("\":CreateObject(\"WScript.Shell\").Run \"calc\":'");
         r.room_before_value = false;
         return relocate(signed_script(e), script.size(), e, r);
     }},
    {"statements_in_free_room_only",
     [](char e) {
         const bytes script = sigtest::make_script();
         Relocation r;
         r.at = script.size();
         r.room = text("\":Run \"calc\":'");
         r.room_before_value = false;
         return relocate(signed_script(e), script.size(), e, r);
     }},
    {"text_in_reserved_header_bytes",
     [](char e) {
         return changed_block(sigtest::make_script(), options(e), [](BlockFixture* f) {
             const bytes code = text(":Run 1:'");
             const size_t reserved = f->layout().header_record_count + f->layout().u8_width;
             const auto at = f->file.begin() + static_cast<std::ptrdiff_t>(f->block_start + reserved);
             std::copy(code.begin(), code.end(), at);
         });
     }},
    {"text_in_reserved_record_bytes",
     [](char e) {
         return changed_block(sigtest::make_script(), options(e), [](BlockFixture* f) {
             const size_t reserved = f->block_start + f->record(0) + (f->hex() ? 23 : 12);
             f->file[reserved] = 'X';
         });
     }},
    {"type_tag_other_than_3",
     [](char e) {
         return changed_block(sigtest::make_pe(0x600), options(e), [](BlockFixture* f) {
             f->set(f->layout().header_span_tag, f->layout().u8_width, 4);
         });
     }},
    {"trailer_type_tag_other_than_3",
     [](char e) {
         return changed_block(sigtest::make_script(), options(e), [](BlockFixture* f) {
             f->set(f->trailer_field(f->layout().trailer_tail_pad_tag), f->layout().u8_width, 0);
         });
     }},
    {"non_signature_record_with_a_value",
     [](char e) {
         BlockOptions o = options(e);
         o.extra_records = 1;
         return changed_block(sigtest::make_script(), o, [](BlockFixture* f) { f->set_value_length(0, 8); });
     }},
    {"non_signature_record_with_an_offset",
     [](char e) {
         BlockOptions o = options(e);
         o.extra_records = 1;
         return changed_block(sigtest::make_pe(0x600), o, [](BlockFixture* f) { f->set_value_offset(0, 0x40); });
     }},
    {"record_key_selector_not_p_or_d",
     [](char e) {
         BlockOptions o = options(e);
         o.extra_records = 1;
         return changed_block(sigtest::make_script(), o, [](BlockFixture* f) { f->set_key_selector(0, '"'); });
     }},
    {"letters_in_lead_padding_of_a_script",
     [](char e) {
         BlockOptions o = options(e);
         o.lead_pad = 12;
         o.lead_text = "Run \"calc\":'";
         return sigtest::sign(sigtest::make_script(), o);
     }},
    {"letters_in_tail_padding_of_a_script",
     [](char e) {
         BlockOptions o = options(e);
         o.tail_pad = 10;
         bytes file = sigtest::sign(sigtest::make_script(), o);
         const bytes code = text("\r\nRun 1\r\n");
         std::copy(code.begin(), code.end(), file.end() - static_cast<std::ptrdiff_t>(code.size()));
         return file;
     }},
    {"non_ascii_in_padding_of_a_script",
     [](char e) {
         BlockOptions o = options(e);
         o.tail_pad = 4;
         bytes file = sigtest::sign(sigtest::make_script(), o);
         file.back() = 0xE9;
         return file;
     }},
};

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
