// The inner loops of the products and of the division: a row of digits
// times one digit, added to or subtracted from another row. The portable
// loops take one digit at a time; on x86-64 processors with the ADX
// extensions a faster form is chosen at run time.
#pragma once

#include <cstdint>

// w[0..n) += u[0..n) * d; returns the carry digit that belongs above w[n-1].
uint32_t row_mul_add(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);

// w[0..n) -= u[0..n) * d; returns the borrow digit to take from above w[n-1].
uint32_t row_mul_sub(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);

// The forms behind them. The fast ones take two adjacent digits at a time
// as one 64-bit word with two independent carry chains (ADX), for rows of
// up to 128 digits; they may only be called when row_cpu_has_adx() is true.
uint32_t row_mul_add_portable(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);
uint32_t row_mul_sub_portable(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);
uint32_t row_mul_add_adx(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);
uint32_t row_mul_sub_adx(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);
constexpr uint32_t row_adx_max_digits = 128;

// True on an x86-64 processor with the ADX extensions.
bool row_cpu_has_adx();

// Lets tests force the portable loops (false) or go back to the run-time
// choice (true). Not synchronised.
void row_allow_adx(bool allow);
