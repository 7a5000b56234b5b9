// The digit-array layer of the multiple-precision arithmetic: free functions
// over plain arrays of unsigned 32-bit digits, least significant digit first.
//
// The caller passes the digit count n beside every array and owns all arrays.
// Digits above the significant ones are zero; a number is zero when all its
// n digits are. Outputs (w, q, r, y) are written, inputs (u, v, x, e, m) only
// read, unless a function says otherwise.
#ifndef SIGVERIFY_DIGITS_H
#define SIGVERIFY_DIGITS_H

#include <cstdint>

namespace sigverify {

// w := u + v over n digits; returns the carry out (0 or 1). w may be u.
uint32_t digits_add(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);

// w := u * v, all 2n digits of w written (schoolbook method; zero digits of v
// are skipped). w MUST NOT overlap u or v.
void digits_mul(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);

// w := x * x, all 2n digits of w written; every cross product is computed
// once and doubled. w MUST NOT overlap x.
void digits_square(uint32_t* w, const uint32_t* x, uint32_t n);

// w := w - qd * v over n digits, top being the digit above w[n-1]; returns
// top minus the final borrow (non-zero when the difference went negative).
// With qd = 0 it returns top and changes nothing.
uint32_t digits_mul_sub(uint32_t top, uint32_t* w, const uint32_t* v, uint32_t qd, uint32_t n);

// 1 when u > v, -1 when u < v, 0 when equal or n = 0.
int digits_compare(const uint32_t* u, const uint32_t* v, uint32_t n);

// Index of the highest non-zero digit plus one; 0 for zero or n = 0.
uint32_t digits_used(const uint32_t* u, uint32_t n);

// Number of significant bits; 0 for zero, n = 0 or a null array.
uint32_t digits_bit_length(const uint32_t* u, uint32_t n);

// w := u over n digits.
void digits_copy(uint32_t* w, const uint32_t* u, uint32_t n);

// Sets all n digits to zero, top digit first; the stores survive optimisation
// (volatile stores, read back afterwards), so it is fit to wipe secrets.
void digits_clear(uint32_t* w, uint32_t n);

// w[0] := d, all other digits zero.
void digits_set_word(uint32_t* w, uint32_t d, uint32_t n);

// w := u << s within n digits. Counts of 32 or more move whole digits first.
// For s < 32 returns the s bits shifted out of the top digit (0 for s = 0),
// otherwise 0. w may be u.
uint32_t digits_shift_left(uint32_t* w, const uint32_t* u, uint32_t s, uint32_t n);

// w := u >> s within n digits. Counts of 32 or more move whole digits first.
// For s < 32 returns the bits shifted out of digit 0, in the top s bits of the
// result, otherwise 0. w may be u.
uint32_t digits_shift_right(uint32_t* w, const uint32_t* u, uint32_t s, uint32_t n);

// q := u div d over n digits, returns u mod d. When n = 0 or d = 0 it
// returns 0 and leaves q untouched. q may be u.
uint32_t digits_div_word(uint32_t* q, const uint32_t* u, uint32_t d, uint32_t n);

// q := u div v, r := u mod v (Knuth, Algorithm 4.3.1 D). u has un digits, v has
// vn; q and r need un digits each. Returns -1 when v is zero (q and r zero),
// else 0. v is normalised in place during the call and restored before it
// returns: it MUST be writable and MUST NOT overlap q or r; q, r and u MUST be
// distinct.
int digits_divide(uint32_t* q, uint32_t* r, const uint32_t* u, uint32_t un, uint32_t* v, uint32_t vn);

// y := x^e mod m by the left-to-right binary method, with a full division
// after every product; all arrays have n digits. Sets *status to 0, or to 1
// when a work area could not be allocated (then y is not written and the
// result is 0). Returns -1 for n = 0, else 0. An exponent of 1 returns x
// unreduced; a zero exponent gives y = 1. The work areas are wiped before they
// are released. y may be x.
int digits_mod_exp(uint32_t* y, const uint32_t* x, const uint32_t* e, const uint32_t* m, uint32_t n, int* status);

// Loads the big-endian string of len bytes into n digits (all zeroed first);
// leading bytes that do not fit are ignored. Returns the digits filled.
uint32_t digits_from_bytes(uint32_t* w, uint32_t n, const uint8_t* bytes, uint32_t len);

// Stores u as a big-endian string of exactly len bytes: high-order bytes that
// do not fit are dropped, unused leading positions are zero. Returns the
// number of significant bytes of u, (bit length + 7) / 8, whatever len is.
uint32_t digits_to_bytes(const uint32_t* u, uint32_t n, uint8_t* bytes, uint32_t len);

// out := a * b as a two-digit product, low digit first.
void word_mul(uint32_t out[2], uint32_t a, uint32_t b);

// Divides the two-digit number hi:lo by d, whose top bit MUST be set:
// q := low 32 bits of the quotient, r := remainder; returns the quotient's
// bit 32 (0 or 1). When d's top bit is clear, q and r are 0 and it returns -1.
int word_div(uint32_t* q, uint32_t* r, uint32_t hi, uint32_t lo, uint32_t d);

}  // namespace sigverify

#endif
