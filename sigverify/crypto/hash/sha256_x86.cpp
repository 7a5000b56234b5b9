// SHA-256 block compression on the x86 SHA extensions (SHA-NI), and the
// run-time test for them. The functions carry their own target attributes,
// so the rest of the program needs none of these instructions.
#include <cpuid.h>
#include <immintrin.h>

#include "cpu_x86.h"
#include "sha256_compress.h"

namespace sigverify {

namespace {

bool detect_extensions() { return cpu_has(bit_SSSE3 | bit_SSE4_1, bit_SHA); }

#define SK_SHA_TARGET __attribute__((target("sha,ssse3,sse4.1")))

// Four rounds: the state halves hold ABEF and CDGH as the instructions want
// them; schedule_plus_k holds W[t..t+3] + K[t..t+3].
SK_SHA_TARGET inline void four_rounds(__m128i& abef, __m128i& cdgh, __m128i schedule_plus_k) {
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, schedule_plus_k);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(schedule_plus_k, 0x0E));
}

// W[t..t+3] from the four previous groups of schedule words.
SK_SHA_TARGET inline __m128i next_schedule(__m128i w16, __m128i w12, __m128i w8, __m128i w4) {
    const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4));
    return _mm_sha256msg2_epu32(partial, w4);
}

}  // namespace

bool sha256_cpu_has_extensions() {
    static const bool present = detect_extensions();
    return present;
}

SK_SHA_TARGET void sha256_compress_extensions(uint32_t state[8], const uint8_t* data, uint32_t count) {
    const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i* k = reinterpret_cast<const __m128i*>(sha256_round_constants);

    // state[0..3] = A B C D, state[4..7] = E F G H  ->  ABEF and CDGH.
    __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    abcd = _mm_shuffle_epi32(abcd, 0xB1);
    efgh = _mm_shuffle_epi32(efgh, 0x1B);
    __m128i abef = _mm_alignr_epi8(abcd, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, abcd, 0xF0);

    for (; count > 0; --count, data += 64) {
        const __m128i abef_start = abef;
        const __m128i cdgh_start = cdgh;
        const __m128i* block = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(block), byte_swap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(block + 1), byte_swap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(block + 2), byte_swap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(block + 3), byte_swap);

        four_rounds(abef, cdgh, _mm_add_epi32(w0, _mm_load_si128(k)));
        four_rounds(abef, cdgh, _mm_add_epi32(w1, _mm_load_si128(k + 1)));
        four_rounds(abef, cdgh, _mm_add_epi32(w2, _mm_load_si128(k + 2)));
        four_rounds(abef, cdgh, _mm_add_epi32(w3, _mm_load_si128(k + 3)));
        for (unsigned group = 4; group < 16; group += 4) {
            w0 = next_schedule(w0, w1, w2, w3);
            four_rounds(abef, cdgh, _mm_add_epi32(w0, _mm_load_si128(k + group)));
            w1 = next_schedule(w1, w2, w3, w0);
            four_rounds(abef, cdgh, _mm_add_epi32(w1, _mm_load_si128(k + group + 1)));
            w2 = next_schedule(w2, w3, w0, w1);
            four_rounds(abef, cdgh, _mm_add_epi32(w2, _mm_load_si128(k + group + 2)));
            w3 = next_schedule(w3, w0, w1, w2);
            four_rounds(abef, cdgh, _mm_add_epi32(w3, _mm_load_si128(k + group + 3)));
        }
        abef = _mm_add_epi32(abef, abef_start);
        cdgh = _mm_add_epi32(cdgh, cdgh_start);
    }

    // ABEF and CDGH  ->  A B C D and E F G H.
    const __m128i a_b_e_f = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i g_h_c_d = _mm_shuffle_epi32(cdgh, 0xB1);
    abcd = _mm_blend_epi16(a_b_e_f, g_h_c_d, 0xF0);
    efgh = _mm_alignr_epi8(g_h_c_d, a_b_e_f, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), abcd);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), efgh);
}

}  // namespace sigverify
