// Hex-text codecs and field reads over bounded byte views (the integers
// through byte_order.h). Every read checks its field against the view's end
// before touching a byte.
#ifndef SIGVERIFY_SIG_BYTES_H
#define SIGVERIFY_SIG_BYTES_H

#include <cstddef>
#include <cstdint>

#include "byte_order.h"

namespace sigverify {

// A hex-text digit's value; any other character counts as 0.
inline uint32_t hex_digit_value(uint8_t c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    return 0;
}

inline bool is_hex_digit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// True when all `count` characters are hexadecimal digits.
inline bool is_hex_text(const uint8_t* text, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!is_hex_digit(text[i])) return false;
    }
    return true;
}

// Decodes 2 × count hex-text characters, high nibble first, into count bytes.
inline void decode_hex(const uint8_t* text, uint8_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<uint8_t>((hex_digit_value(text[2 * i]) << 4) | hex_digit_value(text[2 * i + 1]));
    }
}

// Encodes count bytes as 2 × count upper-case hex-text characters, high
// nibble first, appended to out.
template <typename Bytes>
void encode_hex(const uint8_t* bytes, size_t count, Bytes* out) {
    static const char digits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < count; ++i) {
        out->push_back(static_cast<uint8_t>(digits[bytes[i] >> 4]));
        out->push_back(static_cast<uint8_t>(digits[bytes[i] & 0xF]));
    }
}

// A read-only view that knows its end.
struct ByteView {
    const uint8_t* data;
    size_t size;

    bool holds(size_t offset, size_t width) const { return offset <= size && width <= size - offset; }
};

// Reads an unsigned field of `width` characters at `offset`: binary fields
// (width 1 or 4) little-endian, hex-text fields (width 2 or 8) as hex digits
// most significant first. False when the field does not lie in the view.
inline bool read_field(const ByteView& view, size_t offset, uint32_t width, bool hex_text, uint32_t* value) {
    if (!view.holds(offset, width)) return false;
    const uint8_t* p = view.data + offset;
    uint32_t v = 0;
    if (hex_text) {
        for (uint32_t i = 0; i < width; ++i) v = (v << 4) | hex_digit_value(p[i]);
    } else if (width == 4) {
        v = load_le32(p);
    } else {
        v = p[0];
    }
    *value = v;
    return true;
}

}  // namespace sigverify

#endif
