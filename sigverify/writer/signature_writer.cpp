// Builds signed messages, signature blocks and legacy trailers.
#include "sigverify/signature_writer.h"

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

// Writes a field of `width` characters: binary little-endian (1 or 4 bytes)
// or hex text, most significant digit first, upper case.
void put_field(std::vector<uint8_t>* out, uint32_t value, uint32_t width, bool hex) {
    if (hex) {
        static const char digits[] = "0123456789ABCDEF";
        for (uint32_t i = width; i > 0; --i) out->push_back(static_cast<uint8_t>(digits[(value >> (4 * (i - 1))) & 0xF]));
    } else {
        for (uint32_t i = 0; i < width; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void put_tag(std::vector<uint8_t>* out, const block_layout& layout, bool hex) {
    put_field(out, kTypeTag, layout.u8_width, hex);
}

// Reserved areas: zero bytes in binary, '0' characters in hex text.
void put_reserved(std::vector<uint8_t>* out, size_t count, bool hex) {
    out->insert(out->end(), count, hex ? '0' : 0);
}

void put_bytes(std::vector<uint8_t>* out, const char* text, size_t count) {
    out->insert(out->end(), text, text + count);
}

// Everything the payload computation may own, released in one place.
struct signer_slots {
    sig_file* file = nullptr;  // borrowed
    excluded_range* ranges = nullptr;
    uint8_t* head = nullptr;
    sig_block_info block = {};
};

sign_check finish(signer_slots* slots, bool ok, std::string reason) {
    release_ranges(&slots->ranges);
    crypto_free(slots->head, kHeadDigestLimit);
    slots->head = nullptr;
    release_block_info(&slots->block);
    return sign_check{ok, std::move(reason)};
}

}  // namespace

sign_check compute_signing_payload(const wchar_t* path, sig_payload* payload) {
    *payload = sig_payload{};
    sig_file* file = platform_file_door().open(path);
    if (file == nullptr) return sign_check{false, "cannot open the file"};
    sign_check result = compute_signing_payload(file, payload);
    sig_file_close(&file);
    return result;
}

sign_check compute_signing_payload(sig_file* file, sig_payload* payload) {
    signer_slots slots;
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
    pe_cert_table cert{};
    bool out_of_memory = false;
    if (file_length >= kDosHeaderSize &&
        !collect_pe_exclusions(slots.file, &slots.ranges, &cert, &out_of_memory)) {
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
    if (slots.head == nullptr || !read_signed_content(slots.file, head_limit, slots.ranges, slots.head,
                                                       &head_count, &code)) {
        return finish(&slots, false, "cannot read the file");
    }
    md5_digest(slots.head, head_count, payload->head_digest);
    std::memcpy(payload->magic, kMessageMagic, kMessageMagicSize);
    sign_check result = finish(&slots, true, "");
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

bool build_signature_block(const block_options& options, uint64_t file_length, const uint8_t signature[256],
                           std::vector<uint8_t>* block) {
    const bool hex = options.encoding == kEncodingHexText;
    if ((!hex && options.encoding != kEncodingBinary) || options.lead_pad > kMaxPadding ||
        options.lead_text.size() > options.lead_pad || options.tail_pad > static_cast<int64_t>(kMaxPadding) ||
        options.extra_records > 254) {
        return false;
    }
    const block_layout& layout = layout_for(options.encoding);
    const uint32_t records = options.extra_records + 1;
    const uint32_t value_offset = layout.header_size + layout.record_size * records;
    const uint32_t value_size = hex ? 2 * kSignatureSize : kSignatureSize;
    const uint32_t reserved = hex ? 0 : 12;  // the binary layout keeps 12 zero bytes before the trailer
    const uint32_t end_offset = value_offset + value_size + reserved + layout.trailer_size;
    const uint64_t block_end = file_length + options.lead_pad + end_offset + kMarkerSize;
    const auto tail_pad = options.tail_pad >= 0 ? static_cast<uint32_t>(options.tail_pad)
                                                : static_cast<uint32_t>((8 - block_end % 8) % 8);
    const uint32_t span = options.lead_pad + end_offset + kMarkerSize + tail_pad;
    const uint8_t fill = hex ? ' ' : 0;

    std::vector<uint8_t>& out = *block;
    out.clear();
    put_bytes(&out, options.lead_text.data(), options.lead_text.size());
    out.insert(out.end(), options.lead_pad - options.lead_text.size(), fill);

    put_bytes(&out, kStartMarker, kMarkerSize);
    put_tag(&out, layout, hex);
    put_field(&out, options.lead_pad, layout.u32_width, hex);
    put_tag(&out, layout, hex);
    put_field(&out, span, layout.u32_width, hex);
    put_field(&out, records, layout.u8_width, hex);
    put_reserved(&out, hex ? 24 : 12, hex);

    for (uint32_t i = 0; i < records; ++i) {
        const bool signature_record = i == options.extra_records;
        put_field(&out, signature_record ? kSignatureRecordType : 1, layout.u8_width, hex);
        put_tag(&out, layout, hex);
        put_field(&out, signature_record ? value_offset : 0, layout.u32_width, hex);
        put_tag(&out, layout, hex);
        put_field(&out, signature_record ? value_size : 0, layout.u32_width, hex);
        out.push_back(static_cast<uint8_t>(signature_record ? options.key_selector : 'P'));
        put_reserved(&out, hex ? 16 : 8, hex);
    }
    if (hex) {
        encode_hex(signature, kSignatureSize, &out);
    } else {
        out.insert(out.end(), signature, signature + kSignatureSize);
    }
    put_reserved(&out, reserved, hex);

    put_field(&out, end_offset, layout.u32_width, hex);
    put_tag(&out, layout, hex);
    put_field(&out, tail_pad, layout.u32_width, hex);
    put_tag(&out, layout, hex);
    out.push_back(static_cast<uint8_t>(options.encoding));
    put_bytes(&out, kEndMarker, kMarkerSize);
    out.insert(out.end(), tail_pad, fill);
    return true;
}

void build_legacy_message(uint32_t total_length, const uint8_t md5[16], uint8_t message[256]) {
    std::memset(message, 0, kMessageSize);
    static const char tag[] = "ZRLEGACY";
    std::memcpy(message, tag, sizeof tag - 1);
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
