// Remainders by one divisor, many times over, for the exponentiation: the
// divisor is made ready once (normalised in place), and each remainder is
// taken in place, without a quotient.
#ifndef SIGVERIFY_DIGITS_REDUCE_H
#define SIGVERIFY_DIGITS_REDUCE_H

#include <cstdint>

namespace sigverify {

struct ReadyDivisor {
    const uint32_t* digits = nullptr;  // normalised: the top bit of the top digit set
    uint32_t used = 0;                 // significant digits
    uint32_t shift = 0;                // bits that v was shifted left by
};

// Normalises v (n digits) in place. Returns false and leaves v alone when v
// has fewer than two significant digits.
bool ready_divisor(ReadyDivisor& divisor, uint32_t* v, uint32_t n);

// u := u mod v over its un digits, in place, v being the divisor as it was
// before ready_divisor; the digits from the divisor's length up are zero
// afterwards.
void reduce_in_place(uint32_t* u, uint32_t un, const ReadyDivisor& divisor);

}  // namespace sigverify

#endif
