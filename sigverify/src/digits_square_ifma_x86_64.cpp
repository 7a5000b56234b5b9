// The square of digits_fast.h for x86-64 processors with AVX-512 IFMA: the
// cross products summed by result columns, sixteen columns to a block, with
// the 52-bit multiply-adds (vpmadd52luq, vpmadd52huq); chosen at run time.
#include <cpuid.h>
#include <immintrin.h>

#include "cpu_x86.h"
#include "digits_fast.h"
#include "wipe.h"

namespace {

// AVX512F, AVX512VL and AVX512IFMA, with the operating system saving the
// opmask and ZMM state.
bool detect_ifma() {
  return cpu_has(0, bit_AVX512F | bit_AVX512VL | bit_AVX512IFMA, xcr0_avx512_state);
}

// Zero digits below x's copy and above it, so that the windows x[j .. j+15]
// of the column sums never leave it; the zeros add nothing.
constexpr uint32_t margin_below = 8;
constexpr uint32_t margin_above = 16;

#define SK_IFMA __attribute__((target("avx512f,avx512vl,avx512ifma")))

// The low and high sums of a block's sixteen columns: lanes 0-7 and 8-15.
struct ColumnSums {
  __m512i low[2];
  __m512i high[2];
};

// To the sums, the products of the sixteen digits at window with the
// multiplier, in the lanes that keep_lower and keep_upper hold.
SK_IFMA inline void add_row(const uint64_t* window, uint64_t multiplier, __mmask8 keep_lower,
                            __mmask8 keep_upper, ColumnSums& sums) {
  const __m512i times = _mm512_set1_epi64(static_cast<long long>(multiplier));
  const __m512i lower = _mm512_loadu_si512(window);
  const __m512i upper = _mm512_loadu_si512(window + 8);
  sums.low[0] = _mm512_mask_madd52lo_epu64(sums.low[0], keep_lower, lower, times);
  sums.high[0] = _mm512_mask_madd52hi_epu64(sums.high[0], keep_lower, lower, times);
  sums.low[1] = _mm512_mask_madd52lo_epu64(sums.low[1], keep_upper, upper, times);
  sums.high[1] = _mm512_mask_madd52hi_epu64(sums.high[1], keep_upper, upper, times);
}

// The same for the lower eight columns only.
SK_IFMA inline void add_lower_row(const uint64_t* window, uint64_t multiplier, ColumnSums& sums) {
  const __m512i times = _mm512_set1_epi64(static_cast<long long>(multiplier));
  const __m512i lower = _mm512_loadu_si512(window);
  sums.low[0] = _mm512_madd52lo_epu64(sums.low[0], lower, times);
  sums.high[0] = _mm512_madd52hi_epu64(sums.high[0], lower, times);
}

// The same for the upper eight columns only.
SK_IFMA inline void add_upper_row(const uint64_t* window, uint64_t multiplier, __mmask8 keep,
                                  ColumnSums& sums) {
  const __m512i times = _mm512_set1_epi64(static_cast<long long>(multiplier));
  const __m512i upper = _mm512_loadu_si512(window + 8);
  sums.low[1] = _mm512_mask_madd52lo_epu64(sums.low[1], keep, upper, times);
  sums.high[1] = _mm512_mask_madd52hi_epu64(sums.high[1], keep, upper, times);
}

// The forms with a mask (all lanes) or a source given, since the plain ones
// start from an undefined register that GCC 12 takes for a read of an
// uninitialised value.
constexpr __mmask8 all = 0xFF;

// Eight column values (lanes) as four 128-bit words, column 2t + column
// 2t+1 * 2^32 in lane 2t: the low 64 bits in words_low, the rest in
// words_high.
SK_IFMA inline void pair_columns(__m512i column, __m512i& words_low, __m512i& words_high) {
  const __m512i upper = _mm512_maskz_alignr_epi64(all, column, column, 1);
  words_low = _mm512_add_epi64(column, _mm512_maskz_slli_epi64(all, upper, 32));
  const __mmask8 wrapped = _mm512_cmplt_epu64_mask(words_low, column);
  const __m512i above = _mm512_maskz_srli_epi64(all, upper, 32);
  words_high = _mm512_mask_sub_epi64(above, wrapped, above, _mm512_set1_epi64(-1));
}

// Eight columns' values from their low sums and high sums, high_below being
// the high sums of the eight columns below.
SK_IFMA inline __m512i column_values(__m512i low, __m512i high, __m512i high_below) {
  const __m512i carried = _mm512_maskz_alignr_epi64(all, high, high_below, 7);
  return _mm512_add_epi64(low, _mm512_maskz_slli_epi64(all, carried, 20));
}

}  // namespace

