// Division: the word division, division by one digit and the long division,
// on the edge cases and on random operands checked by u = q * v + r, r < v;
// the long division in each of its forms.
#include <gtest/gtest.h>

#include <cstddef>

#include "digits.h"
#include "test_digits.h"

using namespace sigverify;  // the code under test

namespace {

TEST(WordDiv, QuotientBit32AndRemainder) {
    uint32_t q = 7, r = 7;
    EXPECT_EQ(word_div(&q, &r, 0, 100, 0x80000000u), 0);
    EXPECT_EQ(q, 0u);
    EXPECT_EQ(r, 100u);
    // hi = d: the quotient has bit 32 set.
    EXPECT_EQ(word_div(&q, &r, 0x80000000u, 5, 0x80000000u), 1);
    EXPECT_EQ(q, 0u);
    EXPECT_EQ(r, 5u);
    EXPECT_EQ(word_div(&q, &r, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000000u), 1);
    EXPECT_EQ(q, 0xFFFFFFFFu);
    EXPECT_EQ(r, 0x7FFFFFFFu);
    EXPECT_EQ(word_div(&q, &r, 0x12345678u, 0x9ABCDEF0u, 0xFEDCBA98u), 0);
    const uint64_t dividend = 0x123456789ABCDEF0ull;
    EXPECT_EQ(q, static_cast<uint32_t>(dividend / 0xFEDCBA98u));
    EXPECT_EQ(r, static_cast<uint32_t>(dividend % 0xFEDCBA98u));
}

TEST(WordDiv, DivisorWithoutTopBitIsRefused) {
    uint32_t q = 7, r = 7;
    EXPECT_EQ(word_div(&q, &r, 0, 100, 0x7FFFFFFFu), -1);
    EXPECT_EQ(q, 0u);
    EXPECT_EQ(r, 0u);
}

TEST(DigitsDivWord, AgainstSixtyFourBitArithmetic) {
    TestRandom random(21);
    for (int round = 0; round < 500; ++round) {
        const Digits u = random.digits(2);
        uint32_t d = random.next() >> random.below(32);
        if (d == 0) d = 3;
        Digits q(2, 0xCCCCCCCCu);
        const uint64_t value = static_cast<uint64_t>(u[1]) << 32 | u[0];
        EXPECT_EQ(digits_div_word(q.data(), u.data(), d, 2), static_cast<uint32_t>(value % d));
        EXPECT_EQ(static_cast<uint64_t>(q[1]) << 32 | q[0], value / d);
    }
}

TEST(DigitsDivWord, ZeroCountOrDivisorLeavesQuotientAlone) {
    const Digits u = {10, 20};
    Digits q = {1, 2};
    EXPECT_EQ(digits_div_word(q.data(), u.data(), 0, 2), 0u);
    EXPECT_EQ(digits_div_word(q.data(), u.data(), 7, 0), 0u);
    EXPECT_EQ(q, (Digits{1, 2}));
}

// Checks u = q * v + r and r < v over the un digits, and that v is unchanged.
void expect_division_holds(const Digits& u, Digits v) {
    const uint32_t un = static_cast<uint32_t>(u.size());
    const uint32_t vn = static_cast<uint32_t>(v.size());
    const Digits v_before = v;
    Digits q(un, 0xCCCCCCCCu), r(un, 0xCCCCCCCCu);
    ASSERT_EQ(digits_divide(q.data(), r.data(), u.data(), un, v.data(), vn), 0);
    ASSERT_EQ(v, v_before) << "the divisor must be restored";
    // Work over un + vn digits: q * v fits there.
    const uint32_t wide = un + vn;
    Digits qw(wide, 0), vw(wide, 0), rw(wide, 0), product(2 * wide), uw(wide, 0);
    std::copy(q.begin(), q.end(), qw.begin());
    std::copy(v.begin(), v.end(), vw.begin());
    std::copy(r.begin(), r.end(), rw.begin());
    std::copy(u.begin(), u.end(), uw.begin());
    digits_mul(product.data(), qw.data(), vw.data(), wide);
    EXPECT_EQ(digits_add(product.data(), product.data(), rw.data(), wide), 0u);
    EXPECT_EQ(Digits(product.data(), product.data() + wide), uw) << "u = q * v + r";
    EXPECT_EQ(digits_used(product.data() + wide, wide), 0u);
    EXPECT_EQ(digits_compare(rw.data(), vw.data(), wide), -1) << "r < v";
}

TEST(DigitsDivide, EdgeCases) {
    const Digits big = {0x11111111u, 0x22222222u, 0x33333333u};
    // A number by itself: quotient 1, remainder 0.
    Digits v = big;
    Digits q(3), r(3);
    ASSERT_EQ(digits_divide(q.data(), r.data(), big.data(), 3, v.data(), 3), 0);
    EXPECT_EQ(q, (Digits{1, 0, 0}));
    EXPECT_EQ(r, (Digits{0, 0, 0}));
    // A smaller by a larger number: quotient 0, the smaller as remainder.
    const Digits small = {5, 6, 0};
    ASSERT_EQ(digits_divide(q.data(), r.data(), small.data(), 3, v.data(), 3), 0);
    EXPECT_EQ(q, (Digits{0, 0, 0}));
    EXPECT_EQ(r, small);
    const Digits same_length = {0x11111110u, 0x22222222u, 0x33333333u};
    ASSERT_EQ(digits_divide(q.data(), r.data(), same_length.data(), 3, v.data(), 3), 0);
    EXPECT_EQ(q, (Digits{0, 0, 0}));
    EXPECT_EQ(r, same_length);
    // By one digit (the divisor's other digits zero).
    Digits one_digit = {7, 0};
    ASSERT_EQ(digits_divide(q.data(), r.data(), big.data(), 3, one_digit.data(), 2), 0);
    Digits expected_q(3);
    const uint32_t expected_r = digits_div_word(expected_q.data(), big.data(), 7, 3);
    EXPECT_EQ(q, expected_q);
    EXPECT_EQ(r, (Digits{expected_r, 0, 0}));
    // By zero: -1, q and r zero.
    Digits zero = {0, 0};
    q.assign(3, 9);
    r.assign(3, 9);
    EXPECT_EQ(digits_divide(q.data(), r.data(), big.data(), 3, zero.data(), 2), -1);
    EXPECT_EQ(q, (Digits{0, 0, 0}));
    EXPECT_EQ(r, (Digits{0, 0, 0}));
}

TEST(DigitsDivide, CornerOperandsForTheEstimate) {
    // Divisors whose top digit is all ones or just the top bit, dividends whose
    // leading digits equal the divisor's: the estimate overflows or is two too big.
    const std::vector<std::pair<Digits, Digits>> cases = {
        {{0, 0, 0x80000000u}, {0xFFFFFFFFu, 0x80000000u}},
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, {0xFFFFFFFFu, 0xFFFFFFFFu}},
        {{0, 0, 0x7FFFFFFFu, 0x80000000u}, {1, 0, 0x80000000u}},
        {{0, 0xFFFFFFFEu, 0x80000000u}, {0xFFFFFFFFu, 0x80000000u}},
        {{0x00000000u, 0x00000000u, 0x00008000u}, {0x00000001u, 0x00008000u}},
        {{3, 0, 0, 0, 1}, {1, 0, 1}},
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0x00000001u}, {0xFFFFFFFFu, 0x00000001u}},
    };
    for (const auto& c : cases) expect_division_holds(c.first, c.second);
}

