// Helpers for the arithmetic tests: a seeded generator of random numbers and
// digit vectors.
#ifndef SIGVERIFY_TESTS_TEST_DIGITS_H
#define SIGVERIFY_TESTS_TEST_DIGITS_H

#include <cstdint>
#include <vector>

using Digits = std::vector<uint32_t>;

class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : state_(seed * 2654435761u + 1) {}
    uint32_t next() {
        // xorshift64*
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<uint32_t>((state_ * 2685821657736338717ull) >> 32);
    }
    uint32_t below(uint32_t bound) { return next() % bound; }
    // count digits, some of them 0 or all-ones now and then, to reach the
    // corner cases of the carries.
    Digits digits(uint32_t count) {
        Digits d(count);
        for (uint32_t& digit : d) {
            const uint32_t kind = below(10);
            digit = kind == 0 ? 0 : kind == 1 ? 0xFFFFFFFFu : next();
        }
        return d;
    }

private:
    uint64_t state_;
};

#endif
