// The row kernels: the fast forms (where the processor has them) and the
// portable loops give the same digits and carries for every row length.
#include "digit_rows.h"

#include <gtest/gtest.h>

#include "digits_fast.h"
#include "test_digits.h"

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
    running +=
        add ? digit + static_cast<int64_t>(product[i]) : digit - static_cast<int64_t>(product[i]);
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

// The fast subtraction that takes the row complemented, given the row as
// it is.
uint32_t sub_complemented_fast(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  Digits not_u(u, u + n);
  for (uint32_t& digit : not_u) digit = ~digit;
  return row_mul_sub_complemented_fast(w, not_u.data(), d, n);
}

class RowKernels : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && !digits_cpu_has_fast_forms())
      GTEST_SKIP() << "this processor has no fast row forms";
  }
  Kernel add() const { return GetParam() ? row_mul_add_fast : row_mul_add_portable; }
  Kernel sub() const { return GetParam() ? row_mul_sub_fast : row_mul_sub_portable; }
};

TEST_P(RowKernels, EveryLengthWithRandomAndExtremeDigits) {
  TestRandom random(51);
  for (uint32_t n = 0; n <= fast_max_digits; ++n) {
    for (uint32_t d : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, random.next()}) {
      expect_kernel_matches(add(), true, random.digits(n), random.digits(n), d);
      expect_kernel_matches(sub(), false, random.digits(n), random.digits(n), d);
      // All ones: every carry and borrow runs the whole row.
      const Digits ones(n, 0xFFFFFFFFu), zeros(n, 0);
      expect_kernel_matches(add(), true, ones, ones, d);
      expect_kernel_matches(sub(), false, zeros, ones, d);
      expect_kernel_matches(sub(), false, ones, ones, d);
      if (GetParam()) {
        expect_kernel_matches(sub_complemented_fast, false, random.digits(n), random.digits(n), d);
        expect_kernel_matches(sub_complemented_fast, false, zeros, ones, d);
        expect_kernel_matches(sub_complemented_fast, false, ones, ones, d);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RowKernels, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? std::string("Fast") : std::string("Portable");
                         });

}  // namespace
