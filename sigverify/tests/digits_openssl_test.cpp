// Products, division and exponentiation against OpenSSL's BIGNUM on random
// operands.
#include <gtest/gtest.h>

#include <string>

#include "openssl_bn.h"
#include "test_digits.h"

using namespace sigverify;  // the code under test

namespace {

class DigitsAgainstOpenSsl : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(context_, nullptr); }
    void TearDown() override { BN_CTX_free(context_); }
    // digits_mod_exp(x, e, m) against BN_mod_exp, over the arrays' length.
    void expect_mod_exp_agrees(const Digits& x, const Digits& e, const Digits& m) {
        const uint32_t n = static_cast<uint32_t>(m.size());
        Bn expected(BN_new());
        ASSERT_TRUE(BN_mod_exp(
            expected.get(), bn_from_digits(x).get(), bn_from_digits(e).get(), bn_from_digits(m).get(), context_));
        Digits y(n);
        int status = 0;
        ASSERT_EQ(digits_mod_exp(y.data(), x.data(), e.data(), m.data(), n, &status), 0);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(y, digits_from_bn(expected.get(), n));
    }

    BN_CTX* context_ = BN_CTX_new();
    TestRandom random_{41};
};

TEST_F(DigitsAgainstOpenSsl, MulAndSquare) {
    for (int round = 0; round < 100; ++round) {
        const uint32_t n = 1 + random_.below(70);
        const Digits u = random_.digits(n), v = random_.digits(n);
        Bn expected(BN_new());
        ASSERT_TRUE(BN_mul(expected.get(), bn_from_digits(u).get(), bn_from_digits(v).get(), context_));
        Digits w(2 * n);
        digits_mul(w.data(), u.data(), v.data(), n);
        ASSERT_EQ(w, digits_from_bn(expected.get(), 2 * n)) << n << " digits";
        ASSERT_TRUE(BN_sqr(expected.get(), bn_from_digits(u).get(), context_));
        digits_square(w.data(), u.data(), n);
        ASSERT_EQ(w, digits_from_bn(expected.get(), 2 * n)) << n << " digits";
    }
}

TEST_F(DigitsAgainstOpenSsl, DivideUpTo130Digits) {
    for (int round = 0; round < 1000; ++round) {
        const uint32_t un = 1 + random_.below(130);
        const uint32_t vn = 1 + random_.below(un);
        Digits u = random_.digits(un);
        Digits v = random_.digits(vn);
        if (random_.below(4) == 0) v[vn - 1] = random_.below(16);  // short divisors too
        if (digits_used(v.data(), vn) == 0) v[0] = 1 + random_.below(5);
        const Digits v_before = v;
        Bn quotient(BN_new()), remainder(BN_new());
        ASSERT_TRUE(
            BN_div(quotient.get(), remainder.get(), bn_from_digits(u).get(), bn_from_digits(v).get(), context_));
        Digits q(un), r(un);
        ASSERT_EQ(digits_divide(q.data(), r.data(), u.data(), un, v.data(), vn), 0);
        SCOPED_TRACE("un " + std::to_string(un) + ", vn " + std::to_string(vn));
        ASSERT_EQ(q, digits_from_bn(quotient.get(), un));
        ASSERT_EQ(r, digits_from_bn(remainder.get(), un));
        ASSERT_EQ(v, v_before);
    }
}

TEST_F(DigitsAgainstOpenSsl, ModExp65537On2048Bits) {
    const uint32_t n = 64;
    Digits e(n, 0);
    e[0] = 65537;
    for (int round = 0; round < 40; ++round) {
        Digits m = random_.digits(n);
        m[n - 1] |= random_.below(2) == 0 ? 0x80000000u : 0x00010000u;  // top bit set or not
        m[0] |= 1;
        Digits x = random_.digits(n);
        x[n - 1] = random_.below(m[n - 1]);  // x < m
        SCOPED_TRACE("round " + std::to_string(round));
        expect_mod_exp_agrees(x, e, m);
    }
}

TEST_F(DigitsAgainstOpenSsl, ModExpWithModuliShorterThanTheArrays) {
    // Moduli of 2 to 70 significant digits, their top bits anywhere, in arrays
    // up to 8 digits longer; x below m or not.
    for (int round = 0; round < 60; ++round) {
        const uint32_t used = 2 + random_.below(69);
        const uint32_t n = used + random_.below(9);
        Digits m = random_.digits(n);
        for (uint32_t i = used; i < n; ++i) m[i] = 0;
        m[used - 1] = random_.next() >> random_.below(32);
        if (m[used - 1] == 0) m[used - 1] = 1;
        Digits x = random_.digits(n);  // most often above m
        if (random_.below(2) == 0) {
            x = m;
            x[used - 1] >>= 1;  // below m
        }
        Digits e(n, 0);
        e[0] = round % 3 == 0 ? 65537 : 2 + random_.below(5000);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(used) + " digits used");
        expect_mod_exp_agrees(x, e, m);
    }
}

}  // namespace
