// Multiplies digit arrays: the word product, schoolbook multiplication,
// squaring with each cross product computed once, and multiply-subtract.
#include "digit_rows.h"
#include "digits.h"

namespace sigverify {

void word_mul(uint32_t out[2], uint32_t a, uint32_t b) {
    const uint64_t product = static_cast<uint64_t>(a) * b;
    out[0] = static_cast<uint32_t>(product);
    out[1] = static_cast<uint32_t>(product >> 32);
}

void digits_mul(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
    for (uint32_t i = 0; i < 2 * n; ++i) w[i] = 0;
    for (uint32_t j = 0; j < n; ++j) {
        // w[j + n] is still zero here, and a zero digit of v adds nothing.
        if (v[j] == 0) continue;
        w[j + n] = row_mul_add(w + j, u, v[j], n);
    }
}

void digits_square(uint32_t* w, const uint32_t* x, uint32_t n) {
    for (uint32_t i = 0; i < 2 * n; ++i) w[i] = 0;
    if (n == 0) return;
    // The cross products x[i] * x[j], i < j, once each.
    for (uint32_t i = 0; i + 1 < n; ++i) {
        if (x[i] == 0) continue;
        w[i + n] = row_mul_add(w + 2 * i + 1, x + i + 1, x[i], n - i - 1);
    }
    // Doubled, then the squares x[i]^2 added at digit 2i. The sum of the
    // doubled cross products and the squares is x^2 < 2^(64n): no carry out.
    uint32_t high_bit = 0;
    uint64_t carry = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t square = static_cast<uint64_t>(x[i]) * x[i];
        const uint32_t low = w[2 * i];
        const uint32_t high = w[2 * i + 1];
        const uint32_t low2 = low << 1 | high_bit;
        const uint32_t high2 = high << 1 | low >> 31;
        high_bit = high >> 31;
        carry += static_cast<uint64_t>(low2) + static_cast<uint32_t>(square);
        w[2 * i] = static_cast<uint32_t>(carry);
        carry >>= 32;
        carry += static_cast<uint64_t>(high2) + static_cast<uint32_t>(square >> 32);
        w[2 * i + 1] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
}

uint32_t digits_mul_sub(uint32_t top, uint32_t* w, const uint32_t* v, uint32_t qd, uint32_t n) {
    if (qd == 0) return top;
    return top - row_mul_sub(w, v, qd, n);
}

}  // namespace sigverify
