// The row kernels give the digits and carries of a digit-by-digit reference
// for every row length.
#include "digit_rows.h"

#include <gtest/gtest.h>

#include "test_digits.h"

using namespace sigverify;  // the code under test

namespace {

// w + u * d or w - u * d over n + 1 digits, digit by digit, as the
// reference for both kernels.
Digits reference_row(const Digits& w, const Digits& u, uint32_t d, bool add) {
    Digits product(u.size() + 1, 0);
    uint64_t carry = 0;
    for (size_t i = 0; i < u.size(); ++i) {
        carry += static_cast<uint64_t>(u[i]) * d;
        product[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    product[u.size()] = static_cast<uint32_t>(carry);
    Digits result(u.size() + 1, 0);
    int64_t running = 0;
    for (size_t i = 0; i <= u.size(); ++i) {
        const int64_t digit = i < w.size() ? w[i] : 0;
        running += add ? digit + static_cast<int64_t>(product[i]) : digit - static_cast<int64_t>(product[i]);
        result[i] = static_cast<uint32_t>(running);
        running >>= 32;  // arithmetic: a borrow becomes -1
    }
    return result;
}

using Kernel = uint32_t (*)(uint32_t*, const uint32_t*, uint32_t, uint32_t);

void expect_kernel_matches(Kernel kernel, bool add, const Digits& w, const Digits& u, uint32_t d) {
    const uint32_t n = static_cast<uint32_t>(u.size());
    Digits out = w;
    const uint32_t top = kernel(out.data(), u.data(), d, n);
    const Digits expected = reference_row(w, u, d, add);
    ASSERT_EQ(out, Digits(expected.begin(), expected.end() - 1)) << n << " digits, d " << d;
    // The carry is the digit above; the borrow is what that digit loses.
    ASSERT_EQ(add ? top : 0u - top, expected.back()) << n << " digits, d " << d;
}

TEST(RowKernels, EveryLengthWithRandomAndExtremeDigits) {
    TestRandom random(51);
    for (uint32_t n = 0; n <= 128; ++n) {
        for (uint32_t d : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, random.next()}) {
            expect_kernel_matches(row_mul_add, true, random.digits(n), random.digits(n), d);
            expect_kernel_matches(row_mul_sub, false, random.digits(n), random.digits(n), d);
            // All ones: every carry and borrow runs the whole row.
            const Digits ones(n, 0xFFFFFFFFu), zeros(n, 0);
            expect_kernel_matches(row_mul_add, true, ones, ones, d);
            expect_kernel_matches(row_mul_sub, false, zeros, ones, d);
            expect_kernel_matches(row_mul_sub, false, ones, ones, d);
        }
    }
}

}  // namespace
