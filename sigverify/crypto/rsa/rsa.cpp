// Runs the RSA public-key operation with message recovery and checks the
// recovered message's trailer (length field and MD5 of the body).
#include "rsa.h"

#include "bignum.h"
#include "byte_order.h"
#include "md5.h"

namespace sigverify {

namespace {

const uint8_t public_exponent[4] = {0x00, 0x01, 0x00, 0x01};

}  // namespace

uint32_t rsa_open_signature(
    const uint8_t* signature, uint8_t* message, const uint8_t* modulus, uint32_t key_bits, uint8_t* work) {
    BigNum* n = bignum_new();
    BigNum* e = bignum_new();
    BigNum* s = bignum_new();
    BigNum* m = bignum_new();
    uint32_t result = 0;
    if (n != nullptr && e != nullptr && s != nullptr && m != nullptr) {
        const uint32_t k = key_bits / 8;
        // A load that runs out of memory leaves its number zero; the steps run
        // on all the same and the trailer check then fails.
        bignum_from_bytes(n, modulus, k);
        bignum_from_bytes(e, public_exponent, sizeof public_exponent);
        bignum_from_bytes(s, signature, k);
        bignum_mod_exp(m, s, e, n);

        // m < n < 256^k, so it never needs more than k bytes; it is written
        // without leading zero bytes, at the front of the buffer.
        const uint32_t significant = bignum_to_bytes(m, nullptr, 0);
        if (significant <= k) bignum_to_bytes(m, message, significant);

        // The trailer needs 32 bytes; a shorter key cannot hold one.
        if (significant <= k && k >= 32) {
            const uint32_t d = load_le32(message + k - 16);
            if (d <= k - 32) {
                md5_digest(message, d, work);
                const uint32_t p = d + (key_bits - d) % 16;
                uint8_t difference = 0;
                for (uint32_t i = 0; i < 16; ++i) difference |= static_cast<uint8_t>(message[p + i] ^ work[i]);
                if (difference == 0) result = d;
            }
        }
    }
    bignum_free(&n);
    bignum_free(&e);
    bignum_free(&s);
    bignum_free(&m);
    return result;
}

}  // namespace sigverify
