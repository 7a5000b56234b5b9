// SHA-256 message digest (FIPS 180-2) over a caller-owned context.
#ifndef SIGVERIFY_SHA256_H
#define SIGVERIFY_SHA256_H

#include <cstdint>

namespace sigverify {

struct Sha256Context {
    uint64_t total_length;     // bytes already compressed (whole blocks only)
    uint32_t buffered_length;  // bytes waiting in block, 0 to 63 between calls
    uint8_t block[128];        // waiting input; two blocks so the padding may span both
    uint32_t state[8];         // H0..H7
};

// Makes the context ready for a new message.
void sha256_init(Sha256Context* context);

// Feeds length bytes. Whole blocks are compressed straight from data.
void sha256_update(Sha256Context* context, const uint8_t* data, uint32_t length);

// Writes the 32-byte digest. The context is left in its final state, not wiped.
void sha256_final(Sha256Context* context, uint8_t digest[32]);

// Digest of exactly length bytes at data, on a context local to the call.
void sha256_digest(const uint8_t* data, uint32_t length, uint8_t digest[32]);

}  // namespace sigverify

#endif
