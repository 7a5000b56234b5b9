// A file with a signature block and helpers to rewrite the block's fields
// in place, in either encoding.
#ifndef SIGVERIFY_TESTS_BLOCK_FIXTURE_H
#define SIGVERIFY_TESTS_BLOCK_FIXTURE_H

#include <algorithm>
#include <cstdint>
#include <string>

#include "sig_format.h"
#include "sig_test_support.h"

namespace sigtest {

struct BlockFixture {
    bytes file;
    size_t block_start = 0;  // file offset of the start marker
    char encoding = 'B';

    // content + a block with a constant signature value (for the parser).
    static BlockFixture unsigned_block(const bytes& content, const sigverify::BlockOptions& options) {
        uint8_t signature[256];
        for (int i = 0; i < 256; ++i) signature[i] = static_cast<uint8_t>(i);
        return from_signature(content, options, signature);
    }

    // content + a block signed by the development key.
    static BlockFixture signed_block(const bytes& content, const sigverify::BlockOptions& options) {
        BlockFixture f;
        f.file = sign(content, options);
        f.block_start = content.size() + options.lead_pad;
        f.encoding = options.encoding;
        return f;
    }

    static BlockFixture from_signature(const bytes& content,
                                       const sigverify::BlockOptions& options,
                                       const uint8_t signature[256]) {
        BlockFixture f;
        bytes block;
        sigverify::build_signature_block(options, content.size(), signature, &block);
        f.file = content;
        f.file.insert(f.file.end(), block.begin(), block.end());
        f.block_start = content.size() + options.lead_pad;
        f.encoding = options.encoding;
        return f;
    }

    const sigverify::BlockLayout& layout() const { return sigverify::layout_for(encoding); }
    bool hex() const { return encoding == 'T'; }

    uint32_t get(size_t offset, uint32_t width) const {
        uint32_t v = 0;
        for (uint32_t i = 0; i < width; ++i) {
            if (hex()) {
                const uint8_t c = file[block_start + offset + i];
                v = (v << 4) | static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
            } else {
                v |= static_cast<uint32_t>(file[block_start + offset + i]) << (8 * i);
            }
        }
        return v;
    }

    void set(size_t offset, uint32_t width, uint32_t value) {
        for (uint32_t i = 0; i < width; ++i) {
            uint8_t& b = file[block_start + offset + i];
            if (hex()) {
                b = static_cast<uint8_t>("0123456789ABCDEF"[(value >> (4 * (width - 1 - i))) & 0xF]);
            } else {
                b = static_cast<uint8_t>(value >> (8 * i));
            }
        }
    }

    uint32_t u32() const { return layout().u32_width; }
    uint32_t end_offset() const {
        // The trailer's end_offset sits right in front of the tag in front of tail_pad.
        const size_t marker = find_end_marker();
        return get(marker - block_start - layout().trailer_end_offset, u32());
    }
    size_t find_end_marker() const {
        const std::string marker(sigverify::kEndMarker);
        for (size_t p = file.size() - 16 + 1; p-- > 0;) {
            if (std::equal(marker.begin(), marker.end(), file.begin() + static_cast<std::ptrdiff_t>(p))) return p;
        }
        return 0;
    }
    size_t end_marker() const { return block_start + end_offset(); }

    uint32_t lead_pad() const { return get(layout().header_lead_pad, u32()); }
    void set_lead_pad(uint32_t v) { set(layout().header_lead_pad, u32(), v); }
    uint32_t span() const { return get(layout().header_span, u32()); }
    void set_span(uint32_t v) { set(layout().header_span, u32(), v); }
    void set_record_count(uint32_t v) { set(layout().header_record_count, layout().u8_width, v); }
    size_t record(uint32_t i) const { return layout().header_size + static_cast<size_t>(layout().record_size) * i; }
    void set_record_type(uint32_t i, uint32_t v) { set(record(i) + layout().record_type, layout().u8_width, v); }
    void set_value_offset(uint32_t i, uint32_t v) { set(record(i) + layout().record_value_offset, u32(), v); }
    void set_value_length(uint32_t i, uint32_t v) { set(record(i) + layout().record_value_length, u32(), v); }
    void set_key_selector(uint32_t i, char c) {
        file[block_start + record(i) + layout().record_key_selector] = static_cast<uint8_t>(c);
    }
    size_t trailer_field(uint32_t back) const { return find_end_marker() - back - block_start; }
    uint32_t tail_pad() const { return get(trailer_field(layout().trailer_tail_pad), u32()); }
    void set_tail_pad(uint32_t v) { set(trailer_field(layout().trailer_tail_pad), u32(), v); }
    void set_end_offset(uint32_t v) { set(trailer_field(layout().trailer_end_offset), u32(), v); }
    void set_encoding(char c) { file[find_end_marker() - 1] = static_cast<uint8_t>(c); }
};

}  // namespace sigtest

#endif
