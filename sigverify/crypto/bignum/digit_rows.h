// The inner loops of the products and of the division: a row of digits
// times one digit, added to or subtracted from another row.
#ifndef SIGVERIFY_DIGIT_ROWS_H
#define SIGVERIFY_DIGIT_ROWS_H

#include <cstdint>

namespace sigverify {

// w[0..n) += u[0..n) * d; returns the carry digit that belongs above w[n-1].
uint32_t row_mul_add(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);

// w[0..n) -= u[0..n) * d; returns the borrow digit to take from above w[n-1].
uint32_t row_mul_sub(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);

}  // namespace sigverify

#endif
