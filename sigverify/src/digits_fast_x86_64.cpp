// Fast forms of the digit loops for x86-64 processors with AVX2 and ADX
// (digits_fast.h). A row is taken two digits at a time as 64-bit words:
// first the products of the words and the digit (four at a time), then one
// pass that adds or subtracts their low halves on the carry flag's chain
// (adcx) and their high halves, one word further up, on the overflow flag's
// chain (adox), so that neither waits for the other. The square sums its
// cross products by columns.
#include <cpuid.h>
#include <immintrin.h>

#include "digit_rows.h"
#include "digits_fast.h"

namespace {

__extension__ typedef unsigned __int128 uint128;

// ADX for the carry chains and AVX2 (with the operating system saving the
// 256-bit registers) for the products.
bool detect_fast_forms() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid_max(0, nullptr) < 7) return false;
  __cpuid(1, eax, ebx, ecx, edx);
  if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) return false;
  unsigned xcr0_low = 0, xcr0_high = 0;
  __asm__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
  if ((xcr0_low & 6) != 6) return false;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  return (ebx & bit_ADX) != 0 && (ebx & bit_AVX2) != 0;
}

inline uint64_t load_pair(const uint32_t* p) { return static_cast<uint64_t>(p[1]) << 32 | p[0]; }

// low[k] and high[k] := the halves of word k of u times d, each XORed with
// flip (all ones to subtract). d * word < 2^96, so high[k] < 2^32. Four
// words at a time: the two digit products of each word, a = u[2k] * d and
// b = u[2k+1] * d, make low = a + (b << 32) and high = (b >> 32) + carry.
__attribute__((target("avx2"))) inline void word_products(const uint32_t* u, uint32_t d,
                                                          uint32_t words, uint64_t* low,
                                                          uint64_t* high, uint64_t flip) {
  const __m256i digit = _mm256_set1_epi64x(d);
  const __m256i sign = _mm256_set1_epi64x(static_cast<long long>(uint64_t{1} << 63));
  const __m256i flips = _mm256_set1_epi64x(static_cast<long long>(flip));
  uint32_t k = 0;
  for (; k + 4 <= words; k += 4) {
    const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(u + 2 * k));
    const __m256i a = _mm256_mul_epu32(pairs, digit);
    const __m256i b = _mm256_mul_epu32(_mm256_srli_epi64(pairs, 32), digit);
    const __m256i sum = _mm256_add_epi64(a, _mm256_slli_epi64(b, 32));
    // All ones where the sum wrapped (a > sum, compared without sign).
    const __m256i wrapped =
        _mm256_cmpgt_epi64(_mm256_xor_si256(a, sign), _mm256_xor_si256(sum, sign));
    const __m256i top = _mm256_sub_epi64(_mm256_srli_epi64(b, 32), wrapped);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(low + k), _mm256_xor_si256(sum, flips));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(high + k), _mm256_xor_si256(top, flips));
  }
  for (; k < words; ++k) {
    const uint128 product = static_cast<uint128>(load_pair(u + 2 * k)) * d;
    low[k] = static_cast<uint64_t>(product) ^ flip;
    high[k] = static_cast<uint64_t>(product >> 64) ^ flip;
  }
}

// Over words words of w: w += low + (high shifted up one word) + previous,
// previous entering at word 0. Returns high[words-1] plus the two final
// carries: what belongs above the last word.
uint64_t add_words(uint32_t* w, const uint64_t* low, const uint64_t* high, uint64_t previous,
                   uint64_t words) {
  uint64_t t = 0;
  const uint64_t zero = 0;
  __asm__ volatile(
      "xorl %k[t], %k[t]\n\t"  // clears CF and OF
      "1:\n\t"
      "movq (%[w]), %[t]\n\t"
      "adcxq (%[low]), %[t]\n\t"
      "adoxq %[previous], %[t]\n\t"
      "movq %[t], (%[w])\n\t"
      "movq (%[high]), %[previous]\n\t"
      "leaq 8(%[w]), %[w]\n\t"
      "leaq 8(%[low]), %[low]\n\t"
      "leaq 8(%[high]), %[high]\n\t"
      "leaq -1(%[words]), %[words]\n\t"
      "jrcxz 2f\n\t"
      "jmp 1b\n"
      "2:\n\t"
      "adcxq %[zero], %[previous]\n\t"
      "adoxq %[zero], %[previous]\n\t"
      : [t] "=&r"(t), [w] "+r"(w), [low] "+r"(low), [high] "+r"(high), [previous] "+r"(previous),
        [words] "+c"(words)
      : [zero] "r"(zero)
      : "cc", "memory");
  return previous;
}

