// The digit-array products: word product, schoolbook multiplication against
// long-hand sums, squaring against multiplication, and multiply-subtract.
#include <gtest/gtest.h>

#include <string>

#include "digits.h"
#include "test_digits.h"

using namespace sigverify;  // the code under test

namespace {

// u * v by adding shifted one-digit products, independent of digits_mul.
Digits reference_product(const Digits& u, const Digits& v) {
    Digits w(u.size() + v.size() + 1, 0);
    for (size_t j = 0; j < v.size(); ++j) {
        for (size_t i = 0; i < u.size(); ++i) {
            uint64_t carry = static_cast<uint64_t>(u[i]) * v[j];
            for (size_t k = i + j; carry != 0; ++k) {
                carry += w[k];
                w[k] = static_cast<uint32_t>(carry);
                carry >>= 32;
            }
        }
    }
    w.resize(u.size() + v.size());
    return w;
}

TEST(WordMul, ExtremeAndOrdinaryProducts) {
    uint32_t out[2];
    word_mul(out, 0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(out[0], 1u);
    EXPECT_EQ(out[1], 0xFFFFFFFEu);
    word_mul(out, 0x12345678u, 0x9ABCDEF0u);
    EXPECT_EQ(out[0], 0x242D2080u);
    EXPECT_EQ(out[1], 0x0B00EA4Eu);
    word_mul(out, 0, 0xFFFFFFFFu);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0u);
}

TEST(DigitsMul, MatchesLongHandOnRandomOperands) {
    TestRandom random(11);
    for (uint32_t n : {1u, 2u, 3u, 7u, 16u, 64u, 65u}) {
        for (int round = 0; round < 20; ++round) {
            const Digits u = random.digits(n), v = random.digits(n);
            Digits w(2 * n, 0xCCCCCCCCu);
            digits_mul(w.data(), u.data(), v.data(), n);
            ASSERT_EQ(w, reference_product(u, v)) << n << " digits";
        }
    }
}

TEST(DigitsMul, ZeroDigitsAndAllOnes) {
    const Digits ones(8, 0xFFFFFFFFu);
    Digits sparse(8, 0);
    sparse[3] = 0xFFFFFFFFu;
    Digits w(16, 0xCCCCCCCCu);
    digits_mul(w.data(), ones.data(), sparse.data(), 8);
    EXPECT_EQ(w, reference_product(ones, sparse));
    const Digits zero(8, 0);
    w.assign(16, 0xCCCCCCCCu);
    digits_mul(w.data(), ones.data(), zero.data(), 8);
    EXPECT_EQ(w, Digits(16, 0));
    w.assign(16, 0xCCCCCCCCu);
    digits_mul(w.data(), ones.data(), ones.data(), 8);
    EXPECT_EQ(w, reference_product(ones, ones));
}

// digits_square of x against digits_mul(x, x).
void expect_square_of(const Digits& x) {
    const uint32_t n = static_cast<uint32_t>(x.size());
    Digits squared(2 * n, 0xCCCCCCCCu), product(2 * n, 0x33333333u);
    digits_square(squared.data(), x.data(), n);
    digits_mul(product.data(), x.data(), x.data(), n);
    ASSERT_EQ(squared, product) << n << " digits";
}

TEST(DigitsSquare, AgreesWithMul) {
    TestRandom random(12);
    for (uint32_t n = 1; n <= 130; ++n) {
        SCOPED_TRACE(n);
        for (int round = 0; round < 3; ++round) expect_square_of(random.digits(n));
        expect_square_of(Digits(n, 0xFFFFFFFFu));
        expect_square_of(Digits(n, 0));
        // Sparse: a few digits set, the top one among them (or not).
        Digits sparse(n, 0);
        sparse[random.below(n)] = random.next();
        sparse[random.below(n)] = 0xFFFFFFFFu;
        expect_square_of(sparse);
        sparse[n - 1] = 0xFFFFFFFFu;
        expect_square_of(sparse);
    }
}

// Squares with long runs of all-ones digits, where the carries travel far:
// (2^32m - 1) * 2^32s + 1 and 2^32n - 2^32s - 1, among others.
TEST(DigitsSquare, CarriesRunThroughAllOnes) {
    for (uint32_t n : {2u, 7u, 8u, 9u, 16u, 17u, 63u, 64u, 65u, 127u, 128u}) {
        for (uint32_t s = 0; s < n; s += 1 + n / 8) {
            Digits x(n, 0);
            for (uint32_t i = s; i < n; ++i) x[i] = 0xFFFFFFFFu;
            x[0] += 1;
            expect_square_of(x);
            Digits y(n, 0xFFFFFFFFu);
            y[s] = 0xFFFFFFFEu;
            expect_square_of(y);
            Digits z(n, 0);
            z[n - 1] = 1u << 16;
            z[s] |= 0xFFFF0000u;
            expect_square_of(z);
        }
    }
}

TEST(DigitsMulSub, SubtractsTheProductAndReportsTheBorrow) {
    TestRandom random(13);
    for (int round = 0; round < 200; ++round) {
        const uint32_t n = 1 + random.below(9);
        const Digits v = random.digits(n);
        const uint32_t qd = random.next();
        Digits w = random.digits(n);
        const uint32_t top = random.next();
        // Expected: (top:w) - qd * v over n + 1 digits, wrapping.
        Digits wide = w;
        wide.push_back(top);
        const Digits product = reference_product(v, Digits{qd});
        uint64_t borrow = 0;
        for (uint32_t i = 0; i <= n; ++i) {
            const uint64_t diff = static_cast<uint64_t>(wide[i]) - product[i] - borrow;
            wide[i] = static_cast<uint32_t>(diff);
            borrow = (diff >> 32) != 0 ? 1 : 0;
        }
        const uint32_t result = digits_mul_sub(top, w.data(), v.data(), qd, n);
        EXPECT_EQ(result, wide[n]);
        wide.pop_back();
        EXPECT_EQ(w, wide);
    }
}

TEST(DigitsMulSub, ZeroQuotientDigitChangesNothing) {
    Digits w = {1, 2, 3};
    const Digits v = {4, 5, 6};
    EXPECT_EQ(digits_mul_sub(77, w.data(), v.data(), 0, 3), 77u);
    EXPECT_EQ(w, (Digits{1, 2, 3}));
}

}  // namespace
