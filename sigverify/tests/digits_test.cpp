// The digit-array basics: addition, comparison, counts, copies, clearing,
// shifts and the byte conversions.
#include "digits.h"

#include <gtest/gtest.h>

#include "test_digits.h"
#include "test_hex.h"

using namespace sigverify;  // the code under test

namespace {

TEST(DigitsAdd, CarriesThroughAndOut) {
    Digits u = {0xFFFFFFFFu, 0xFFFFFFFFu, 5};
    const Digits v = {1, 0, 0};
    Digits w(3);
    EXPECT_EQ(digits_add(w.data(), u.data(), v.data(), 3), 0u);
    EXPECT_EQ(w, (Digits{0, 0, 6}));
    const Digits top = {0, 0, 0xFFFFFFFAu};
    // In place: w is u.
    EXPECT_EQ(digits_add(w.data(), w.data(), top.data(), 3), 1u);
    EXPECT_EQ(w, (Digits{0, 0, 0}));
    EXPECT_EQ(digits_add(w.data(), u.data(), v.data(), 0), 0u);
}

TEST(DigitsCompare, FromTheTopDigitDown) {
    const Digits a = {5, 1}, b = {4, 2}, c = {5, 1};
    EXPECT_EQ(digits_compare(a.data(), b.data(), 2), -1);
    EXPECT_EQ(digits_compare(b.data(), a.data(), 2), 1);
    EXPECT_EQ(digits_compare(a.data(), c.data(), 2), 0);
    EXPECT_EQ(digits_compare(a.data(), b.data(), 1), 1);
    EXPECT_EQ(digits_compare(a.data(), b.data(), 0), 0);
}

TEST(DigitsCounts, UsedAndBitLength) {
    const Digits zero = {0, 0, 0};
    const Digits one = {1, 0, 0};
    const Digits high = {0, 0x00010000u, 0};
    const Digits top = {7, 0, 0x80000000u};
    EXPECT_EQ(digits_used(zero.data(), 3), 0u);
    EXPECT_EQ(digits_used(high.data(), 3), 2u);
    EXPECT_EQ(digits_used(top.data(), 0), 0u);
    EXPECT_EQ(digits_bit_length(zero.data(), 3), 0u);
    EXPECT_EQ(digits_bit_length(one.data(), 3), 1u);
    EXPECT_EQ(digits_bit_length(high.data(), 3), 49u);
    EXPECT_EQ(digits_bit_length(top.data(), 3), 96u);
    EXPECT_EQ(digits_bit_length(top.data(), 0), 0u);
    EXPECT_EQ(digits_bit_length(nullptr, 3), 0u);
}

TEST(DigitsCopyClearSet, TouchExactlyTheirDigits) {
    Digits w = {1, 2, 3, 4};
    const Digits u = {9, 8, 7, 6};
    digits_copy(w.data(), u.data(), 3);
    EXPECT_EQ(w, (Digits{9, 8, 7, 4}));
    digits_clear(w.data(), 3);
    EXPECT_EQ(w, (Digits{0, 0, 0, 4}));
    digits_set_word(w.data(), 0xABCDu, 4);
    EXPECT_EQ(w, (Digits{0xABCDu, 0, 0, 0}));
    digits_clear(w.data(), 0);
    EXPECT_EQ(w[0], 0xABCDu);
}

struct ShiftCase {
    Digits u;
    uint32_t s;
    Digits left;
    uint32_t left_out;
    Digits right;
    uint32_t right_out;
};

TEST(DigitsShift, Table) {
    const ShiftCase cases[] = {
        {{0x80000001u, 0x12345678u}, 0, {0x80000001u, 0x12345678u}, 0, {0x80000001u, 0x12345678u}, 0},
        {{0x80000001u, 0x12345678u}, 4, {0x00000010u, 0x23456788u}, 0x1u, {0x88000000u, 0x01234567u}, 0x10000000u},
        {{0x80000001u, 0x92345678u}, 31, {0x80000000u, 0x40000000u}, 0x491A2B3Cu, {0x2468ACF1u, 0x1u}, 0x00000002u},
        {{0x80000001u, 0x12345678u}, 32, {0, 0x80000001u}, 0, {0x12345678u, 0}, 0},
        {{0x80000001u, 0x12345678u}, 36, {0, 0x00000010u}, 0, {0x01234567u, 0}, 0},
        {{0x80000001u, 0x12345678u}, 64, {0, 0}, 0, {0, 0}, 0},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE("shift by " + std::to_string(c.s));
        Digits w(c.u.size());
        EXPECT_EQ(digits_shift_left(w.data(), c.u.data(), c.s, 2), c.left_out);
        EXPECT_EQ(w, c.left);
        EXPECT_EQ(digits_shift_right(w.data(), c.u.data(), c.s, 2), c.right_out);
        EXPECT_EQ(w, c.right);
        // In place gives the same.
        Digits in_place = c.u;
        digits_shift_left(in_place.data(), in_place.data(), c.s, 2);
        EXPECT_EQ(in_place, c.left);
        in_place = c.u;
        digits_shift_right(in_place.data(), in_place.data(), c.s, 2);
        EXPECT_EQ(in_place, c.right);
    }
}

TEST(DigitsFromBytes, LeastSignificantByteIntoDigitZero) {
    const std::vector<uint8_t> five = from_hex("0102030405");
    Digits w = {0xDEAD, 0xBEEF, 0xF00D};
    EXPECT_EQ(digits_from_bytes(w.data(), 2, five.data(), 5), 2u);
    EXPECT_EQ(w, (Digits{0x02030405u, 0x01u, 0xF00D}));
    // Nine bytes into two digits: the first byte does not fit and is ignored.
    const std::vector<uint8_t> nine = from_hex("ff0102030405060708");
    EXPECT_EQ(digits_from_bytes(w.data(), 2, nine.data(), 9), 2u);
    EXPECT_EQ(w, (Digits{0x05060708u, 0x01020304u, 0xF00D}));
    // Fewer bytes than digits: the rest are zeroed.
    w = {1, 2, 3};
    EXPECT_EQ(digits_from_bytes(w.data(), 3, five.data(), 1), 1u);
    EXPECT_EQ(w, (Digits{0x01u, 0, 0}));
    EXPECT_EQ(digits_from_bytes(w.data(), 3, nullptr, 0), 0u);
    EXPECT_EQ(w, (Digits{0, 0, 0}));
}

TEST(DigitsToBytes, ExactLengthAndSignificantCount) {
    const Digits value = {0x00ABCDEFu, 0};
    std::vector<uint8_t> out(5, 0xEE);
    EXPECT_EQ(digits_to_bytes(value.data(), 2, out.data(), 5), 3u);
    EXPECT_EQ(to_hex(out.data(), 5), "0000abcdef");
    out.assign(5, 0xEE);
    EXPECT_EQ(digits_to_bytes(value.data(), 2, out.data(), 2), 3u);
    EXPECT_EQ(to_hex(out.data(), 5), "cdefeeeeee");
    const Digits wide = {0x05060708u, 0x01020304u};
    out.assign(10, 0xEE);
    EXPECT_EQ(digits_to_bytes(wide.data(), 2, out.data(), 10), 8u);
    EXPECT_EQ(to_hex(out.data(), 10), "00000102030405060708");
    EXPECT_EQ(digits_to_bytes(wide.data(), 2, nullptr, 0), 8u);
}

TEST(DigitsBytes, RoundTripOnRandomStrings) {
    TestRandom random(7);
    for (uint32_t len = 0; len <= 40; ++len) {
        std::vector<uint8_t> bytes(len);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random.next());
        const uint32_t n = (len + 3) / 4;
        Digits w(n + 1);
        digits_from_bytes(w.data(), n + 1, bytes.data(), len);
        std::vector<uint8_t> back(len);
        uint32_t leading_zeros = 0;
        while (leading_zeros < len && bytes[leading_zeros] == 0) ++leading_zeros;
        EXPECT_EQ(digits_to_bytes(w.data(), n + 1, back.data(), len), len - leading_zeros);
        EXPECT_EQ(back, bytes) << "length " << len;
    }
}

}  // namespace
