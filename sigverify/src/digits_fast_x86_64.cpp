// Fast forms of the digit loops for x86-64 processors with BMI2, ADX and
// AVX2 (digits_fast.h). A row takes two digits at a time as one 64-bit word
// times the 32-bit digit (mulx), with two carry chains (adcx, adox); the
// square sums its cross products by columns, four columns at a time (AVX2).
#include <cpuid.h>
#include <immintrin.h>

#include "cpu_x86.h"
#include "digit_rows.h"
#include "digits_fast.h"
#include "wipe.h"

namespace {

// BMI2 (mulx) and ADX for the rows, AVX2 (with the operating system saving
// the 256-bit registers) for the square.
bool detect_fast_forms() {
  return cpu_has(bit_AVX, bit_ADX | bit_BMI2 | bit_AVX2, xcr0_avx_state);
}

// One pass over the words (pairs of digits) of a row: word k of w gets the
// low half of d * u_k on the carry flag's chain (adcx) and the high half of
// the word below (previous for word 0) on the overflow flag's chain (adox),
// so that neither waits for the other. The words left over from groups of
// four go first. At the end previous holds the last high half plus the two
// final carries: what belongs above the last word. d < 2^32, so every high
// half is below 2^32. flip is an instruction applied to each u_k first.
// clang-format off
#define SK_ROW_WORD(flip, offset, in, out)          \
  "movq " offset "(%[u]), %[tmp]\n\t"               \
  flip                                              \
  "mulxq %[tmp], %[lo], %[" out "]\n\t"             \
  "adcxq " offset "(%[w]), %[lo]\n\t"               \
  "adoxq %[" in "], %[lo]\n\t"                      \
  "movq %[lo], " offset "(%[w])\n\t"

// Each loop tests its count at the bottom, so that jrcxz, which reaches
// only 127 bytes, jumps no further than over the jmp back to the top.
#define SK_ROW_PASS(flip)                                   \
  "xorl %k[lo], %k[lo]\n\t"                                 \
  "jmp 2f\n"                                                \
  "1:\n\t"                                                  \
  SK_ROW_WORD(flip, "0", "previous", "high_a")              \
  "movq %[high_a], %[previous]\n\t"                         \
  "leaq 8(%[u]), %[u]\n\t"                                  \
  "leaq 8(%[w]), %[w]\n\t"                                  \
  "leaq -1(%[count]), %[count]\n"                           \
  "2:\n\t"                                                  \
  "jrcxz 3f\n\t"                                            \
  "jmp 1b\n"                                                \
  "3:\n\t"                                                  \
  "movq %[groups], %[count]\n\t"                            \
  "jmp 5f\n"                                                \
  "4:\n\t"                                                  \
  SK_ROW_WORD(flip, "0", "previous", "high_a")              \
  SK_ROW_WORD(flip, "8", "high_a", "high_b")                \
  SK_ROW_WORD(flip, "16", "high_b", "high_a")               \
  SK_ROW_WORD(flip, "24", "high_a", "previous")             \
  "leaq 32(%[u]), %[u]\n\t"                                 \
  "leaq 32(%[w]), %[w]\n\t"                                 \
  "leaq -1(%[count]), %[count]\n"                           \
  "5:\n\t"                                                  \
  "jrcxz 6f\n\t"                                            \
  "jmp 4b\n"                                                \
  "6:\n\t"                                                  \
  "adcxq %[zero], %[previous]\n\t"                          \
  "adoxq %[zero], %[previous]\n\t"
// clang-format on

// w += d * u + previous over words words; returns what belongs above.
uint64_t add_row_words(uint32_t* w, const uint32_t* u, uint64_t d, uint64_t previous,
                       uint64_t words) {
  uint64_t lo, high_a, high_b, tmp;
  uint64_t count = words % 4;
  const uint64_t groups = words / 4;
  const uint64_t zero = 0;
  __asm__ volatile(
      SK_ROW_PASS("")
      : [lo] "=&r"(lo), [high_a] "=&r"(high_a), [high_b] "=&r"(high_b), [tmp] "=&r"(tmp),
        [w] "+r"(w), [u] "+r"(u), [previous] "+r"(previous), [count] "+c"(count)
      : [groups] "r"(groups), [zero] "r"(zero), "d"(d)
      : "cc", "memory");
  return previous;
}

// w += d * ~u + previous over words words, ~u being u with every bit
// complemented; returns what belongs above. Since d * ~u = d * (2^64k - 1)
// - d * u, this is how the rows subtract.
uint64_t add_complemented_row_words(uint32_t* w, const uint32_t* u, uint64_t d, uint64_t previous,
                                    uint64_t words) {
  uint64_t lo, high_a, high_b, tmp;
  uint64_t count = words % 4;
  const uint64_t groups = words / 4;
  const uint64_t zero = 0;
  __asm__ volatile(
      SK_ROW_PASS("notq %[tmp]\n\t")
      : [lo] "=&r"(lo), [high_a] "=&r"(high_a), [high_b] "=&r"(high_b), [tmp] "=&r"(tmp),
        [w] "+r"(w), [u] "+r"(u), [previous] "+r"(previous), [count] "+c"(count)
      : [groups] "r"(groups), [zero] "r"(zero), "d"(d)
      : "cc", "memory");
  return previous;
}

#undef SK_ROW_PASS
#undef SK_ROW_WORD

}  // namespace

