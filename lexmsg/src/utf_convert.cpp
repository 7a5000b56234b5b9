// Our own UTF-8 to UTF-16 converter, with the replacement rules of the
// system's converter, and UTF-16 to UTF-8 for file names.
#include <cstdint>
#include <cstring>

#include "memory.h"
#include "utf_convert.h"

namespace lexmsg {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one character at src[*at]; an ill-formed maximal subpart yields
// U+FFFD and is consumed whole.
uint32_t decode_one(const unsigned char* src, size_t length, size_t* at) {
    const unsigned char lead = src[(*at)++];
    if (lead < 0x80) return lead;
    size_t trail;
    uint32_t value;
    unsigned char low = 0x80;  // bounds of the first continuation byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        value = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        value = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return kReplacement;
    }
    for (size_t i = 0; i < trail; ++i) {
        if (*at >= length) return kReplacement;
        const unsigned char next = src[*at];
        if (next < low || next > high) return kReplacement;
        value = (value << 6) | (next & 0x3Fu);
        ++*at;
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

}  // namespace

size_t utf8_to_utf16_own(const char* src, size_t length, lexmsg_wchar* dst, size_t capacity) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    size_t written = 0;
    size_t at = 0;
    while (at < length) {
        if (bytes[at] < 0x80) {
            if (written == capacity) return 0;
            dst[written++] = static_cast<lexmsg_wchar>(bytes[at++]);
            continue;
        }
        const uint32_t c = decode_one(bytes, length, &at);
        if (c >= 0x10000) {
            if (capacity - written < 2) return 0;
            dst[written++] = static_cast<lexmsg_wchar>(0xD800 + ((c - 0x10000) >> 10));
            dst[written++] = static_cast<lexmsg_wchar>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            if (capacity - written < 1) return 0;
            dst[written++] = static_cast<lexmsg_wchar>(c);
        }
    }
    return written;
}

namespace {

// The next scalar value of a zero-terminated UTF-16 text at *i, with *i
// moved past it; false for an unpaired surrogate.
bool next_scalar(const lexmsg_wchar* src, size_t* i, uint32_t* scalar) {
    uint32_t c = static_cast<uint16_t>(src[*i]);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
        const uint32_t next = static_cast<uint16_t>(src[*i + 1]);
        if (next < 0xDC00 || next > 0xDFFF) return false;
        c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        ++*i;
    }
    ++*i;
    *scalar = c;
    return true;
}

// Writes the UTF-8 form of c at out (when not null); returns its length.
size_t encode_utf8(uint32_t c, char* out) {
    unsigned char bytes[4];
    size_t count = 0;
    if (c < 0x80) {
        bytes[count++] = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (c >> 6));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (c >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (c >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    if (out != nullptr) std::memcpy(out, bytes, count);
    return count;
}

}  // namespace

char* utf16_to_utf8(const lexmsg_wchar* src) {
    size_t needed = 1;
    uint32_t c = 0;
    for (size_t i = 0; src[i] != 0;) {
        if (!next_scalar(src, &i, &c)) return nullptr;
        needed += encode_utf8(c, nullptr);
    }
    auto* out = static_cast<char*>(mem_alloc(needed));
    if (out == nullptr) return nullptr;
    size_t written = 0;
    for (size_t i = 0; src[i] != 0;) {
        next_scalar(src, &i, &c);
        written += encode_utf8(c, out + written);
    }
    out[written] = '\0';
    return out;
}

}  // namespace lexmsg
