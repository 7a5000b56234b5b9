// The row kernels of the digit arithmetic work one digit at a time.
#include "digit_rows.h"

namespace sigverify {

// (2^32 - 1)^2 + 2 (2^32 - 1) < 2^64: product, digit and carry always fit
// in 64 bits, and the carry in one digit.
uint32_t row_mul_add(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
    uint64_t carry = 0;
    for (uint32_t i = 0; i < n; ++i) {
        carry += static_cast<uint64_t>(u[i]) * d + w[i];
        w[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    return static_cast<uint32_t>(carry);
}

// The borrow is the high digit of the product plus the borrow of the
// subtraction: at most (2^32 - 2) + 1.
uint32_t row_mul_sub(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
    uint64_t borrow = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t product = static_cast<uint64_t>(u[i]) * d + borrow;
        const uint32_t low = static_cast<uint32_t>(product);
        const uint32_t digit = w[i];
        w[i] = digit - low;
        borrow = (product >> 32) + (digit < low ? 1 : 0);
    }
    return static_cast<uint32_t>(borrow);
}

}  // namespace sigverify
