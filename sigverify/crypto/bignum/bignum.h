// BigNum: a heap object owning a digit array (see digits.h) and its count of
// significant digits; the operations the RSA public-key step needs.
#ifndef SIGVERIFY_BIGNUM_H
#define SIGVERIFY_BIGNUM_H

#include <cstdint>

namespace sigverify {

struct BigNum {
    uint32_t* digits;   // owned; every digit from used up to capacity is zero
    uint32_t used;      // significant digits, 0 for zero
    uint32_t capacity;  // digits allocated, at least 1
};

// A new zero BigNum (capacity 1, used 0), or null when memory runs out.
BigNum* bignum_new();

// Wipes all capacity digits, releases the array and the object and sets
// *number to null. Accepts a null pointer and a pointer to null.
void bignum_free(BigNum** number);

// Prepares number for a calculation over size digits: when size < used the
// digits from size up are cleared and used := size; otherwise the capacity
// grows to at least size. Returns 0, or 1 when memory runs out, in which case
// the number keeps its digits, used count and capacity.
int bignum_reserve(BigNum* number, uint32_t size);

// Loads the big-endian string of len bytes. Returns the digits filled, 0 when
// memory ran out (the number is then unchanged).
uint32_t bignum_from_bytes(BigNum* number, const uint8_t* bytes, uint32_t len);

// Returns the significant byte count of the value (0 for zero); when bytes is
// not null and len is not 0 also writes the value into exactly len bytes,
// big-endian, high-order bytes that do not fit dropped.
uint32_t bignum_to_bytes(const BigNum* number, uint8_t* bytes, uint32_t len);

// y := x^e mod m. y, x, e and m are first grown to their largest used count.
// Returns 0 on success, 1 when memory ran out (y keeps its value) and -1 when
// all three operands are zero.
int bignum_mod_exp(BigNum* y, BigNum* x, BigNum* e, BigNum* m);

}  // namespace sigverify

#endif
