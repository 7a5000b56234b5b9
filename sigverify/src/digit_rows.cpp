// Row kernels of the digit arithmetic: the portable loops and the run-time
// choice between them and the fast forms (digits_fast.h).
#include "digit_rows.h"

#include "digits_fast.h"

namespace {

bool fast_allowed = true;

inline bool use_fast(uint32_t n) {
  return n >= 16 && n <= fast_max_digits && digits_use_fast_forms();
}

}  // namespace

bool digits_use_fast_forms() { return fast_allowed && digits_cpu_has_fast_forms(); }

void digits_allow_fast_forms(bool allow) { fast_allowed = allow; }

// (2^32 - 1)^2 + 2 (2^32 - 1) < 2^64: product, digit and carry always fit
// in 64 bits, and the carry in one digit.
uint32_t row_mul_add_portable(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
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
uint32_t row_mul_sub_portable(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
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

uint32_t row_mul_add(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return use_fast(n) ? row_mul_add_fast(w, u, d, n) : row_mul_add_portable(w, u, d, n);
}

uint32_t row_mul_sub(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return use_fast(n) ? row_mul_sub_fast(w, u, d, n) : row_mul_sub_portable(w, u, d, n);
}
