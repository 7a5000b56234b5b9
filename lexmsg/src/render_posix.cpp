// Renders arguments on POSIX systems: decimal forms are our own; characters
// and strings of the other width go through the C library's current locale.
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "render.h"

namespace lexmsg {
namespace {

// Writes the decimal form of value (negative when negative is set) and a
// terminator; returns the digits and sign written.
template <class Ch>
size_t write_decimal(Ch* out, uint32_t magnitude, bool negative) {
    Ch reversed[10];
    size_t n = 0;
    do {
        reversed[n++] = static_cast<Ch>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    size_t at = 0;
    if (negative) out[at++] = static_cast<Ch>('-');
    while (n > 0) out[at++] = reversed[--n];
    out[at] = 0;
    return at;
}

template <class Ch>
size_t render_number(const lexmsg_arg& arg, Ch* out) {
    const uint32_t word = arg_u32(arg);
    if (arg.tag == LEXMSG_ARG_INT || arg.tag == LEXMSG_ARG_LONG) {
        const int32_t value = static_cast<int32_t>(word);
        const uint32_t magnitude = value < 0 ? 0u - word : word;
        return write_decimal(out, magnitude, value < 0);
    }
    return write_decimal(out, word, false);
}

bool is_number(int32_t tag) {
    return tag == LEXMSG_ARG_INT || tag == LEXMSG_ARG_LONG || tag == LEXMSG_ARG_ULONG || tag == LEXMSG_ARG_UINT;
}

// Appends one UTF-16 code (a surrogate pair as one character) in the current
// locale's multibyte form; false when it cannot be converted or does not fit.
bool append_multibyte(wchar_t c, char* out, size_t room, size_t* used, std::mbstate_t* state) {
    char bytes[MB_LEN_MAX];
    const size_t n = std::wcrtomb(bytes, c, state);
    if (n == static_cast<size_t>(-1) || n > room - *used) return false;
    std::memcpy(out + *used, bytes, n);
    *used += n;
    return true;
}

// The next character of zero-terminated UTF-16 text, a pair combined.
wchar_t next_utf16(const lexmsg_wchar* text, size_t* at) {
    const uint32_t c = static_cast<uint16_t>(text[(*at)++]);
    if (c >= 0xD800 && c <= 0xDBFF) {
        const uint32_t low = static_cast<uint16_t>(text[*at]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++*at;
            return static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        }
    }
    return static_cast<wchar_t>(c);
}

// Stores a character as UTF-16 if it fits in room units; the units written.
size_t put_utf16(wchar_t c, lexmsg_wchar* out, size_t room) {
    const auto value = static_cast<uint32_t>(c);
    if (value >= 0x10000 && value <= 0x10FFFF) {
        if (room < 2) return 0;
        out[0] = static_cast<lexmsg_wchar>(0xD800 + ((value - 0x10000) >> 10));
        out[1] = static_cast<lexmsg_wchar>(0xDC00 + ((value - 0x10000) & 0x3FF));
        return 2;
    }
    if (room < 1 || value > 0xFFFF) return 0;
    out[0] = static_cast<lexmsg_wchar>(value);
    return 1;
}

// A byte of the current locale as a wide character; a byte that does not
// convert stands for itself, as in the Windows C runtime's default locale.
wchar_t widen_byte(unsigned char byte) {
    std::mbstate_t state{};
    wchar_t c = 0;
    const char in = static_cast<char>(byte);
    const size_t n = std::mbrtowc(&c, &in, 1, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) return static_cast<wchar_t>(byte);
    return c;
}

}  // namespace

size_t render_narrow(const lexmsg_arg& arg, char* out, size_t capacity) {
    if (is_number(arg.tag)) return render_number(arg, out);
    switch (arg.tag) {
        case LEXMSG_ARG_CHAR:
            out[0] = static_cast<char>(arg_u32(arg));
            out[1] = 0;
            return 1;
        case LEXMSG_ARG_WCHAR: {
            const auto c = static_cast<wchar_t>(arg_u32(arg) & 0xFFFFu);
            out[0] = 0;
            if (c == 0) return 1;
            std::mbstate_t state{};
            size_t used = 0;
            if (!append_multibyte(c, out, capacity - 1, &used, &state)) used = 0;
            out[used] = 0;
            return used;
        }
        case LEXMSG_ARG_CHARP: {
            const char* text = reinterpret_cast<const char*>(arg.payload);
            const size_t length = capacity - 1;
            std::memcpy(out, text, length);
            out[length] = 0;
            return length;
        }
        case LEXMSG_ARG_WCHARP: {
            // Cut at the first character that does not convert or fit.
            const auto* text = reinterpret_cast<const lexmsg_wchar*>(arg.payload);
            std::mbstate_t state{};
            size_t used = 0;
            for (size_t at = 0; text[at] != 0;) {
                if (!append_multibyte(next_utf16(text, &at), out, capacity - 1, &used, &state)) break;
            }
            out[used] = 0;
            return used;
        }
        default:
            out[0] = 0;
            return 0;
    }
}

size_t render_wide(const lexmsg_arg& arg, lexmsg_wchar* out, size_t capacity) {
    if (is_number(arg.tag)) return render_number(arg, out);
    switch (arg.tag) {
        case LEXMSG_ARG_CHAR: {
            const wchar_t c = widen_byte(static_cast<unsigned char>(arg_u32(arg)));
            out[0] =
                static_cast<uint32_t>(c) > 0xFFFF ? static_cast<lexmsg_wchar>(0xFFFD) : static_cast<lexmsg_wchar>(c);
            out[1] = 0;
            return 1;
        }
        case LEXMSG_ARG_WCHAR:
            out[0] = static_cast<lexmsg_wchar>(arg_u32(arg));
            out[1] = 0;
            return 1;
        case LEXMSG_ARG_CHARP: {
            // Cut at the first sequence that does not convert or fit.
            const char* text = reinterpret_cast<const char*>(arg.payload);
            const size_t length = capacity - 1;
            std::mbstate_t state{};
            size_t used = 0;
            size_t at = 0;
            while (at < length) {
                // Every locale the C library offers keeps ASCII as it is.
                if (static_cast<unsigned char>(text[at]) < 0x80 && std::mbsinit(&state) != 0) {
                    out[used++] = static_cast<lexmsg_wchar>(text[at++]);
                    continue;
                }
                wchar_t c = 0;
                const size_t n = std::mbrtowc(&c, text + at, length - at, &state);
                if (n == 0 || n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) break;
                const size_t put = put_utf16(c, out + used, capacity - 1 - used);
                if (put == 0) break;
                used += put;
                at += n;
            }
            out[used] = 0;
            return used;
        }
        case LEXMSG_ARG_WCHARP: {
            const size_t length = capacity - 1;
            std::memcpy(out, reinterpret_cast<const lexmsg_wchar*>(arg.payload), length * sizeof(lexmsg_wchar));
            out[length] = 0;
            return length;
        }
        default:
            out[0] = 0;
            return 0;
    }
}

}  // namespace lexmsg
