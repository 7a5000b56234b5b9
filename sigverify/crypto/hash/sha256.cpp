// Implements SHA-256 (FIPS 180-2): the portable block compression, the
// choice of compression, and the incremental and one-call interfaces.
#include "sha256.h"

#include <cstring>

#include "byte_order.h"
#include "sha256_compress.h"
#include "wipe.h"

namespace sigverify {

namespace {

bool extensions_allowed = true;

inline uint32_t big_sigma0(uint32_t x) { return rotate_right(x, 2) ^ rotate_right(x, 13) ^ rotate_right(x, 22); }
inline uint32_t big_sigma1(uint32_t x) { return rotate_right(x, 6) ^ rotate_right(x, 11) ^ rotate_right(x, 25); }
inline uint32_t small_sigma0(uint32_t x) { return rotate_right(x, 7) ^ rotate_right(x, 18) ^ (x >> 3); }
inline uint32_t small_sigma1(uint32_t x) { return rotate_right(x, 17) ^ rotate_right(x, 19) ^ (x >> 10); }

// One round; the caller rotates the roles of the eight working variables.
inline void round_step(uint32_t a,
                       uint32_t b,
                       uint32_t c,
                       uint32_t& d,
                       uint32_t e,
                       uint32_t f,
                       uint32_t g,
                       uint32_t& h,
                       uint32_t k_plus_w) {
    const uint32_t t1 = h + big_sigma1(e) + (g ^ (e & (f ^ g))) + k_plus_w;
    const uint32_t t2 = big_sigma0(a) + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2;
}

void compress(uint32_t state[8], const uint8_t* data, uint32_t count) {
    if (count == 0) return;
    if (extensions_allowed && sha256_cpu_has_extensions()) {
        sha256_compress_extensions(state, data, count);
    } else {
        sha256_compress_portable(state, data, count);
    }
}

}  // namespace

void sha256_compress_portable(uint32_t state[8], const uint8_t* data, uint32_t count) {
    for (; count > 0; --count, data += 64) {
        uint32_t w[16];
        for (unsigned i = 0; i < 16; ++i) w[i] = load_be32(data + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        // Eight rounds per pass, so the variables return to their places; from
        // round 16 on, w is the rolling 16-word window of the schedule.
        for (unsigned i = 0; i < 64; i += 8) {
            if (i >= 16) {
                for (unsigned j = 0; j < 8; ++j) {
                    const unsigned t = i + j;
                    w[t & 15] += small_sigma1(w[(t - 2) & 15]) + w[(t - 7) & 15] + small_sigma0(w[(t - 15) & 15]);
                }
            }
            const uint32_t* k = sha256_round_constants + i;
            const unsigned o = i & 15;
            round_step(a, b, c, d, e, f, g, h, k[0] + w[o]);
            round_step(h, a, b, c, d, e, f, g, k[1] + w[o + 1]);
            round_step(g, h, a, b, c, d, e, f, k[2] + w[o + 2]);
            round_step(f, g, h, a, b, c, d, e, k[3] + w[o + 3]);
            round_step(e, f, g, h, a, b, c, d, k[4] + w[o + 4]);
            round_step(d, e, f, g, h, a, b, c, k[5] + w[o + 5]);
            round_step(c, d, e, f, g, h, a, b, k[6] + w[o + 6]);
            round_step(b, c, d, e, f, g, h, a, k[7] + w[o + 7]);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

void sha256_allow_extensions(bool allow) { extensions_allowed = allow; }

void sha256_init(Sha256Context* context) {
    static const uint32_t initial[8] = {
        0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    context->total_length = 0;
    context->buffered_length = 0;
    std::memset(context->block, 0, sizeof context->block);
    std::memcpy(context->state, initial, sizeof initial);
}

void sha256_update(Sha256Context* context, const uint8_t* data, uint32_t length) {
    const uint32_t buffered = context->buffered_length;
    const uint32_t room = 64 - buffered;
    const uint32_t first = length < room ? length : room;
    if (first != 0) std::memcpy(context->block + buffered, data, first);
    if (length < room) {
        context->buffered_length = buffered + length;
        return;
    }
    compress(context->state, context->block, 1);
    const uint32_t rest = length - first;
    const uint32_t blocks = rest / 64;
    compress(context->state, data + first, blocks);
    const uint32_t tail = rest & 63;
    if (tail != 0) std::memcpy(context->block, data + first + 64 * blocks, tail);
    context->buffered_length = tail;
    context->total_length += 64 * (static_cast<uint64_t>(blocks) + 1);
}

void sha256_final(Sha256Context* context, uint8_t digest[32]) {
    const uint32_t buffered = context->buffered_length & 63;
    const uint32_t blocks = buffered <= 55 ? 1 : 2;
    std::memset(context->block + buffered, 0, 64 * blocks - buffered);
    context->block[buffered] = 0x80;
    const uint64_t bits = (context->total_length + context->buffered_length) * 8;
    store_be64(context->block + 64 * blocks - 8, bits);
    compress(context->state, context->block, blocks);
    for (unsigned i = 0; i < 8; ++i) store_be32(digest + 4 * i, context->state[i]);
}

void sha256_digest(const uint8_t* data, uint32_t length, uint8_t digest[32]) {
    Sha256Context context;
    sha256_init(&context);
    sha256_update(&context, data, length);
    sha256_final(&context, digest);
    wipe_bytes(&context, sizeof context);
}

}  // namespace sigverify
