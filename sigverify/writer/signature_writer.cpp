// Builds signed messages, signature blocks and legacy trailers.
#include "sigverify/signature_writer.h"

#include <algorithm>
#include <cstring>

#include "excluded_ranges.h"
#include "legacy_trailer.h"
#include "md5.h"
#include "pe_exclusions.h"
#include "crypto_alloc.h"
#include "sig_bytes.h"
#include "sigverify/sig_file.h"
#include "sig_format.h"
#include "sigverify/sig_result.h"
#include "signature_block_parser.h"
#include "signed_content.h"

namespace sigverify {

namespace {

// Writes a field of `width` characters at `at`: binary little-endian (1 or
// 4 bytes) or hex text, most significant digit first, upper case.
void put_field(uint8_t* at, uint32_t value, uint32_t width, bool hex) {
    static const char digits[] = "0123456789ABCDEF";
    for (uint32_t i = 0; i < width; ++i) {
        at[i] = hex ? static_cast<uint8_t>(digits[(value >> (4 * (width - 1 - i))) & 0xF])
                    : static_cast<uint8_t>(value >> (8 * i));
    }
}

// A u32 field with its type tag, the tag at its own position.
void put_tagged(
    uint8_t* base, uint32_t tag_at, uint32_t field_at, uint32_t value, const BlockLayout& layout, bool hex) {
    put_field(base + tag_at, kTypeTag, layout.u8_width, hex);
    put_field(base + field_at, value, layout.u32_width, hex);
}

// Everything the payload computation may own, released in one place.
struct SignerSlots {
    SigFile* file = nullptr;  // borrowed
    excluded_range* ranges = nullptr;
    uint8_t* head = nullptr;
    sig_block_info block = {};
};

SignCheck finish(SignerSlots* slots, bool ok, std::string reason) {
    release_ranges(&slots->ranges);
    crypto_free(slots->head, kHeadDigestLimit);
    slots->head = nullptr;
    release_block_info(&slots->block);
    return SignCheck{ok, std::move(reason)};
}

}  // namespace

SignCheck compute_signing_payload(const wchar_t* path, sig_payload* payload) {
    *payload = sig_payload{};
    SigFile* file = platform_file_door().open(path);
    if (file == nullptr) return SignCheck{false, "cannot open the file"};
    SignCheck result = compute_signing_payload(file, payload);
    sig_file_close(&file);
    return result;
}

SignCheck compute_signing_payload(SigFile* file, sig_payload* payload) {
    SignerSlots slots;
    *payload = sig_payload{};
    slots.file = file;
    const int64_t length = sig_file_length(slots.file);
    if (length < 0) return finish(&slots, false, "cannot take the file's length");
    if (length == 0) return finish(&slots, false, "the file is empty");
    // Room for the block and a certificate table must remain below 4 GiB.
    if (length > INT64_C(0xFFF00000)) return finish(&slots, false, "the file is too large to sign");
    const auto file_length = static_cast<uint32_t>(length);

    uint8_t start[2] = {};
    if (sig_file_read(slots.file, start, 2) < 0) return finish(&slots, false, "cannot read the file");
    if (file_length < kDosHeaderSize && start[0] == 'M' && start[1] == 'Z') {
        return finish(&slots, false, "the file starts with \"MZ\" but is shorter than a DOS header");
    }
    PeCertTable cert{};
    bool out_of_memory = false;
    if (file_length >= kDosHeaderSize && !collect_pe_exclusions(slots.file, &slots.ranges, &cert, &out_of_memory)) {
        return finish(&slots, false, out_of_memory ? "out of memory" : "the PE headers cannot be read");
    }
    if (cert.present) {
        return finish(&slots, false, "the file already carries a certificate table; sign it before adding one");
    }
    int code = 0;
    if (parse_signature_block(slots.file, file_length, &slots.block, &code) || code != kCodeNoBlock) {
        return finish(&slots, false, "the file already carries a signature block or an end marker");
    }
    if (!ranges_are_sound(slots.ranges, file_length)) {
        return finish(&slots, false, "the PE header fields lie outside the file");
    }

    if (!compute_content_digests(slots.file, slots.ranges, payload, &code)) {
        return finish(&slots, false, "cannot read the file");
    }
    const uint32_t head_limit = file_length < kHeadDigestLimit ? file_length : kHeadDigestLimit;
    slots.head = static_cast<uint8_t*>(crypto_calloc(kHeadDigestLimit, 1));
    uint32_t head_count = 0;
    if (slots.head == nullptr ||
        !read_signed_content(slots.file, head_limit, slots.ranges, slots.head, &head_count, &code)) {
        return finish(&slots, false, "cannot read the file");
    }
    md5_digest(slots.head, head_count, payload->head_digest);
    std::memcpy(payload->magic, kMessageMagic, kMessageMagicSize);
    SignCheck result = finish(&slots, true, "");
    result.image = cert.image;
    return result;
}

void build_signed_message(const sig_payload& payload, uint8_t message[256]) {
    std::memset(message, 0, kMessageSize);
    std::memcpy(message, kMessageMagic, kMessageMagicSize);
    store_le32(message + kMessageLengthLow, payload.signed_length_low);
    store_le32(message + kMessageLengthHigh, payload.signed_length_high);
    std::memcpy(message + kMessageHeadDigest, payload.head_digest, sizeof payload.head_digest);
    std::memcpy(message + kMessageContentMd5, payload.content_md5, sizeof payload.content_md5);
    std::memcpy(message + kMessageContentSha256, payload.content_sha256, sizeof payload.content_sha256);
    std::memcpy(message + kMessageReserved1, payload.reserved1, sizeof payload.reserved1);
    std::memcpy(message + kMessageReserved2, payload.reserved2, sizeof payload.reserved2);
    // The RSA operation's trailer: the body's MD5 at the body length rounded
    // up to 16, and the body length 16 bytes before the end.
    const uint32_t digest_at = (kMessageBodySize + 15) / 16 * 16;
    md5_digest(message, kMessageBodySize, message + digest_at);
    store_le32(message + kMessageSize - 16, kMessageBodySize);
}

bool build_signature_block(const BlockOptions& options,
                           uint64_t file_length,
                           const uint8_t signature[256],
                           std::vector<uint8_t>* block) {
    const bool hex = options.encoding == kEncodingHexText;
    if ((!hex && options.encoding != kEncodingBinary) || options.lead_pad > kMaxPadding ||
        options.lead_text.size() > options.lead_pad || options.tail_pad > static_cast<int64_t>(kMaxPadding) ||
        options.extra_records >= kMaxRecords) {
        return false;
    }
    const BlockLayout& layout = layout_for(options.encoding);
    const uint32_t records = options.extra_records + 1;
    const uint32_t value_offset = layout.header_size + layout.record_size * records;
    const uint32_t value_size = hex ? 2 * kSignatureSize : kSignatureSize;
    const uint32_t end_offset = value_offset + value_size + layout.value_gap + layout.trailer_size;
    const uint64_t block_end = file_length + options.lead_pad + end_offset + kMarkerSize;
    const auto tail_pad = options.tail_pad >= 0 ? static_cast<uint32_t>(options.tail_pad)
                                                : static_cast<uint32_t>((8 - block_end % 8) % 8);
    const uint32_t span = options.lead_pad + end_offset + kMarkerSize + tail_pad;

    // Padding is blank (zero bytes, or spaces in hex text); reserved fields
    // are zero (the digit '0' in hex text). Every field goes where the
    // layout puts it.
    std::vector<uint8_t>& out = *block;
    out.assign(span, hex ? '0' : 0);
    const uint8_t padding = hex ? ' ' : 0;
    std::fill(out.data(), out.data() + options.lead_pad, padding);
    std::copy(options.lead_text.begin(), options.lead_text.end(), out.data());
    std::fill(out.data() + span - tail_pad, out.data() + span, padding);

    uint8_t* start = out.data() + options.lead_pad;
    std::memcpy(start, kStartMarker, kMarkerSize);
    put_tagged(start, layout.header_lead_pad_tag, layout.header_lead_pad, options.lead_pad, layout, hex);
    put_tagged(start, layout.header_span_tag, layout.header_span, span, layout, hex);
    put_field(start + layout.header_record_count, records, layout.u8_width, hex);

    for (uint32_t i = 0; i < records; ++i) {
        const bool signature_record = i == options.extra_records;
        uint8_t* record = start + layout.header_size + layout.record_size * i;
        put_field(record + layout.record_type, signature_record ? kSignatureRecordType : 1, layout.u8_width, hex);
        put_tagged(record,
                   layout.record_value_offset_tag,
                   layout.record_value_offset,
                   signature_record ? value_offset : 0,
                   layout,
                   hex);
        put_tagged(record,
                   layout.record_value_length_tag,
                   layout.record_value_length,
                   signature_record ? value_size : 0,
                   layout,
                   hex);
        record[layout.record_key_selector] =
            static_cast<uint8_t>(signature_record ? options.key_selector : kKeyPrimary);
    }
    if (hex) {
        std::vector<uint8_t> text;
        encode_hex(signature, kSignatureSize, &text);
        std::copy(text.begin(), text.end(), start + value_offset);
    } else {
        std::memcpy(start + value_offset, signature, kSignatureSize);
    }

    uint8_t* end_marker = start + end_offset;
    put_field(end_marker - layout.trailer_end_offset_tag, kTypeTag, layout.u8_width, hex);
    put_field(end_marker - layout.trailer_end_offset, end_offset, layout.u32_width, hex);
    put_field(end_marker - layout.trailer_tail_pad_tag, kTypeTag, layout.u8_width, hex);
    put_field(end_marker - layout.trailer_tail_pad, tail_pad, layout.u32_width, hex);
    end_marker[-1] = static_cast<uint8_t>(options.encoding);
    std::memcpy(end_marker, kEndMarker, kMarkerSize);
    return true;
}

void build_legacy_message(uint32_t total_length, const uint8_t md5[16], uint8_t message[256]) {
    std::memset(message, 0, kMessageSize);
    std::memcpy(message, kLegacyMessageTag, kLegacyMessageTagSize);
    uint8_t length[4];
    store_le32(length, total_length);
    unscramble_length(length);
    std::memcpy(message + kLegacyLength, length, sizeof length);
    std::memcpy(message + kLegacyMd5, md5, 16);
}

bool build_legacy_message_for(const uint8_t* content, size_t size, char encoding, uint8_t message[256]) {
    const size_t trailer_size = encoding == kEncodingHexText ? 2 * kSignatureSize + 1 : kSignatureSize + 1;
    if (size > UINT32_MAX - trailer_size) return false;
    uint8_t digest[16];
    md5_digest(content, static_cast<uint32_t>(size), digest);
    build_legacy_message(static_cast<uint32_t>(size + trailer_size), digest, message);
    return true;
}

void build_legacy_trailer(char encoding, const uint8_t signature[256], std::vector<uint8_t>* trailer) {
    trailer->clear();
    if (encoding == kEncodingHexText) {
        encode_hex(signature, kSignatureSize, trailer);
    } else {
        trailer->insert(trailer->end(), signature, signature + kSignatureSize);
    }
    trailer->push_back(static_cast<uint8_t>(encoding));
}

}  // namespace sigverify
