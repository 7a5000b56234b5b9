// rsa_open_signature on signatures made with a throwaway test key by our own
// exponentiation, so that the trailer cases run on every build.
#include <gtest/gtest.h>

#include "digits.h"
#include "rsa_cases.h"
#include "test_key.h"

using namespace sigverify;  // the code under test

namespace {

Bytes private_operation(const Bytes& message) {
    const uint32_t n = rsa_k / 4;
    std::vector<uint32_t> x(n), d(n), m(n), y(n);
    const Bytes modulus = from_hex(test_key_modulus_hex());
    const Bytes exponent = from_hex(test_key_private_exponent_hex());
    digits_from_bytes(x.data(), n, message.data(), rsa_k);
    digits_from_bytes(d.data(), n, exponent.data(), size32(exponent.size()));
    digits_from_bytes(m.data(), n, modulus.data(), size32(modulus.size()));
    int status = 0;
    EXPECT_EQ(digits_mod_exp(y.data(), x.data(), d.data(), m.data(), n, &status), 0);
    Bytes signature(rsa_k);
    digits_to_bytes(y.data(), n, signature.data(), rsa_k);
    return signature;
}

RawSigner test_key() { return {from_hex(test_key_modulus_hex()), private_operation}; }

TEST(RsaOpenSignature, TrailerCasesWithTheTestKey) { run_rsa_trailer_cases(test_key()); }

TEST(RsaOpenSignature, AllocationFailuresWithTheTestKey) { run_rsa_allocation_failures(test_key()); }

TEST(RsaOpenSignature, KeyTooShortForATrailerGivesZero) {
    // 64-bit key: k = 8 < 32, so no trailer can fit; nothing is read beyond k.
    const Bytes modulus = from_hex("c5a3b1e9f0d27b13");
    const Bytes signature = from_hex("0102030405060708");
    Bytes message(8, 0), work(16, 0);
    EXPECT_EQ(rsa_open_signature(signature.data(), message.data(), modulus.data(), 64, work.data()), 0u);
}

}  // namespace
