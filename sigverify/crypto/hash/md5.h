// MD5 message digest (RFC 1321) over a caller-owned context.
#ifndef SIGVERIFY_MD5_H
#define SIGVERIFY_MD5_H

#include <cstdint>

namespace sigverify {

struct Md5Context {
    uint32_t state[4];      // chaining words A, B, C, D
    uint32_t bit_count[2];  // message bits fed so far, mod 2^64; [0] is the low word
    uint8_t buffer[64];     // unprocessed tail; fill level is (bit_count[0] / 8) mod 64
};

// Makes the context ready for a new message.
void md5_init(Md5Context* context);

// Feeds length bytes; a length of 0 changes nothing. Whole blocks are
// compressed straight from data, only the partial tail is copied.
void md5_update(Md5Context* context, const uint8_t* data, uint32_t length);

// Writes the 16-byte digest, then sets every byte of the context to zero:
// the context must be initialised again before reuse.
void md5_final(uint8_t digest[16], Md5Context* context);

// Digest of exactly length bytes at data; equals init, one update, final.
void md5_digest(const uint8_t* data, uint32_t length, uint8_t digest[16]);

}  // namespace sigverify

#endif