bool digits_cpu_has_ifma() {
  static const bool present = detect_ifma();
  return present;
}

// Squaring by columns. For a block of sixteen result columns k..k+15 (lane l
// holds column k + l), row i adds 2 x[i] * x[j] with j = k + l - i > i; the
// doubled digit has 33 bits, well inside the 52 that the multiply-adds take,
// so the low instruction adds the product's bits 0-51 and the high one its
// bits 52 and up. The squares x[i]^2 come in as one more row whose even
// lanes hold x[(k + l) / 2] times itself. A column gets at most 64 cross
// products (n <= 128) and a square, so its low sum stays below 2^59 and its
// high sum below 2^20; the high sum, worth 2^52 = 2^20 * 2^32 each, goes to
// the next column shifted left by 20. The column values (below 2^60) then
// become 64-bit words, word m = column 2m + column 2m+1 * 2^32 + what word
// m - 1 had above 64 bits (below 2^29); a word that wraps around carries one
// into the next, and the carries ripple through words of all ones. They are
// found eight words at a time, with one bit per word, generated (g) and all
// ones (p): with c coming from the words below, the carries into the eight
// are ((g << 1) + p + c) ^ p, and bit 8 of that sum goes on to the next eight.
SK_IFMA void digits_square_ifma(uint32_t* w, const uint32_t* x, uint32_t n) {
  if (n == 0) return;
  alignas(64) uint64_t wide[margin_below + fast_max_digits + margin_above];
  alignas(64) uint64_t doubled[fast_max_digits];
  alignas(64) uint64_t columns[2 * fast_max_digits];

  const __m512i zero = _mm512_setzero_si512();
  const __m512i minus_one = _mm512_set1_epi64(-1);
  _mm512_store_si512(wide, zero);
  uint32_t i = 0;
  for (; i < n; i += 8) {
    const __mmask8 keep = n - i >= 8 ? all : static_cast<__mmask8>((1u << (n - i)) - 1);
    const __m512i digits = _mm512_maskz_cvtepu32_epi64(keep, _mm256_maskz_loadu_epi32(keep, x + i));
    _mm512_store_si512(wide + margin_below + i, digits);
    _mm512_store_si512(doubled + i, _mm512_add_epi64(digits, digits));
  }
  _mm512_store_si512(wide + margin_below + i, zero);
  _mm512_store_si512(wide + margin_below + i + 8, zero);

  // Lanes 0, 2, 4, 6 of the lower and upper half take the eight digits that
  // a block squares.
  const __m512i lower_squares = _mm512_set_epi64(3, 3, 2, 2, 1, 1, 0, 0);
  const __m512i upper_squares = _mm512_set_epi64(7, 7, 6, 6, 5, 5, 4, 4);
  const __m512i even_lanes = _mm512_set_epi64(14, 12, 10, 8, 6, 4, 2, 0);
  __m512i high_below = zero;
  for (uint32_t k = 0; k < 2 * n; k += 16) {
    const __m512i halves = _mm512_loadu_si512(wide + margin_below + k / 2);
    const __m512i lower = _mm512_maskz_permutexvar_epi64(0x55, lower_squares, halves);
    const __m512i upper = _mm512_maskz_permutexvar_epi64(0x55, upper_squares, halves);
    ColumnSums sums[2] = {
        {{_mm512_madd52lo_epu64(zero, lower, lower), _mm512_madd52lo_epu64(zero, upper, upper)},
         {_mm512_madd52hi_epu64(zero, lower, lower), _mm512_madd52hi_epu64(zero, upper, upper)}},
        {{zero, zero}, {zero, zero}}};

    // Rows whose x[j] reach the block (j = k - i <= n - 1 for lane 0) and
    // that still have a lane with j > i (2i < k + 15); every lane has j > i
    // while 2i < k. Rows go in pairs, to two sets of sums.
    const uint32_t first = k + 1 > n ? k + 1 - n : 0;
    const uint32_t end = (k + 14) / 2 + 1 < n - 1 ? (k + 14) / 2 + 1 : n - 1;
    const uint32_t edge = k / 2;
    const uint32_t unmasked_end = edge < end ? edge : end;
    const uint64_t* window = wide + margin_below + k;  // x[k - i] for lane 0 of row i
    // Rows whose upper half reaches past x (j = k + 8 - i > n - 1) take the
    // lower half alone.
    const uint32_t lower_end = k + 9 > n ? k + 9 - n : 0;
    const uint32_t lower_only_end = lower_end < unmasked_end ? lower_end : unmasked_end;
    uint32_t row = first;
    for (; row + 2 <= lower_only_end; row += 2) {
      add_lower_row(window - row, doubled[row], sums[0]);
      add_lower_row(window - row - 1, doubled[row + 1], sums[1]);
    }
    if (row < lower_only_end) {
      add_lower_row(window - row, doubled[row], sums[0]);
      ++row;
    }
    for (; row + 2 <= unmasked_end; row += 2) {
      add_row(window - row, doubled[row], all, all, sums[0]);
      add_row(window - row - 1, doubled[row + 1], all, all, sums[1]);
    }
    if (row < unmasked_end) add_row(window - row, doubled[row], all, all, sums[0]);
    // The rows 2i - k = 0, 2, .., 14 keep only the lanes l > 2i - k, where
    // j > i; from 2i - k = 8 on that leaves the upper half alone.
    if (edge < end) add_row(window - edge, doubled[edge], 0xFE, all, sums[0]);
    if (edge + 1 < end) add_row(window - edge - 1, doubled[edge + 1], 0xF8, all, sums[1]);
    if (edge + 2 < end) add_row(window - edge - 2, doubled[edge + 2], 0xE0, all, sums[0]);
    if (edge + 3 < end) add_row(window - edge - 3, doubled[edge + 3], 0x80, all, sums[1]);
    if (edge + 4 < end) add_upper_row(window - edge - 4, doubled[edge + 4], 0xFE, sums[0]);
    if (edge + 5 < end) add_upper_row(window - edge - 5, doubled[edge + 5], 0xF8, sums[1]);
    if (edge + 6 < end) add_upper_row(window - edge - 6, doubled[edge + 6], 0xE0, sums[0]);
    if (edge + 7 < end) add_upper_row(window - edge - 7, doubled[edge + 7], 0x80, sums[1]);

    // Column k + l takes the high sum of column k + l - 1.
    const __m512i high_lower = _mm512_add_epi64(sums[0].high[0], sums[1].high[0]);
    const __m512i high_upper = _mm512_add_epi64(sums[0].high[1], sums[1].high[1]);
    _mm512_store_si512(columns + k, column_values(_mm512_add_epi64(sums[0].low[0], sums[1].low[0]),
                                                  high_lower, high_below));
    _mm512_store_si512(
        columns + k + 8,
        column_values(_mm512_add_epi64(sums[0].low[1], sums[1].low[1]), high_upper, high_lower));
    high_below = high_upper;
  }

  // The columns become words, sixteen columns to eight words, and the
  // carries ripple in.
  __m512i words_high_below = zero;
  uint32_t carry = 0;
  for (uint32_t k = 0; k < 2 * n; k += 16) {
    __m512i words_low[2], words_high[2];
    pair_columns(_mm512_load_si512(columns + k), words_low[0], words_high[0]);
    pair_columns(_mm512_load_si512(columns + k + 8), words_low[1], words_high[1]);
    const __m512i word_low = _mm512_permutex2var_epi64(words_low[0], even_lanes, words_low[1]);
    const __m512i word_high = _mm512_permutex2var_epi64(words_high[0], even_lanes, words_high[1]);
    const __m512i word =
        _mm512_add_epi64(word_low, _mm512_maskz_alignr_epi64(all, word_high, words_high_below, 7));
    words_high_below = word_high;
    // A word that wrapped is not all ones, so the two sets do not meet.
    const uint32_t generated = _mm512_cmplt_epu64_mask(word, word_low);
    const uint32_t all_ones = _mm512_cmpeq_epu64_mask(word, minus_one);
    const uint32_t carries = (generated << 1) + all_ones + carry;
    carry = carries >> 8;
    const __mmask8 carried_in = static_cast<__mmask8>(carries ^ all_ones);
    const uint32_t m = k / 2;
    const __mmask8 keep = n - m >= 8 ? all : static_cast<__mmask8>((1u << (n - m)) - 1);
    _mm512_mask_storeu_epi64(w + k, keep, _mm512_mask_sub_epi64(word, carried_in, word, minus_one));
  }

  // The copies of x and the column values are wiped before the frame is left
  // (the margins hold zeros).
  wipe_bytes(wide + margin_below, i * sizeof *wide);
  wipe_bytes(doubled, i * sizeof *doubled);
  wipe_bytes(columns, (2 * n + 15) / 16 * 16 * sizeof *columns);
}
