// The long division's steps with the dividend held in 64-bit lanes, one
// digit to a lane, for x86-64 processors with AVX-512F (digits_lanes.h).
//
// A step's row takes qhat * v[i] from lane j + i (its low digit) and from
// lane j + i + 1 (its high digit) and leaves the carries in the lanes, so a
// row is eight independent vector subtractions rather than one chain of
// carries. The lanes stay far from overflow: a lane starts as a digit and
// loses less than 2^33 to each of the at most 129 rows that reach it.
//
// The estimates need the exact top of the window. That is kept in scalars
// beside the lanes: the weighted sum of the lanes from the window's third
// digit up (changed by each row by a product of qhat and the divisor's top
// digits), and the carry into it from the two lanes below, which the lanes
// further down move by less than 2^-50. Where that carry is in doubt, or
// the step went negative and v must be added back, every carry is settled
// and the top read afresh.
#include <cpuid.h>
#include <immintrin.h>

#include "cpu_x86.h"
#include "digits_lanes.h"
#include "wipe.h"

namespace {

// AVX-512F, with the operating system saving the opmask and ZMM state.
bool detect_lanes() { return cpu_has(0, bit_AVX512F, xcr0_avx512_state); }

// Wraps, so that sums of signed lanes stay exact modulo 2^128.
__extension__ typedef unsigned __int128 Wide;
__extension__ typedef __int128 SignedWide;

constexpr uint32_t lanes_per_vector = 8;
constexpr uint64_t digit_mask = 0xFFFFFFFFu;
// Lanes: the dividend's digits and t, then room for the last vector a row
// reaches past t.
constexpr uint32_t lane_room = lanes_max_digits + 1 + 2 * lanes_per_vector;
// The divisor's digits with a vector of zeros before and after them.
constexpr uint32_t divisor_room = fast_max_digits + 2 * lanes_per_vector;

// The row of step j: lanes[j + i] -= low digit of q * v[i] and
// lanes[j + i + 1] -= its high digit, for i < vs. spread[8 + i] = v[i].
// Each product is made once: its high digit moves one lane up, joined with
// the top lane of the vector below.
__attribute__((target("avx512f"), always_inline)) inline void subtract_row(
    int64_t* lanes, const uint64_t* spread, uint32_t j, uint32_t vs, uint32_t q) {
  const uint32_t first = j & ~(lanes_per_vector - 1);
  const uint32_t offset = j - first;
  const uint32_t vectors = (offset + vs) / lanes_per_vector + 1;
  // source[k] = v[k - offset], the digit whose product lands in lane first + k.
  const uint64_t* source = spread + lanes_per_vector - offset;
  const __m512i multiplier = _mm512_set1_epi64(static_cast<long long>(q));
  const __m512i mask = _mm512_set1_epi64(static_cast<long long>(digit_mask));
  // The zero-masking forms with every lane kept: the plain ones leave
  // GCC 12 warning of their unset pass-through operand.
  constexpr __mmask8 all = 0xFF;
  int64_t* out = lanes + first;
  __m512i high_below = _mm512_setzero_si512();
  for (uint32_t k = 0; k < vectors * lanes_per_vector; k += lanes_per_vector) {
    const __m512i product = _mm512_maskz_mul_epu32(all, _mm512_loadu_si512(source + k), multiplier);
    const __m512i high = _mm512_maskz_srli_epi64(all, product, 32);
    // Lane 0 takes the high digit of the vector below's top lane.
    const __m512i high_up = _mm512_maskz_alignr_epi64(all, high, high_below, 7);
    const __m512i taken = _mm512_add_epi64(_mm512_and_si512(product, mask), high_up);
    high_below = high;
    _mm512_store_si512(out + k, _mm512_sub_epi64(_mm512_load_si512(out + k), taken));
  }
}

// Settles the carries of lanes from..last into digits (lanes below from
// hold digits already) and returns the carry out of the last lane: 0, or -1
// when the number they make is negative.
int64_t settle(int64_t* lanes, uint32_t from, uint32_t last) {
  int64_t carry = 0;
  for (uint32_t i = from; i <= last; ++i) {
    const int64_t sum = lanes[i] + carry;
    lanes[i] = static_cast<int64_t>(static_cast<uint64_t>(sum) & digit_mask);
    carry = sum >> 32;  // arithmetic: the floor
  }
  return carry;
}

// The exact digits 2..0 of the window whose lowest top digit is lane p,
// with every lane settled: lanes above p + 2 are zero then.
Wide settled_top(const int64_t* lanes, uint32_t p) {
  return static_cast<Wide>(lanes[p + 2]) << 64 | static_cast<Wide>(lanes[p + 1]) << 32 |
         static_cast<Wide>(lanes[p]);
}

// The quotient digit estimate from the window's top three digits t:a1:a2
// and the divisor's top two v1:v2: floor(t:a1:a2 / v1:v2), at most 2^32 - 1.
// That is the estimate of t:a1 by v1 lowered while it times v2 exceeds the
// remainder joined with a2, in one division of 64-bit words through the
// reciprocal of v1:v2 (Moller and Granlund, "Improved division by invariant
// integers", Algorithm 4).
struct PairEstimate {
  uint64_t d;        // v1:v2, its top bit set
  uint64_t inverse;  // floor((2^128 - 1) / d) - 2^64

