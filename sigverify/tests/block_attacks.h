// The table of forged files that the verification refuses with 8: blocks
// moved in front of signed bytes, free bytes inside a block, non-digits in
// hex text, letters in a script's padding. Shared by the verification's
// tests and the installer's, which hands each verdict to its install mode.
#ifndef SIGVERIFY_TESTS_BLOCK_ATTACKS_H
#define SIGVERIFY_TESTS_BLOCK_ATTACKS_H

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

#include "block_fixture.h"
#include "sig_test_support.h"
#include "sigverify/signature_writer.h"

namespace sigtest {
namespace attacks {

using sigverify::BlockOptions;

inline bytes text(const std::string& s) { return bytes(s.begin(), s.end()); }

inline BlockOptions options(char encoding) {
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
inline bytes relocate(const bytes& signed_file, size_t content_size, char encoding, const Relocation& r) {
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

inline constexpr uint32_t kPeSize = 0x1000;
inline const bytes kReplacementCode(0x400, 0xCC);

inline bytes SignedPe(char encoding) { return sigtest::sign(sigtest::make_pe(kPeSize), options(encoding)); }

inline bytes signed_script(char encoding) { return sigtest::sign(sigtest::make_script(), options(encoding)); }

// A signed file changed by one of the fixture's field setters.
inline bytes changed_block(const bytes& content,
                           const BlockOptions& o,
                           const std::function<void(BlockFixture*)>& change) {
    BlockFixture f = BlockFixture::signed_block(content, o);
    change(&f);
    return f.file;
}

struct Attack {
    const char* name;
    std::function<bytes(char encoding)> forge;
};

inline void PrintTo(const Attack& a, std::ostream* out) { *out << a.name; }

inline const Attack kAttacks[] = {
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

}  // namespace attacks
}  // namespace sigtest

#endif