bool digits_cpu_has_fast_forms() {
  static const bool present = detect_fast_forms();
  return present;
}

uint32_t row_mul_add_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  // An odd first digit goes the portable way; its carry enters the words.
  uint64_t carry = 0;
  if (n % 2 != 0) {
    carry = row_mul_add_portable(w, u, d, 1);
    ++w;
    ++u;
    --n;
  }
  if (n == 0) return static_cast<uint32_t>(carry);
  return static_cast<uint32_t>(add_row_words(w, u, d, carry, n / 2));
}

// w - d * u = w + d * ~u + d - d * 2^64k over k words: the pass starts with
// d (less the borrow of an odd first digit) and the borrow is d less what
// the pass carries out.
uint32_t row_mul_sub_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  uint64_t borrow = 0;
  if (n % 2 != 0) {
    borrow = row_mul_sub_portable(w, u, d, 1);
    ++w;
    ++u;
    --n;
  }
  if (n == 0) return static_cast<uint32_t>(borrow);
  const uint64_t out = add_complemented_row_words(w, u, d, d - borrow, n / 2);
  return static_cast<uint32_t>(d - out);
}

// The same with the row complemented beforehand: the pass takes its words
// as they are.
uint32_t row_mul_sub_complemented_fast(uint32_t* w, const uint32_t* not_u, uint32_t d, uint32_t n) {
  uint64_t borrow = 0;
  if (n % 2 != 0) {
    const uint32_t digit = ~not_u[0];
    borrow = row_mul_sub_portable(w, &digit, d, 1);
    ++w;
    ++not_u;
    --n;
  }
  if (n == 0) return static_cast<uint32_t>(borrow);
  const uint64_t out = add_row_words(w, not_u, d, d - borrow, n / 2);
  return static_cast<uint32_t>(d - out);
}

namespace {

// Adds the products of the four digits at window and multiplier, in the
// lanes that mask keeps, into the sums of their low and high halves.
__attribute__((target("avx2"))) inline void add_cross_products(const uint32_t* window,
                                                               uint64_t multiplier, __m256i mask,
                                                               __m256i& sum_low,
                                                               __m256i& sum_high) {
  const __m256i digits =
      _mm256_cvtepu32_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(window)));
  const __m256i product = _mm256_and_si256(
      _mm256_mul_epu32(digits, _mm256_set1_epi64x(static_cast<long long>(multiplier))), mask);
  sum_low = _mm256_add_epi64(sum_low, _mm256_and_si256(product, _mm256_set1_epi64x(0xFFFFFFFFll)));
  sum_high = _mm256_add_epi64(sum_high, _mm256_srli_epi64(product, 32));
}

}  // namespace

