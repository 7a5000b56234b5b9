// Implements MD5 (RFC 1321): the block compression, the incremental
// interface and the one-call digest.
#include "md5.h"

#include <cstring>

#include "byte_order.h"
#include "wipe.h"

namespace sigverify {

namespace {

// Each step: a := b + ((a + f(b, c, d) + x + t) <<< s).
inline void step_f(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, unsigned s) {
    a = b + rotate_left(a + (d ^ (b & (c ^ d))) + x + t, s);
}
inline void step_g(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, unsigned s) {
    // (b & d) | (c & ~d), as a sum of two disjoint terms.
    a = b + rotate_left(a + (b & d) + (c & ~d) + x + t, s);
}
inline void step_h(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, unsigned s) {
    a = b + rotate_left(a + (b ^ c ^ d) + x + t, s);
}
inline void step_i(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, unsigned s) {
    a = b + rotate_left(a + (c ^ (b | ~d)) + x + t, s);
}

// Compresses count 64-byte blocks from data into state.
void md5_compress(uint32_t state[4], const uint8_t* data, uint32_t count) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; count > 0; --count, data += 64) {
        uint32_t x[16];
        for (unsigned i = 0; i < 16; ++i) x[i] = load_le32(data + 4 * i);
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        step_f(a, b, c, d, x[0], 0xd76aa478, 7);
        step_f(d, a, b, c, x[1], 0xe8c7b756, 12);
        step_f(c, d, a, b, x[2], 0x242070db, 17);
        step_f(b, c, d, a, x[3], 0xc1bdceee, 22);
        step_f(a, b, c, d, x[4], 0xf57c0faf, 7);
        step_f(d, a, b, c, x[5], 0x4787c62a, 12);
        step_f(c, d, a, b, x[6], 0xa8304613, 17);
        step_f(b, c, d, a, x[7], 0xfd469501, 22);
        step_f(a, b, c, d, x[8], 0x698098d8, 7);
        step_f(d, a, b, c, x[9], 0x8b44f7af, 12);
        step_f(c, d, a, b, x[10], 0xffff5bb1, 17);
        step_f(b, c, d, a, x[11], 0x895cd7be, 22);
        step_f(a, b, c, d, x[12], 0x6b901122, 7);
        step_f(d, a, b, c, x[13], 0xfd987193, 12);
        step_f(c, d, a, b, x[14], 0xa679438e, 17);
        step_f(b, c, d, a, x[15], 0x49b40821, 22);

        step_g(a, b, c, d, x[1], 0xf61e2562, 5);
        step_g(d, a, b, c, x[6], 0xc040b340, 9);
        step_g(c, d, a, b, x[11], 0x265e5a51, 14);
        step_g(b, c, d, a, x[0], 0xe9b6c7aa, 20);
        step_g(a, b, c, d, x[5], 0xd62f105d, 5);
        step_g(d, a, b, c, x[10], 0x02441453, 9);
        step_g(c, d, a, b, x[15], 0xd8a1e681, 14);
        step_g(b, c, d, a, x[4], 0xe7d3fbc8, 20);
        step_g(a, b, c, d, x[9], 0x21e1cde6, 5);
        step_g(d, a, b, c, x[14], 0xc33707d6, 9);
        step_g(c, d, a, b, x[3], 0xf4d50d87, 14);
        step_g(b, c, d, a, x[8], 0x455a14ed, 20);
        step_g(a, b, c, d, x[13], 0xa9e3e905, 5);
        step_g(d, a, b, c, x[2], 0xfcefa3f8, 9);
        step_g(c, d, a, b, x[7], 0x676f02d9, 14);
        step_g(b, c, d, a, x[12], 0x8d2a4c8a, 20);

        step_h(a, b, c, d, x[5], 0xfffa3942, 4);
        step_h(d, a, b, c, x[8], 0x8771f681, 11);
        step_h(c, d, a, b, x[11], 0x6d9d6122, 16);
        step_h(b, c, d, a, x[14], 0xfde5380c, 23);
        step_h(a, b, c, d, x[1], 0xa4beea44, 4);
        step_h(d, a, b, c, x[4], 0x4bdecfa9, 11);
        step_h(c, d, a, b, x[7], 0xf6bb4b60, 16);
        step_h(b, c, d, a, x[10], 0xbebfbc70, 23);
        step_h(a, b, c, d, x[13], 0x289b7ec6, 4);
        step_h(d, a, b, c, x[0], 0xeaa127fa, 11);
        step_h(c, d, a, b, x[3], 0xd4ef3085, 16);
        step_h(b, c, d, a, x[6], 0x04881d05, 23);
        step_h(a, b, c, d, x[9], 0xd9d4d039, 4);
        step_h(d, a, b, c, x[12], 0xe6db99e5, 11);
        step_h(c, d, a, b, x[15], 0x1fa27cf8, 16);
        step_h(b, c, d, a, x[2], 0xc4ac5665, 23);

        step_i(a, b, c, d, x[0], 0xf4292244, 6);
        step_i(d, a, b, c, x[7], 0x432aff97, 10);
        step_i(c, d, a, b, x[14], 0xab9423a7, 15);
        step_i(b, c, d, a, x[5], 0xfc93a039, 21);
        step_i(a, b, c, d, x[12], 0x655b59c3, 6);
        step_i(d, a, b, c, x[3], 0x8f0ccc92, 10);
        step_i(c, d, a, b, x[10], 0xffeff47d, 15);
        step_i(b, c, d, a, x[1], 0x85845dd1, 21);
        step_i(a, b, c, d, x[8], 0x6fa87e4f, 6);
        step_i(d, a, b, c, x[15], 0xfe2ce6e0, 10);
        step_i(c, d, a, b, x[6], 0xa3014314, 15);
        step_i(b, c, d, a, x[13], 0x4e0811a1, 21);
        step_i(a, b, c, d, x[4], 0xf7537e82, 6);
        step_i(d, a, b, c, x[11], 0xbd3af235, 10);
        step_i(c, d, a, b, x[2], 0x2ad7d2bb, 15);
        step_i(b, c, d, a, x[9], 0xeb86d391, 21);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

void md5_store_digest(uint8_t digest[16], const uint32_t state[4]) {
    for (unsigned i = 0; i < 4; ++i) store_le32(digest + 4 * i, state[i]);
}

void md5_set_initial(uint32_t state[4]) {
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
}

}  // namespace

void md5_init(Md5Context* context) {
    md5_set_initial(context->state);
    context->bit_count[0] = 0;
    context->bit_count[1] = 0;
    std::memset(context->buffer, 0, sizeof context->buffer);
}

void md5_update(Md5Context* context, const uint8_t* data, uint32_t length) {
    if (length == 0) return;
    const uint32_t fill = (context->bit_count[0] >> 3) & 63;
    const uint32_t low_bits = length << 3;
    context->bit_count[0] += low_bits;
    if (context->bit_count[0] < low_bits) ++context->bit_count[1];
    context->bit_count[1] += length >> 29;

    const uint32_t room = 64 - fill;
    if (length < room) {
        std::memcpy(context->buffer + fill, data, length);
        return;
    }
    std::memcpy(context->buffer + fill, data, room);
    md5_compress(context->state, context->buffer, 1);
    data += room;
    length -= room;
    md5_compress(context->state, data, length / 64);
    data += length & ~63u;
    std::memcpy(context->buffer, data, length & 63);
}

void md5_final(uint8_t digest[16], Md5Context* context) {
    static const uint8_t padding[64] = {0x80};
    uint8_t length_bytes[8];
    store_le32(length_bytes, context->bit_count[0]);
    store_le32(length_bytes + 4, context->bit_count[1]);
    const uint32_t fill = (context->bit_count[0] >> 3) & 63;
    md5_update(context, padding, fill < 56 ? 56 - fill : 120 - fill);
    md5_update(context, length_bytes, 8);
    md5_store_digest(digest, context->state);
    wipe_bytes(context, sizeof *context);
}

void md5_digest(const uint8_t* data, uint32_t length, uint8_t digest[16]) {
    uint32_t state[4];
    md5_set_initial(state);
    md5_compress(state, data, length / 64);

    uint8_t last[64] = {};
    const uint32_t rest = length & 63;
    if (rest != 0) std::memcpy(last, data + (length & ~63u), rest);
    last[rest] = 0x80;
    if (rest > 55) {
        md5_compress(state, last, 1);
        std::memset(last, 0, 56);
    }
    const uint64_t bits = static_cast<uint64_t>(length) << 3;
    store_le32(last + 56, static_cast<uint32_t>(bits));
    store_le32(last + 60, static_cast<uint32_t>(bits >> 32));
    md5_compress(state, last, 1);
    md5_store_digest(digest, state);
    wipe_bytes(last, sizeof last);
    wipe_bytes(state, sizeof state);
}

}  // namespace sigverify
