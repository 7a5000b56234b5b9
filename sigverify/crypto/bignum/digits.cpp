// Implements the digit-array layer: addition, comparison, copies, clearing,
// shifts and the conversions from and to big-endian byte strings.
#include "digits.h"

namespace sigverify {

uint32_t digits_add(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
    uint64_t carry = 0;
    for (uint32_t i = 0; i < n; ++i) {
        carry += static_cast<uint64_t>(u[i]) + v[i];
        w[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    return static_cast<uint32_t>(carry);
}

int digits_compare(const uint32_t* u, const uint32_t* v, uint32_t n) {
    for (uint32_t i = n; i-- > 0;) {
        if (u[i] != v[i]) return u[i] > v[i] ? 1 : -1;
    }
    return 0;
}

uint32_t digits_used(const uint32_t* u, uint32_t n) {
    while (n > 0 && u[n - 1] == 0) --n;
    return n;
}

uint32_t digits_bit_length(const uint32_t* u, uint32_t n) {
    if (u == nullptr) return 0;
    const uint32_t used = digits_used(u, n);
    if (used == 0) return 0;
    uint32_t bits = 32 * used;
    for (uint32_t top = u[used - 1]; (top & 0x80000000u) == 0; top <<= 1) --bits;
    return bits;
}

void digits_copy(uint32_t* w, const uint32_t* u, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) w[i] = u[i];
}

void digits_clear(uint32_t* w, uint32_t n) {
    volatile uint32_t* target = w;
    for (uint32_t i = n; i-- > 0;) target[i] = 0;
    // Reading the array back through the volatile view keeps the stores alive
    // even where the compiler proves that the array is freed next.
    uint32_t check = 0;
    for (uint32_t i = 0; i < n; ++i) check |= target[i];
    static_cast<void>(check);
}

void digits_set_word(uint32_t* w, uint32_t d, uint32_t n) {
    if (n == 0) return;
    w[0] = d;
    for (uint32_t i = 1; i < n; ++i) w[i] = 0;
}

uint32_t digits_shift_left(uint32_t* w, const uint32_t* u, uint32_t s, uint32_t n) {
    const uint32_t whole = s / 32;
    const uint32_t bits = s % 32;
    if (whole >= n) {
        for (uint32_t i = 0; i < n; ++i) w[i] = 0;
        return 0;
    }
    // From the top down, so that w may be u.
    uint32_t out = 0;
    if (whole == 0 && bits != 0) out = u[n - 1] >> (32 - bits);
    for (uint32_t i = n; i-- > whole;) {
        const uint32_t low = i - whole;
        uint32_t digit = u[low];
        if (bits != 0) {
            digit <<= bits;
            if (low > 0) digit |= u[low - 1] >> (32 - bits);
        }
        w[i] = digit;
    }
    for (uint32_t i = 0; i < whole; ++i) w[i] = 0;
    return out;
}

uint32_t digits_shift_right(uint32_t* w, const uint32_t* u, uint32_t s, uint32_t n) {
    const uint32_t whole = s / 32;
    const uint32_t bits = s % 32;
    if (whole >= n) {
        for (uint32_t i = 0; i < n; ++i) w[i] = 0;
        return 0;
    }
    // From the bottom up, so that w may be u.
    uint32_t out = 0;
    if (whole == 0 && bits != 0) out = u[0] << (32 - bits);
    for (uint32_t i = 0; i + whole < n; ++i) {
        const uint32_t high = i + whole;
        uint32_t digit = u[high];
        if (bits != 0) {
            digit >>= bits;
            if (high + 1 < n) digit |= u[high + 1] << (32 - bits);
        }
        w[i] = digit;
    }
    for (uint32_t i = n - whole; i < n; ++i) w[i] = 0;
    return out;
}

uint32_t digits_from_bytes(uint32_t* w, uint32_t n, const uint8_t* bytes, uint32_t len) {
    for (uint32_t i = 0; i < n; ++i) w[i] = 0;
    uint32_t filled = 0;
    uint32_t at = len;  // bytes not yet taken, counted from the front
    while (at > 0 && filled < n) {
        uint32_t digit = 0;
        for (uint32_t shift = 0; shift < 32 && at > 0; shift += 8) {
            digit |= static_cast<uint32_t>(bytes[--at]) << shift;
        }
        w[filled++] = digit;
    }
    return filled;
}

uint32_t digits_to_bytes(const uint32_t* u, uint32_t n, uint8_t* bytes, uint32_t len) {
    uint32_t at = len;  // positions not yet written, counted from the front
    for (uint32_t i = 0; i < n && at > 0; ++i) {
        for (uint32_t shift = 0; shift < 32 && at > 0; shift += 8) {
            bytes[--at] = static_cast<uint8_t>(u[i] >> shift);
        }
    }
    while (at > 0) bytes[--at] = 0;
    return (digits_bit_length(u, n) + 7) / 8;
}

}  // namespace sigverify