// The same with low, high and previous complemented: w + ~low + ~high' + 2
// is w - low - high' modulo the row, so both chains start with a carry of 1.
// Returns the complemented last high word plus the final carries, from
// which the caller derives the borrow.
uint64_t add_complemented_words(uint32_t* w, const uint64_t* low, const uint64_t* high,
                                uint64_t previous, uint64_t words) {
  uint64_t t = 0;
  const uint64_t zero = 0;
  __asm__ volatile(
      "movabsq $0x7fffffffffffffff, %[t]\n\t"
      "addq $1, %[t]\n\t"  // sets OF
      "stc\n\t"            // sets CF, keeps OF
      "1:\n\t"
      "movq (%[w]), %[t]\n\t"
      "adcxq (%[low]), %[t]\n\t"
      "adoxq %[previous], %[t]\n\t"
      "movq %[t], (%[w])\n\t"
      "movq (%[high]), %[previous]\n\t"
      "leaq 8(%[w]), %[w]\n\t"
      "leaq 8(%[low]), %[low]\n\t"
      "leaq 8(%[high]), %[high]\n\t"
      "leaq -1(%[words]), %[words]\n\t"
      "jrcxz 2f\n\t"
      "jmp 1b\n"
      "2:\n\t"
      "adcxq %[zero], %[previous]\n\t"
      "adoxq %[zero], %[previous]\n\t"
      : [t] "=&r"(t), [w] "+r"(w), [low] "+r"(low), [high] "+r"(high), [previous] "+r"(previous),
        [words] "+c"(words)
      : [zero] "r"(zero)
      : "cc", "memory");
  return previous;
}

}  // namespace

bool digits_cpu_has_fast_forms() {
  static const bool present = detect_fast_forms();
  return present;
}

__attribute__((target("avx2"))) uint32_t row_mul_add_fast(uint32_t* w, const uint32_t* u,
                                                          uint32_t d, uint32_t n) {
  // An odd first digit goes the portable way; its carry enters the words.
  uint64_t carry = 0;
  if (n % 2 != 0) {
    carry = row_mul_add_portable(w, u, d, 1);
    ++w;
    ++u;
    --n;
  }
  const uint32_t words = n / 2;
  if (words == 0) return static_cast<uint32_t>(carry);
  uint64_t low[fast_max_digits / 2], high[fast_max_digits / 2];
  word_products(u, d, words, low, high, 0);
  return static_cast<uint32_t>(add_words(w, low, high, carry, words));
}

__attribute__((target("avx2"))) uint32_t row_mul_sub_fast(uint32_t* w, const uint32_t* u,
                                                          uint32_t d, uint32_t n) {
  uint64_t borrow = 0;
  if (n % 2 != 0) {
    borrow = row_mul_sub_portable(w, u, d, 1);
    ++w;
    ++u;
    --n;
  }
  const uint32_t words = n / 2;
  if (words == 0) return static_cast<uint32_t>(borrow);
  uint64_t low[fast_max_digits / 2], high[fast_max_digits / 2];
  word_products(u, d, words, low, high, ~uint64_t{0});
  // The pass leaves ~high + CF + OF, and the borrow is high + 2 - CF - OF.
  const uint64_t rest = add_complemented_words(w, low, high, ~borrow, words);
  return static_cast<uint32_t>(uint64_t{1} - rest);
}

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

  const __m256i lane_index = _mm256_set_epi64x(3, 2, 1, 0);
  const __m256i low_half = _mm256_set1_epi64x(0xFFFFFFFFll);
  for (uint32_t k = 0; k < 2 * n; k += 4) {
    __m256i sum_low = _mm256_setzero_si256();
    __m256i sum_high = _mm256_setzero_si256();
    // Rows whose x[j] reach the block (k - i <= n - 1) and that still have
    // a lane with i < j (2i < k + 3).
    const uint32_t first = k + 1 > n ? k + 1 - n : 0;
    uint32_t last = (k + 2) / 2;
    if (last > n - 1) last = n - 1;
    for (uint32_t i = first; i <= last; ++i) {
      const uint32_t* window = padded + margin + k - i;
      const __m256i digits =
          _mm256_cvtepu32_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(window)));
      __m256i product = _mm256_mul_epu32(digits, _mm256_set1_epi64x(x[i]));
      if (2 * i >= k) {
        // Keep lanes l > 2i - k, where j > i.
        const __m256i above = _mm256_set1_epi64x(static_cast<long long>(2 * i - k));
        product = _mm256_and_si256(product, _mm256_cmpgt_epi64(lane_index, above));
      }
      sum_low = _mm256_add_epi64(sum_low, _mm256_and_si256(product, low_half));
      sum_high = _mm256_add_epi64(sum_high, _mm256_srli_epi64(product, 32));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(low + k), sum_low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(high + k), sum_high);
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
}
