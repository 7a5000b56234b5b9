// The quotient digit estimate of the long division: a two-by-one digit
// division through the divisor's reciprocal, lowered by the test with the
// divisor's second digit.
#pragma once

#include <cstdint>

#include "digits.h"

// Division of a two-digit number by a normalised digit d through its
// reciprocal (Moller and Granlund, "Improved division by invariant integers",
// Algorithm 4): exact, and without a hardware division per quotient digit.
struct DigitReciprocal {
  uint32_t d;
  uint32_t inverse;  // floor((2^64 - 1) / d) - 2^32

  explicit DigitReciprocal(uint32_t divisor)
      : d(divisor), inverse(static_cast<uint32_t>(~uint64_t{0} / divisor - (uint64_t{1} << 32))) {}

  // q := hi:lo div d, r := hi:lo mod d; hi MUST be below d.
  void divide(uint32_t hi, uint32_t lo, uint32_t& q, uint32_t& r) const {
    const uint64_t estimate =
        static_cast<uint64_t>(inverse) * hi + (static_cast<uint64_t>(hi) << 32 | lo);
    uint32_t q1 = static_cast<uint32_t>(estimate >> 32) + 1;
    const uint32_t q0 = static_cast<uint32_t>(estimate);
    uint32_t remainder = lo - q1 * d;
    // A condition the processor cannot foresee: a mask, not a branch.
    const uint32_t over = 0u - (remainder > q0 ? 1u : 0u);
    q1 += over;
    remainder += d & over;
    if (__builtin_expect(remainder >= d, 0)) {
      ++q1;
      remainder -= d;
    }
    q = q1;
    r = remainder;
  }
};

// The quotient digit estimate of one step: t:a1 div v1, lowered while it
// times v2 exceeds the remainder joined with a2. It is at most one too large.
struct DigitEstimate {
  DigitReciprocal top;
  uint32_t v1;
  uint32_t v2;

  DigitEstimate(uint32_t first, uint32_t second) : top(first), v1(first), v2(second) {}

  // Without branches on the digits (but for t = v1, which is rare), so
  // that the processor need not guess their outcome.
  uint32_t operator()(uint32_t t, uint32_t a1, uint32_t a2) const {
    if (__builtin_expect(t >= v1, 0)) return from_word_div(t, a1, a2);
    uint32_t qhat = 0;
    uint32_t rhat = 0;
    top.divide(t, a1, qhat, rhat);
    // The estimate is at most two too large; the test with the second digit
    // leaves it at most one too large, which the add-back corrects. After
    // one decrement the test stops when rhat + v1 overflows.
    // The product for the second test is the first less v2.
    uint64_t remainder = rhat;
    uint64_t product = static_cast<uint64_t>(qhat) * v2;
    uint32_t lower = product > (remainder << 32 | a2) ? 1 : 0;
    qhat -= lower;
    remainder += v1 & (0u - lower);
    product -= v2 & (0u - lower);
    lower = ((remainder >> 32) == 0 ? 1u : 0u) & (product > (remainder << 32 | a2) ? 1u : 0u);
    return qhat - lower;
  }

  // The same estimate for t >= v1, through word_div.
  uint32_t from_word_div(uint32_t t, uint32_t a1, uint32_t a2) const {
    uint32_t qhat = 0;
    uint32_t rhat = 0;
    bool test = true;
    if (word_div(&qhat, &rhat, t, a1, v1) == 1) {
      // t = v1: the estimate is b - 1 with remainder a1 + v1.
      qhat = 0xFFFFFFFFu;
      const uint64_t sum = static_cast<uint64_t>(a1) + v1;
      rhat = static_cast<uint32_t>(sum);
      test = (sum >> 32) == 0;
    }
    while (test && qhat != 0 &&
           static_cast<uint64_t>(qhat) * v2 > (static_cast<uint64_t>(rhat) << 32 | a2)) {
      --qhat;
      const uint64_t sum = static_cast<uint64_t>(rhat) + v1;
      rhat = static_cast<uint32_t>(sum);
      test = (sum >> 32) == 0;
    }
    return qhat;
  }
};
