// Processors without the fast forms of digits_fast.h: the run-time choice
// always takes the portable code, which these forward to.
#include "digit_rows.h"
#include "digits_fast.h"
#include "digits_lanes.h"

bool digits_cpu_has_fast_forms() { return false; }

uint32_t row_mul_add_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return row_mul_add_portable(w, u, d, n);
}

uint32_t row_mul_sub_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return row_mul_sub_portable(w, u, d, n);
}

uint32_t row_mul_sub_complemented_fast(uint32_t* w, const uint32_t* not_u, uint32_t d, uint32_t n) {
  uint64_t borrow = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t product = static_cast<uint64_t>(static_cast<uint32_t>(~not_u[i])) * d + borrow;
    const uint32_t low = static_cast<uint32_t>(product);
    const uint32_t digit = w[i];
    w[i] = digit - low;
    borrow = (product >> 32) + (digit < low ? 1 : 0);
  }
  return static_cast<uint32_t>(borrow);
}

void digits_square_fast(uint32_t* w, const uint32_t* x, uint32_t n) {
  digits_square_portable(w, x, n);
}

// No lane steps here: lanes_for() is always false, so the division never
// calls them.
bool digits_cpu_has_lanes() { return false; }

void divide_steps_lanes(uint32_t*, uint32_t*, uint32_t, uint32_t, const uint32_t*, uint32_t) {
  __builtin_trap();
}

// No IFMA square here: digits_square never calls it.
bool digits_cpu_has_ifma() { return false; }

void digits_square_ifma(uint32_t* w, const uint32_t* x, uint32_t n) {
  digits_square_portable(w, x, n);
}