TEST(DigitsDivide, OperandsOfRunsOfZeroAndAllOnesDigits) {
    // Digits of 0, 1, all ones and the top bit alone make the estimate's rare
    // cases common: a top digit equal to the divisor's, one and two
    // decrements, borrows that run far up and add-backs.
    const uint32_t patterns[] = {0, 0, 1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0xFFFFFFFEu};
    TestRandom random(23);
    for (int round = 0; round < 3000; ++round) {
        const uint32_t un = 5 + random.below(60);
        const uint32_t vn = 2 + random.below(un - 1);
        Digits u(un), v(vn);
        const auto pick = [&]() { return random.below(8) == 0 ? random.next() : patterns[random.below(7)]; };
        for (uint32_t& digit : u) digit = pick();
        for (uint32_t& digit : v) digit = pick();
        if (digits_used(v.data(), vn) == 0) v[0] = 1;
        SCOPED_TRACE("round " + std::to_string(round));
        expect_division_holds(u, v);
    }
}

TEST(DigitsDivide, RandomOperandsUpTo130Digits) {
    TestRandom random(22);
    for (int round = 0; round < 400; ++round) {
        const uint32_t un = 1 + random.below(130);
        const uint32_t vn = 2 + random.below(un < 2 ? 1 : un);
        Digits u = random.digits(un);
        Digits v = random.digits(vn);
        // Vary the significant lengths as well as the array lengths.
        if (random.below(3) == 0) u.back() = 0;
        if (v[vn - 1] == 0 && v[vn - 2] == 0) v[vn - 1] = 1 + random.below(100);
        if (digits_used(v.data(), vn) == 0) v[0] = 1;
        SCOPED_TRACE("un " + std::to_string(un) + ", vn " + std::to_string(vn));
        expect_division_holds(u, v);
    }
}

