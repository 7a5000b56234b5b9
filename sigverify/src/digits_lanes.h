// The long division's steps with the dividend held in 64-bit lanes whose
// carries are settled only where the estimates need them: for x86-64
// processors with AVX-512F, chosen at run time (digits_divide takes them or
// the rows of digit_rows.h and digits_fast.h).
#pragma once

#include <cstdint>

#include "digits_fast.h"

// The longest dividends (t not counted) the lane steps take.
constexpr uint32_t lanes_max_digits = 2 * fast_max_digits;

// True on an x86-64 processor with AVX-512F (and the operating system
// saving the opmask and 512-bit registers); false elsewhere.
bool digits_cpu_has_lanes();

// Lets tests set the lane steps aside (false), so that the division takes
// the fast rows even where the lanes are present, or go back to the
// run-time choice (true). digits_allow_fast_forms(false) sets them aside as
// well. Not synchronised.
void digits_allow_lanes(bool allow);

// True when the lane steps take a division by a normalised divisor of vs
// digits whose dividend has m + vs digits below its extra top digit.
bool lanes_for(uint32_t m, uint32_t vs);

// The steps j = m down to 0 of the long division of t:r[0..m+vs) by the
// normalised divisor v of vs digits (16 <= vs <= fast_max_digits,
// m + vs <= lanes_max_digits): q (when not null) receives the quotient
// digits 0..m and r[0..vs) the remainder; r's digits from vs up are left
// undefined. Only when lanes_for(m, vs).
void divide_steps_lanes(uint32_t* q, uint32_t* r, uint32_t t, uint32_t m, const uint32_t* v,
                        uint32_t vs);
