// Fast forms of the digit arithmetic's inner loops for x86-64 processors
// with BMI2, ADX and AVX2, chosen at run time; the portable code stays the
// fallback (and the only code of 32-bit builds). Digits stay 32-bit and the
// multipliers are single digits; the fast forms only take several digits
// at a time.
#pragma once

#include <cstdint>

// The longest rows and squares the fast forms take.
constexpr uint32_t fast_max_digits = 128;

// True on an x86-64 processor with BMI2, ADX and AVX2 (and the operating
// system saving the 256-bit registers).
bool digits_cpu_has_fast_forms();

// Lets tests force the portable code (false) or go back to the run-time
// choice (true). Not synchronised.
void digits_allow_fast_forms(bool allow);

// True when the fast forms are present and allowed.
bool digits_use_fast_forms();

// Same contracts as row_mul_add and row_mul_sub (digit_rows.h), for rows of
// up to fast_max_digits digits; only when digits_cpu_has_fast_forms().
uint32_t row_mul_add_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);
uint32_t row_mul_sub_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n);

// row_mul_sub with the row given complemented: w[0..n) -= u[0..n) * d where
// not_u[i] = ~u[i]. A caller that subtracts one row many times (the long
// division's divisor) complements it once, and the rows take it as it is.
uint32_t row_mul_sub_complemented_fast(uint32_t* w, const uint32_t* not_u, uint32_t d, uint32_t n);

// Same contract as digits_square, for up to fast_max_digits digits; only
// when digits_cpu_has_fast_forms(). digits_square takes it or the portable
// form.
void digits_square_fast(uint32_t* w, const uint32_t* x, uint32_t n);
void digits_square_portable(uint32_t* w, const uint32_t* x, uint32_t n);

// True on an x86-64 processor with AVX512F, AVX512VL and AVX512IFMA (and the
// operating system saving the opmask and 512-bit registers); false elsewhere.
bool digits_cpu_has_ifma();

// Lets tests set the IFMA square aside (false), so that digits_square takes
// the form of digits_cpu_has_fast_forms() even where IFMA is present, or go
// back to the run-time choice (true). digits_allow_fast_forms(false) sets it
// aside as well. Not synchronised.
void digits_allow_ifma(bool allow);

// Same contract as digits_square, for up to fast_max_digits digits; only
// when digits_cpu_has_ifma().
void digits_square_ifma(uint32_t* w, const uint32_t* x, uint32_t n);
