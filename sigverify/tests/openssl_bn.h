// Conversions between digit arrays and OpenSSL's BIGNUM for the reference
// comparisons.
#ifndef SIGVERIFY_TESTS_OPENSSL_BN_H
#define SIGVERIFY_TESTS_OPENSSL_BN_H

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <memory>
#include <vector>

#include "digits.h"

struct BnFree {
    void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

inline Bn bn_from_digits(const std::vector<uint32_t>& digits) {
    const uint32_t n = static_cast<uint32_t>(digits.size());
    std::vector<uint8_t> bytes(4 * digits.size() + 1);
    sigverify::digits_to_bytes(digits.data(), n, bytes.data(), static_cast<uint32_t>(bytes.size()));
    return Bn(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

inline std::vector<uint32_t> digits_from_bn(const BIGNUM* bn, uint32_t n) {
    std::vector<uint8_t> bytes(4 * static_cast<size_t>(n));
    EXPECT_GE(BN_bn2binpad(bn, bytes.data(), static_cast<int>(bytes.size())), 0);
    std::vector<uint32_t> digits(n);
    sigverify::digits_from_bytes(digits.data(), n, bytes.data(), static_cast<uint32_t>(bytes.size()));
    return digits;
}

#endif
