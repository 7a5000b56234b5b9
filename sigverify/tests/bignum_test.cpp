// BigNum: creation, growth and its failure, byte conversions, the
// exponentiation, and wiping on release.
#include "bignum.h"

#include <gtest/gtest.h>

#include "heap_watch.h"
#include "test_hex.h"

using namespace sigverify;  // the code under test

namespace {

// Owns a BigNum for a test.
struct Number {
    BigNum* number = bignum_new();
    Number() = default;
    Number(const Number&) = delete;
    Number& operator=(const Number&) = delete;
    ~Number() { bignum_free(&number); }
    BigNum* operator->() { return number; }
    operator BigNum*() { return number; }
};

std::string hex_of(BigNum* number) {
    const uint32_t size = bignum_to_bytes(number, nullptr, 0);
    std::vector<uint8_t> bytes(size);
    if (size != 0) bignum_to_bytes(number, bytes.data(), size);
    return to_hex(bytes.data(), bytes.size());
}

void load(BigNum* number, const std::string& hex) {
    const std::vector<uint8_t> bytes = from_hex(hex);
    bignum_from_bytes(number, bytes.data(), size32(bytes.size()));
}

TEST(BigNum, NewIsZeroWithOneDigit) {
    Number a;
    ASSERT_NE(a.number, nullptr);
    EXPECT_EQ(a->used, 0u);
    EXPECT_EQ(a->capacity, 1u);
    EXPECT_EQ(a->digits[0], 0u);
}

TEST(BigNum, NewReportsEitherFailedAllocation) {
    for (long failing : {0, 1}) {
        HeapWatch watch;
        watch.fail_at(failing);
        EXPECT_EQ(bignum_new(), nullptr);
        EXPECT_EQ(watch.live_blocks(), 0u);
    }
}

TEST(BigNum, FreeWipesAndNullsThePointer) {
    HeapWatch watch;
    BigNum* a = bignum_new();
    load(a, "0102030405060708090a0b0c0d0e0f");
    bignum_free(&a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(watch.live_blocks(), 0u);
    EXPECT_EQ(watch.unwiped_releases(), 0);
    bignum_free(&a);
    bignum_free(nullptr);
}

TEST(BigNum, ReserveGrowsShrinksAndKeepsTheValue) {
    HeapWatch watch;
    Number a;
    load(a, "0102030405060708");
    EXPECT_EQ(a->used, 2u);
    ASSERT_EQ(bignum_reserve(a, 10), 0);
    EXPECT_EQ(a->used, 2u);
    EXPECT_GE(a->capacity, 10u);
    EXPECT_EQ(hex_of(a), "0102030405060708");
    for (uint32_t i = 2; i < 10; ++i) EXPECT_EQ(a->digits[i], 0u);
    // The array grown past was wiped before it went back to the heap.
    EXPECT_EQ(watch.unwiped_releases(), 0);
    ASSERT_EQ(bignum_reserve(a, 1), 0);
    EXPECT_EQ(a->used, 1u);
    EXPECT_EQ(a->digits[1], 0u);
    EXPECT_EQ(hex_of(a), "05060708");
    EXPECT_GE(a->capacity, 10u) << "capacity never shrinks";
}

TEST(BigNum, FailedReserveLeavesTheNumberAsItWas) {
    Number a;
    load(a, "0102030405060708");
    uint32_t* const digits = a->digits;
    const uint32_t used = a->used, capacity = a->capacity;
    HeapWatch watch;
    watch.fail_at(0);
    EXPECT_EQ(bignum_reserve(a, 100), 1);
    EXPECT_EQ(a->digits, digits);
    EXPECT_EQ(a->used, used);
    EXPECT_EQ(a->capacity, capacity);
    EXPECT_EQ(hex_of(a), "0102030405060708");
    // Still valid for later operations.
    watch.fail_at(-1);
    load(a, "ff");
    EXPECT_EQ(hex_of(a), "ff");
}

TEST(BigNum, FromBytesReportsDigitsFilledOrZeroOnFailure) {
    Number a;
    const std::vector<uint8_t> bytes = from_hex("000102030405060708");
    EXPECT_EQ(bignum_from_bytes(a, bytes.data(), 9), 3u);
    EXPECT_EQ(a->used, 2u);  // the leading zero byte is not significant
    EXPECT_EQ(hex_of(a), "0102030405060708");
    HeapWatch watch;
    watch.fail_at(0);
    const std::vector<uint8_t> longer(40, 0x5A);
    EXPECT_EQ(bignum_from_bytes(a, longer.data(), 40), 0u);
    EXPECT_EQ(hex_of(a), "0102030405060708");
}

TEST(BigNum, ToBytesOfZeroAndShortOutputs) {
    Number a;
    uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(bignum_to_bytes(a, nullptr, 0), 0u);
    EXPECT_EQ(bignum_to_bytes(a, out, 0), 0u);
    EXPECT_EQ(to_hex(out, 4), "eeeeeeee");
    EXPECT_EQ(bignum_to_bytes(a, out, 4), 0u);
    EXPECT_EQ(to_hex(out, 4), "00000000");
    load(a, "abcdef");
    EXPECT_EQ(bignum_to_bytes(a, out, 2), 3u);
    EXPECT_EQ(to_hex(out, 2), "cdef");
}

TEST(BigNum, ModExp) {
    Number y, x, e, m;
    load(x, "0123456789abcdef0123456789");
    load(e, "010001");
    load(m, "f123456789abcdef0123456789abcdef");
    ASSERT_EQ(bignum_mod_exp(y, x, e, m), 0);
    // Computed with an independent implementation of modular exponentiation.
    EXPECT_EQ(hex_of(y), "9c2521b5e2aacf867bf671c686a568ad");
    EXPECT_EQ(y->used, 4u);
    EXPECT_EQ(hex_of(x), "0123456789abcdef0123456789");
}

TEST(BigNum, ModExpReportsAllocationFailures) {
    // Fresh numbers for every run: the growth of y and e and the five work
    // areas of the exponentiation are the allocations, each made to fail once.
    auto run = [](long failing, long* allocations) {
        Number y, x, e, m;
        load(y, "77");
        load(x, "0123456789abcdef0123456789");
        load(e, "010001");
        load(m, "f123456789abcdef0123456789abcdef");
        HeapWatch watch;
        watch.fail_at(failing);
        const int result = bignum_mod_exp(y, x, e, m);
        *allocations = watch.attempts();
        if (failing >= 0) {
            EXPECT_EQ(hex_of(y), "77") << "allocation " << failing << " failed";
        }
        return result;
    };
    long allocations = 0;
    ASSERT_EQ(run(-1, &allocations), 0);
    ASSERT_EQ(allocations, 7);
    for (long failing = 0; failing < allocations; ++failing) {
        long ignored = 0;
        EXPECT_EQ(run(failing, &ignored), 1) << "allocation " << failing << " failed";
    }
}

}  // namespace