  explicit PairEstimate(uint64_t pair)
      : d(pair), inverse(static_cast<uint64_t>(~Wide{0} / pair)) {}

  // window < 2^96 <= d * 2^64, so the quotient fits in 64 bits.
  uint32_t operator()(Wide window) const {
    const uint64_t hi = static_cast<uint64_t>(window >> 64);
    const uint64_t lo = static_cast<uint64_t>(window);
    const Wide estimate = static_cast<Wide>(inverse) * hi + window;
    uint64_t q = static_cast<uint64_t>(estimate >> 64) + 1;
    uint64_t remainder = lo - q * d;
    // A condition the processor cannot foresee: a mask, not a branch.
    const uint64_t over = 0 - static_cast<uint64_t>(remainder > static_cast<uint64_t>(estimate));
    q += over;
    remainder += d & over;
    if (__builtin_expect(remainder >= d, 0)) ++q;
    return q > digit_mask ? static_cast<uint32_t>(digit_mask) : static_cast<uint32_t>(q);
  }
};

}  // namespace

bool digits_cpu_has_lanes() {
  static const bool present = detect_lanes();
  return present;
}

__attribute__((target("avx512f"))) void divide_steps_lanes(uint32_t* q, uint32_t* r, uint32_t t,
                                                           uint32_t m, const uint32_t* v,
                                                           uint32_t vs) {
  alignas(64) int64_t lanes[lane_room];
  alignas(64) uint64_t spread[divisor_room];
  const uint32_t top = m + vs;  // t's lane
  // The rows reach at most one vector past t's lane, and read the divisor
  // with a vector of zeros on either side.
  const uint32_t lanes_used = top + 1 + lanes_per_vector;
  const uint32_t spread_used = vs + 2 * lanes_per_vector;
  for (uint32_t i = 0; i < top; ++i) lanes[i] = r[i];
  lanes[top] = t;
  for (uint32_t i = top + 1; i < lanes_used; ++i) lanes[i] = 0;
  for (uint32_t i = 0; i < spread_used; ++i) spread[i] = 0;
  for (uint32_t i = 0; i < vs; ++i) spread[lanes_per_vector + i] = v[i];

  const uint64_t v1 = v[vs - 1], v2 = v[vs - 2], v3 = v[vs - 3];
  const uint64_t v4 = v[vs - 4], v5 = v[vs - 5], v6 = v[vs - 6];
  const PairEstimate estimate(v1 << 32 | v2);
  const Wide top_three = static_cast<Wide>(v1 << 32 | v2) << 32 | v3;

  // p: the lane of the window's third digit. above: the lanes from p up,
  // weighted. window: the exact number t:a1:a2 made by the window's top
  // three digits, that is above plus the carry from below p.
  uint32_t p = top - 2;
  Wide above = settled_top(lanes, p);
  Wide window = above;
  for (uint32_t j = m + 1; j-- > 0;) {
    const uint32_t qhat = estimate(window);
    // The three lanes below p as the rows before this one left them.
    const int64_t below1 = lanes[p - 1], below2 = lanes[p - 2], below3 = lanes[p - 3];
    subtract_row(lanes, spread, j, vs, qhat);
    uint32_t digit = qhat;

    // One lane lower: the next window's third digit is lane p - 1. The row
    // took qhat * v1:v2:v3 from the lanes from p - 1 up, with the high digit
    // of qhat * v4; the next two lanes are what it left there.
    --p;
    const uint64_t product4 = qhat * v4, product5 = qhat * v5, product6 = qhat * v6;
    above = (above << 32) + static_cast<Wide>(static_cast<SignedWide>(below1)) -
            qhat * top_three - (product4 >> 32);
    const int64_t lane2 = below2 - static_cast<int64_t>((product4 & digit_mask) + (product5 >> 32));
    const int64_t lane3 = below3 - static_cast<int64_t>((product5 & digit_mask) + (product6 >> 32));
    // The carry into lane p from below: floor((lane2 * 2^32 + lane3) / 2^64).
    const SignedWide lower = static_cast<SignedWide>(lane2) * (SignedWide{1} << 32) + lane3;
    const uint64_t fraction = static_cast<uint64_t>(lower);
    constexpr uint64_t doubt = uint64_t{1} << 16;
    const bool certain = fraction >= doubt && fraction <= ~doubt;
    window = above + static_cast<Wide>(lower >> 64);
    if (__builtin_expect(!certain || static_cast<SignedWide>(window) < 0, 0)) {
      if (settle(lanes, j, top) < 0) {
        // The step went negative: one less, and v added back.
        --digit;
        for (uint32_t i = 0; i < vs; ++i) lanes[j + i] += v[i];
        settle(lanes, j, top);
      }
      above = settled_top(lanes, p);
      window = above;
    }
    if (q != nullptr) q[j] = digit;
  }

  // The remainder is below v: its vs digits are the settled low lanes (the
  // carry out of them cancels what the lanes above still hold).
  settle(lanes, 0, vs - 1);
  for (uint32_t i = 0; i < vs; ++i) r[i] = static_cast<uint32_t>(lanes[i]);
  wipe_bytes(lanes, lanes_used * sizeof lanes[0]);
  wipe_bytes(spread, spread_used * sizeof spread[0]);
}
