// The RSA public-key operation with message recovery, and the check of the
// recovered message's trailer.
#ifndef SIGVERIFY_RSA_H
#define SIGVERIFY_RSA_H

#include <cstdint>

namespace sigverify {

// Computes m = s^65537 mod n for the signature s and the modulus n, both
// key_bits / 8 bytes, big-endian, and writes m into message (at least
// key_bits / 8 bytes) without leading zero bytes, at the front of the buffer;
// bytes beyond those written keep their content. Then checks the trailer: the
// length d, little-endian at key_bits / 8 - 16, must be at most k - 32, and
// the MD5 of the first d message bytes (left in work, at least 16 bytes) must
// stand at p = d + ((key_bits - d) mod 16), d rounded up to a multiple of 16.
// Returns d when the trailer checks out, 0 otherwise (including when memory
// runs out).
uint32_t rsa_open_signature(
    const uint8_t* signature, uint8_t* message, const uint8_t* modulus, uint32_t key_bits, uint8_t* work);

}  // namespace sigverify

#endif
