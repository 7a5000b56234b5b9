// Checks that an accepted block leaves nothing free: its place at the end of
// the file's own data, its bytes, and its padding in a text file.
#include "block_checks.h"

#include <cstring>

#include "crypto_alloc.h"
#include "sig_bytes.h"
#include "sig_format.h"
#include "sigverify/sig_result.h"

namespace sigverify {

namespace {

// The bytes from the first byte of the start marker through the last byte
// of the end marker. Each piece the format accounts for is checked and then
// blanked, so that whatever remains unblanked lay free.
class BlockBody {
public:
    BlockBody(uint8_t* data, uint32_t size, const BlockLayout& layout, bool hex)
        : data_(data), size_(size), layout_(layout), hex_(hex), blank_(hex ? '0' : 0) {}

    // A number of `width` characters at `at`; false when it does not lie in
    // the body or, in hex text, holds a character that is not a digit.
    bool take_number(uint64_t at, uint32_t width, uint32_t* value) {
        if (at > size_ || width > size_ - at) return false;
        if (hex_ && !is_hex_text(data_ + at, width)) return false;
        read_field(ByteView{data_, size_}, static_cast<size_t>(at), width, hex_, value);
        blank(at, width);
        return true;
    }
    bool take_u32(uint64_t at) {
        uint32_t ignored = 0;
        return take_number(at, layout_.u32_width, &ignored);
    }
    bool take_tag(uint64_t at) {
        uint32_t tag = 0;
        return take_number(at, layout_.u8_width, &tag) && tag == kTypeTag;
    }
    bool take_key_selector(uint64_t at) {
        if (at >= size_ || (data_[at] != kKeyPrimary && data_[at] != kKeySecondary)) return false;
        blank(at, 1);
        return true;
    }
    // For pieces already matched (markers, the encoding character) or
    // checked elsewhere (the signature value); the caller keeps them inside.
    void blank(uint64_t at, uint64_t count) { std::memset(data_ + at, blank_, static_cast<size_t>(count)); }

    bool all_blank() const {
        for (uint32_t i = 0; i < size_; ++i) {
            if (data_[i] != blank_) return false;
        }
        return true;
    }

private:
    uint8_t* data_;
    uint32_t size_;
    const BlockLayout& layout_;
    bool hex_;
    uint8_t blank_;
};

bool header_and_records_hold_fields_only(BlockBody* body,
                                         const sig_block_info& block,
                                         const BlockLayout& layout,
                                         const sig_record* used) {
    uint32_t ignored = 0;
    body->blank(0, kMarkerSize);  // matched by the parser
    if (!body->take_tag(layout.header_lead_pad_tag) || !body->take_u32(layout.header_lead_pad) ||
        !body->take_tag(layout.header_span_tag) || !body->take_u32(layout.header_span) ||
        !body->take_number(layout.header_record_count, layout.u8_width, &ignored)) {
        return false;
    }
    for (uint32_t i = 0; i < block.record_count; ++i) {
        const uint64_t base = layout.header_size + static_cast<uint64_t>(layout.record_size) * i;
        uint32_t value_offset = 0;
        uint32_t value_length = 0;
        if (!body->take_number(base + layout.record_type, layout.u8_width, &ignored) ||
            !body->take_tag(base + layout.record_value_offset_tag) ||
            !body->take_number(base + layout.record_value_offset, layout.u32_width, &value_offset) ||
            !body->take_tag(base + layout.record_value_length_tag) ||
            !body->take_number(base + layout.record_value_length, layout.u32_width, &value_length) ||
            !body->take_key_selector(base + layout.record_key_selector)) {
            return false;
        }
        // Only the record whose value the verification reads carries one.
        if (&block.records[i] != used && (value_offset != 0 || value_length != 0)) return false;
    }
    return true;
}

bool trailer_holds_fields_only(BlockBody* body, const sig_block_info& block, const BlockLayout& layout) {
    const uint64_t end_marker = block.end_offset;
    if (!body->take_u32(end_marker - layout.trailer_end_offset) ||
        !body->take_tag(end_marker - layout.trailer_end_offset_tag) ||
        !body->take_u32(end_marker - layout.trailer_tail_pad) ||
        !body->take_tag(end_marker - layout.trailer_tail_pad_tag)) {
        return false;
    }
    body->blank(end_marker - 1, 1);        // the encoding character
    body->blank(end_marker, kMarkerSize);  // the end marker
    return true;
}

bool range_holds_nothing_free(uint8_t* range, const sig_block_info& block, const sig_record* used, bool text_file) {
    const BlockLayout& layout = layout_for(block.encoding);
    const bool hex = block.encoding == kEncodingHexText;
    // The parser checked span = lead_pad + end_offset + 16 + tail_pad.
    const uint32_t body_size = block.end_offset + kMarkerSize;
    if (text_file && (!padding_is_inert(range, block.lead_pad) ||
                      !padding_is_inert(range + block.lead_pad + body_size, block.tail_pad))) {
        return false;
    }

    // Header, record table and trailer each have their own bytes.
    const uint64_t table_end = layout.header_size + static_cast<uint64_t>(layout.record_size) * block.record_count;
    if (table_end + layout.trailer_size > block.end_offset) return false;
    const uint64_t trailer_start = block.end_offset - layout.trailer_size;
    BlockBody body(range + block.lead_pad, body_size, layout, hex);
    if (!header_and_records_hold_fields_only(&body, block, layout, used) ||
        !trailer_holds_fields_only(&body, block, layout)) {
        return false;
    }
    // A value that starts inside the block lies between table and trailer.
    const uint64_t value_size = hex ? 2 * kSignatureSize : kSignatureSize;
    const uint64_t value_offset = used->value_offset;
    if (value_offset < body_size) {
        if (value_offset < table_end || value_offset + value_size > trailer_start) return false;
        body.blank(value_offset, value_size);
    }
    return body.all_blank();
}

}  // namespace

bool block_ends_the_file(uint32_t block_last, const PeCertTable& cert, uint32_t file_length) {
    const uint64_t after_block = static_cast<uint64_t>(block_last) + 1;
    if (!cert.present) return after_block == file_length;
    return cert.address == after_block && static_cast<uint64_t>(cert.address) + cert.size == file_length;
}

int check_block_bytes(
    SigFile* file, const sig_block_info& block, uint32_t block_first, const sig_record* used, bool text_file) {
    auto* range = static_cast<uint8_t*>(crypto_calloc(block.span, 1));
    if (range == nullptr) return kCodeNoMemory;
    int result = kCodeIoError;
    if (sig_file_seek(file, block_first, false) &&
        sig_file_read(file, range, block.span) == static_cast<int64_t>(block.span)) {
        result = range_holds_nothing_free(range, block, used, text_file) ? 0 : kCodeMalformed;
    }
    crypto_free(range, block.span);
    return result;
}

}  // namespace sigverify