// Divisions of the exponentiation's size, 128 digits by 64, built so that
// a chosen step goes negative and needs v added back, or leaves a partial
// remainder whose digits below the estimate's three are 0 or all ones,
// where a form that settles its carries late must look closer.
TEST(DigitsDivide, ShapedPartialRemaindersOfTheExponentiationSize) {
    constexpr uint32_t n = 64;
    TestRandom random(24);
    // v = 2^2047 + 1: a step whose top digits equal v's estimates one too
    // many when the digits below them are zero.
    Digits v_sparse(n, 0);
    v_sparse[0] = 1;
    v_sparse[n - 1] = 0x80000000u;
    Digits add_back(2 * n, 0);
    add_back[2 * n - 1] = 0x80000000u;
    expect_division_holds(add_back, v_sparse);
    Digits add_back_low(n + 1, 0);
    add_back_low[n] = 0x80000000u;
    expect_division_holds(add_back_low, v_sparse);

    // u = (Q * v + R) * 2^(32(k + 1)) + low * 2^(32k): the step that leaves
    // (Q * v + R) mod v has R as its partial remainder, with three digits
    // from the one named set to the value given (three, so that they stay so
    // when the division shifts v's top bit into place).
    struct Shape {
        uint32_t first;  // R[first .. first + 2] ...
        uint32_t value;  // ... are set to this
        uint32_t shift;  // k: the quotient's digits below the shaped step
    };
    const Shape shapes[] = {
        {n - 6, 0, 0}, {n - 6, 0xFFFFFFFFu, 0}, {n - 6, 0, 3}, {n - 5, 0, 9}, {n - 7, 0xFFFFFFFFu, 20}, {n - 6, 0, 40}};
    for (const Shape& shape : shapes) {
        for (int round = 0; round < 20; ++round) {
            Digits v = random.digits(n);
            v[n - 1] |= 1u << random.below(32);
            Digits r = random.digits(n);
            r[n - 1] = random.below(v[n - 1]);  // R < v
            r[shape.first] = r[shape.first + 1] = r[shape.first + 2] = shape.value;
            const uint32_t q_digits = n - 1 - shape.shift;
            Digits q = random.digits(q_digits);
            // Q * v + R over 2n digits, then the shifts.
            Digits qw(n, 0), product(2 * n);
            std::copy(q.begin(), q.end(), qw.begin());
            digits_mul(product.data(), qw.data(), v.data(), n);
            Digits rw(2 * n, 0);
            std::copy(r.begin(), r.end(), rw.begin());
            digits_add(product.data(), product.data(), rw.data(), 2 * n);
            Digits u(shape.shift + 1, 0);
            u[shape.shift] = random.next();
            u.insert(u.end(),
                     product.begin(),
                     product.begin() + static_cast<std::ptrdiff_t>(n + q_digits));  // 2n digits in all
            SCOPED_TRACE("shape at " + std::to_string(shape.first) + ", round " + std::to_string(round));
            expect_division_holds(u, v);
        }
    }
}

}  // namespace