// Squaring by columns: for a block of four result columns k..k+3, every
// cross product x[i] * x[j] with i < j and i + j in the block is made once
// (lane l holds column k + l, so j = k + l - i) and its low and high halves
// are summed in separate 64-bit lanes; a column gets at most 2n sums of
// 32-bit halves, so nothing overflows. A last pass doubles the column sums,
// adds the squares x[i]^2 at column 2i and carries from column to column.
__attribute__((target("avx2"))) void digits_square_fast(uint32_t* w, const uint32_t* x,
                                                        uint32_t n) {
  if (n == 0) return;
  // x with four zero digits before it and four after, so that the windows
  // x[k-i .. k-i+3] never leave the array; the zeros add nothing.
  constexpr uint32_t margin = 4;
  uint32_t padded[fast_max_digits + 2 * margin] = {};
  for (uint32_t i = 0; i < n; ++i) padded[margin + i] = x[i];
  uint64_t low[2 * fast_max_digits + 4], high[2 * fast_max_digits + 4];

  // The multipliers x[i], zero-extended, for broadcasts straight from memory.
  uint64_t wide[fast_max_digits];
  for (uint32_t i = 0; i < n; ++i) wide[i] = x[i];

  const __m256i lane_index = _mm256_set_epi64x(3, 2, 1, 0);
  const __m256i all_lanes = _mm256_set1_epi64x(-1);
  for (uint32_t k = 0; k < 2 * n; k += 4) {
    // Two pairs of sums, so that consecutive rows do not wait on each other.
    __m256i sum_low[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
    __m256i sum_high[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
    // Rows whose x[j] reach the block (k - i <= n - 1) and that still have
    // a lane with i < j (2i < k + 3); all lanes have i < j while 2i < k.
    const uint32_t first = k + 1 > n ? k + 1 - n : 0;
    const uint32_t last = (k + 2) / 2 < n - 1 ? (k + 2) / 2 : n - 1;
    const uint32_t unmasked_end = k / 2 + (k % 2) < last + 1 ? k / 2 + (k % 2) : last + 1;
    uint32_t i = first;
    const uint32_t* window = padded + margin + k;  // x[j] for lane 0 and row 0
    for (; i + 1 < unmasked_end; i += 2) {
      add_cross_products(window - i, wide[i], all_lanes, sum_low[0], sum_high[0]);
      add_cross_products(window - i - 1, wide[i + 1], all_lanes, sum_low[1], sum_high[1]);
    }
    if (i < unmasked_end) {
      add_cross_products(window - i, wide[i], all_lanes, sum_low[0], sum_high[0]);
      ++i;
    }
    for (; i <= last; ++i) {
      // Only lanes l > 2i - k, where j > i.
      const __m256i above = _mm256_set1_epi64x(static_cast<long long>(2 * i - k));
      add_cross_products(window - i, wide[i], _mm256_cmpgt_epi64(lane_index, above), sum_low[1],
                         sum_high[1]);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(low + k),
                        _mm256_add_epi64(sum_low[0], sum_low[1]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(high + k),
                        _mm256_add_epi64(sum_high[0], sum_high[1]));
  }

  uint64_t carry = 0;
  for (uint32_t k = 0; k < 2 * n; ++k) {
    uint64_t column = low[k] + (k > 0 ? high[k - 1] : 0);
    const uint64_t square = static_cast<uint64_t>(x[k / 2]) * x[k / 2];
    column = 2 * column + (k % 2 == 0 ? static_cast<uint32_t>(square) : square >> 32);
    carry += column;
    w[k] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  // The copies of x and the column sums are wiped before the frame is left.
  wipe_bytes(padded + margin, n * sizeof *padded);
  wipe_bytes(wide, n * sizeof *wide);
  wipe_bytes(low, (2 * n + 4) * sizeof *low);  // blocks of four may pass 2n
  wipe_bytes(high, (2 * n + 4) * sizeof *high);
}
