// Modular exponentiation: small cases against 64-bit arithmetic, exponent 1,
// a round trip through a 2048-bit key pair, failure reporting and wiping.
#include <gtest/gtest.h>

#include "digits.h"
#include "heap_watch.h"
#include "test_digits.h"
#include "test_hex.h"
#include "test_key.h"

using namespace sigverify;  // the code under test

namespace {

uint64_t reference_mod_exp(uint64_t x, uint64_t e, uint64_t m) {
    uint64_t result = 1 % m;
    x %= m;
    for (; e != 0; e >>= 1) {
        if (e & 1) result = result * x % m;
        x = x * x % m;
    }
    return result;
}

Digits number(const std::string& hex, uint32_t n) {
    const std::vector<uint8_t> bytes = from_hex(hex);
    Digits d(n);
    digits_from_bytes(d.data(), n, bytes.data(), size32(bytes.size()));
    return d;
}

Digits mod_exp(const Digits& x, const Digits& e, const Digits& m) {
    const uint32_t n = static_cast<uint32_t>(m.size());
    Digits y(n, 0xCCCCCCCCu);
    int status = -7;
    EXPECT_EQ(digits_mod_exp(y.data(), x.data(), e.data(), m.data(), n, &status), 0);
    EXPECT_EQ(status, 0);
    return y;
}

TEST(DigitsModExp, SmallOperandsAgainstSixtyFourBitArithmetic) {
    TestRandom random(31);
    for (int round = 0; round < 300; ++round) {
        // Moduli below 2^32 in two-digit arrays, so the reference cannot overflow.
        const uint32_t m = 2 + random.below(0xFFFFFFF0u);
        const uint32_t x = random.below(m);
        const uint32_t e = round < 100 ? 65537 : 2 + random.below(1000000);
        const Digits y = mod_exp(Digits{x, 0}, Digits{e, 0}, Digits{m, 0});
        ASSERT_EQ(y, (Digits{static_cast<uint32_t>(reference_mod_exp(x, e, m)), 0})) << x << "^" << e << " mod " << m;
    }
}

TEST(DigitsModExp, ExponentOneReturnsXUnreduced) {
    const Digits x = {0xFFFFFFFFu, 0xFFFFFFFFu};
    const Digits m = {5, 1};
    EXPECT_EQ(mod_exp(x, Digits{1, 0}, m), x);
    EXPECT_EQ(mod_exp(Digits{3, 0}, Digits{1, 0}, m), (Digits{3, 0}));
}

TEST(DigitsModExp, ExponentZeroGivesOne) {
    EXPECT_EQ(mod_exp(Digits{12345, 6}, Digits{0, 0}, Digits{7, 9}), (Digits{1, 0}));
}

TEST(DigitsModExp, RoundTripThroughAKeyPair) {
    const uint32_t n = 64;
    const Digits modulus = number(test_key_modulus_hex(), n);
    const Digits private_exponent = number(test_key_private_exponent_hex(), n);
    Digits public_exponent(n, 0);
    public_exponent[0] = 65537;
    TestRandom random(32);
    for (int round = 0; round < 3; ++round) {
        Digits x = random.digits(n);
        x[n - 1] &= 0x7FFFFFFFu;  // below the modulus, whose top bit is set
        const Digits signature = mod_exp(x, private_exponent, modulus);
        EXPECT_EQ(mod_exp(signature, public_exponent, modulus), x);
    }
}

TEST(DigitsModExp, YMayBeX) {
    Digits x = {0x1234567u, 0x89ABu};
    const Digits e = {65537, 0}, m = {0xFFFFFFFBu, 0x10000u};
    const Digits expected = mod_exp(x, e, m);
    int status = 0;
    ASSERT_EQ(digits_mod_exp(x.data(), x.data(), e.data(), m.data(), 2, &status), 0);
    EXPECT_EQ(x, expected);
}

TEST(DigitsModExp, NoDigitsIsAnError) {
    int status = 7;
    uint32_t y = 0xAAAAu;
    const uint32_t one = 1;
    EXPECT_EQ(digits_mod_exp(&y, &one, &one, &one, 0, &status), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(y, 0xAAAAu);
}

TEST(DigitsModExp, AllocationFailureLeavesYUnwrittenAndLeaksNothing) {
    const Digits x = {0x1234567u, 0x89ABu}, e = {65537, 0}, m = {0xFFFFFFFBu, 0x10000u};
    long allocations = 0;
    {
        HeapWatch watch;
        mod_exp(x, e, m);
        allocations = watch.attempts();
    }
    ASSERT_EQ(allocations, 5);
    for (long failing = 0; failing < allocations; ++failing) {
        HeapWatch watch;
        watch.fail_at(failing);
        Digits y = {0xAAAAu, 0xBBBBu};
        int status = 0;
        EXPECT_EQ(digits_mod_exp(y.data(), x.data(), e.data(), m.data(), 2, &status), 0);
        EXPECT_EQ(status, 1) << "allocation " << failing << " failed";
        EXPECT_EQ(y, (Digits{0xAAAAu, 0xBBBBu}));
        EXPECT_EQ(watch.live_blocks(), 0u);
    }
}

TEST(DigitsModExp, WorkAreasAreWipedBeforeRelease) {
    HeapWatch watch;
    const Digits y = mod_exp(Digits{0x1234567u, 0x89ABu}, Digits{65537, 0}, Digits{0xFFFFFFFBu, 0x10000u});
    EXPECT_EQ(watch.attempts(), 5);
    EXPECT_EQ(watch.live_blocks(), 0u);
    EXPECT_EQ(watch.unwiped_releases(), 0);
    EXPECT_NE(y, (Digits{0, 0}));
}

}  // namespace
