// Locates the signature block from the end of the file and parses its
// trailer, header and record table, in either encoding.
#include "signature_block_parser.h"

#include <cstring>

#include "crypto_alloc.h"
#include "sig_bytes.h"
#include "sig_format.h"
#include "sigverify/sig_result.h"

namespace sigverify {

namespace {

// Everything one parse may own, released in one place.
struct ParseSlots {
    uint8_t* window = nullptr;
    uint32_t window_size = 0;
    sig_record* records = nullptr;
    uint32_t record_count = 0;
};

void release_slots(ParseSlots* slots) {
    crypto_free(slots->window, slots->window_size);
    slots->window = nullptr;
    crypto_free(slots->records, slots->record_count * sizeof(sig_record));
    slots->records = nullptr;
}

bool fail(ParseSlots* slots, int* code, int value) {
    release_slots(slots);
    *code = value;
    return false;
}

bool is_line_break(uint8_t c) { return c == 0x0A || c == 0x0D; }

// Scans `length` block bytes from block start for a line break: first the
// `have` bytes already in the buffer, then further reads from the current
// file position, which lies right after them. 0 when none, else 8 or 13.
int scan_for_line_break(SigFile* file, uint8_t* buffer, uint32_t buffer_size, uint32_t have, uint64_t length) {
    uint64_t done = 0;
    uint32_t in_buffer = have;
    while (true) {
        const uint64_t take = length - done < in_buffer ? length - done : in_buffer;
        for (uint64_t i = 0; i < take; ++i) {
            if (is_line_break(buffer[i])) return kCodeMalformed;
        }
        done += take;
        if (done >= length) return 0;
        const uint64_t want64 = length - done < buffer_size ? length - done : buffer_size;
        const auto want = static_cast<uint32_t>(want64);
        const int64_t got = sig_file_read(file, buffer, want);
        if (got != static_cast<int64_t>(want)) return kCodeIoError;
        in_buffer = want;
    }
}

}  // namespace

void release_block_info(sig_block_info* info) {
    if (info == nullptr) return;
    crypto_free(info->records, info->record_count * sizeof(sig_record));
    info->records = nullptr;
    info->record_count = 0;
}

bool parse_signature_block(SigFile* file, uint32_t file_length, sig_block_info* info, int* code) {
    ParseSlots slots;
    *info = sig_block_info{};

    // 1-2. Read the search window from the end of the file.
    const uint32_t window = file_length < kSearchWindow ? file_length : kSearchWindow;
    slots.window = static_cast<uint8_t*>(crypto_calloc(window, 1));
    slots.window_size = window;
    if (slots.window == nullptr) return fail(&slots, code, kCodeNoMemory);
    if (!sig_file_seek(file, -static_cast<int64_t>(window), true)) return fail(&slots, code, kCodeIoError);
    if (sig_file_read(file, slots.window, window) != static_cast<int64_t>(window)) {
        return fail(&slots, code, kCodeIoError);
    }

    // 3. The end marker nearest the end of the file wins.
    if (window < kMarkerSize) return fail(&slots, code, kCodeNoBlock);
    uint32_t pos = window - kMarkerSize;
    while (std::memcmp(slots.window + pos, kEndMarker, kMarkerSize) != 0) {
        if (pos == 0) return fail(&slots, code, kCodeNoBlock);
        --pos;
    }
    // 4-6.
    if (pos < kMinEndMarkerPosition) return fail(&slots, code, kCodeMalformed);
    const uint32_t end_distance = window - pos;
    const char encoding = static_cast<char>(slots.window[pos - 1]);
    if (encoding != kEncodingBinary && encoding != kEncodingHexText) return fail(&slots, code, kCodeNoBlock);
    const BlockLayout& layout = layout_for(encoding);
    const bool hex = encoding == kEncodingHexText;

    // 7. Trailer fields, counted back from the end marker.
    const ByteView trailer_view{slots.window, pos};
    uint32_t end_offset = 0;
    uint32_t tail_pad = 0;
    if (!read_field(trailer_view, pos - layout.trailer_end_offset, layout.u32_width, hex, &end_offset) ||
        !read_field(trailer_view, pos - layout.trailer_tail_pad, layout.u32_width, hex, &tail_pad)) {
        return fail(&slots, code, kCodeMalformed);
    }
    const uint64_t block_distance = static_cast<uint64_t>(end_distance) + end_offset;
    // Block start would lie in front of the file: the seek there fails.
    if (block_distance > file_length) return fail(&slots, code, kCodeIoError);

    // 8-9. Read from block start; a short read is accepted.
    if (!sig_file_seek(file, -static_cast<int64_t>(block_distance), true)) return fail(&slots, code, kCodeIoError);
    std::memset(slots.window, 0, window);
    const uint32_t want = block_distance < window ? static_cast<uint32_t>(block_distance) : window;
    const int64_t got = sig_file_read(file, slots.window, want);
    if (got < 0) return fail(&slots, code, kCodeIoError);
    const auto bytes_read = static_cast<uint32_t>(got);
    if (bytes_read < kMarkerSize || std::memcmp(slots.window, kStartMarker, kMarkerSize) != 0) {
        return fail(&slots, code, kCodeNoBlock);
    }

    // 10. Header.
    const ByteView block_view{slots.window, bytes_read};
    uint32_t lead_pad = 0;
    uint32_t span = 0;
    uint32_t record_count = 0;
    if (!block_view.holds(0, layout.header_size) ||
        !read_field(block_view, layout.header_lead_pad, layout.u32_width, hex, &lead_pad) ||
        !read_field(block_view, layout.header_span, layout.u32_width, hex, &span) ||
        !read_field(block_view, layout.header_record_count, layout.u8_width, hex, &record_count)) {
        return fail(&slots, code, kCodeMalformed);
    }

    // 11. Padding lengths.
    if (lead_pad > kMaxPadding || tail_pad > kMaxPadding) return fail(&slots, code, kCodeMalformed);

    // The span must be exactly what the block and its padding occupy, and
    // that range must lie inside the file; otherwise bytes outside the block
    // could hide inside its unsigned range.
    const uint64_t occupied = static_cast<uint64_t>(lead_pad) + end_offset + kMarkerSize + tail_pad;
    if (occupied != span) return fail(&slots, code, kCodeMalformed);
    if (block_distance + lead_pad > file_length) return fail(&slots, code, kCodeMalformed);
    if (end_distance < static_cast<uint64_t>(kMarkerSize) + tail_pad) return fail(&slots, code, kCodeMalformed);

    // The record table must lie within the bytes read from block start.
    const uint64_t table_end = layout.header_size + static_cast<uint64_t>(layout.record_size) * record_count;
    if (table_end > bytes_read) return fail(&slots, code, kCodeMalformed);
    if (record_count > 0) {
        slots.records = static_cast<sig_record*>(crypto_calloc(record_count, sizeof(sig_record)));
        slots.record_count = record_count;
        if (slots.records == nullptr) return fail(&slots, code, kCodeNoMemory);
    }
    for (uint32_t i = 0; i < record_count; ++i) {
        const size_t base = layout.header_size + static_cast<size_t>(layout.record_size) * i;
        uint32_t type = 0;
        uint32_t value_offset = 0;
        uint32_t value_length = 0;
        read_field(block_view, base + layout.record_type, layout.u8_width, hex, &type);
        read_field(block_view, base + layout.record_value_offset, layout.u32_width, hex, &value_offset);
        read_field(block_view, base + layout.record_value_length, layout.u32_width, hex, &value_length);
        sig_record& record = slots.records[i];
        record.record_type = static_cast<uint8_t>(type);
        record.value_offset = value_offset;
        record.value_length = hex ? value_length / 2 : value_length;
        record.key_selector = static_cast<char>(slots.window[base + layout.record_key_selector]);
    }

    // A hex-text block lives on one line of a text file; a line break inside
    // it could carry script code behind a forged trailer and end marker.
    if (hex) {
        const int scan = scan_for_line_break(
            file, slots.window, window, bytes_read, static_cast<uint64_t>(end_offset) + kMarkerSize);
        if (scan != 0) return fail(&slots, code, scan);
    }

    info->lead_pad = lead_pad;
    info->span = span;
    info->record_count = static_cast<uint8_t>(record_count);
    info->records = slots.records;
    slots.records = nullptr;
    info->end_offset = end_offset;
    info->tail_pad = tail_pad;
    info->encoding = encoding;
    info->block_distance = static_cast<uint32_t>(block_distance);
    release_slots(&slots);
    return true;
}

}  // namespace sigverify
