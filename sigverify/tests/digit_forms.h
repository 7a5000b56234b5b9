// The forms of the digit arithmetic a test can ask for: the run-time choice
// (the AVX-512 forms where the processor has them: the IFMA square and the
// division's lane steps), the fast forms with the AVX-512 ones set aside
// (the AVX2 square, the mulx rows), and the portable loops.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "digits_fast.h"
#include "digits_lanes.h"

enum class DigitForms { RunTimeChoice, WithoutAvx512, Portable };

// A fixture that sets the forms for each test and the run-time choice back
// afterwards; it skips a form the processor lacks.
class DigitFormsTest : public ::testing::TestWithParam<DigitForms> {
 protected:
  void SetUp() override {
    if (GetParam() == DigitForms::WithoutAvx512 && !digits_cpu_has_fast_forms()) {
      GTEST_SKIP() << "no fast forms here";
    }
    digits_allow_fast_forms(GetParam() != DigitForms::Portable);
    digits_allow_ifma(GetParam() == DigitForms::RunTimeChoice);
    digits_allow_lanes(GetParam() == DigitForms::RunTimeChoice);
  }
  void TearDown() override {
    digits_allow_fast_forms(true);
    digits_allow_ifma(true);
    digits_allow_lanes(true);
  }
};

inline const auto all_digit_forms = ::testing::Values(
    DigitForms::RunTimeChoice, DigitForms::WithoutAvx512, DigitForms::Portable);

inline std::string digit_forms_name(const ::testing::TestParamInfo<DigitForms>& info) {
  switch (info.param) {
    case DigitForms::RunTimeChoice:
      return "RunTimeChoice";
    case DigitForms::WithoutAvx512:
      return "WithoutAvx512";
    case DigitForms::Portable:
      break;
  }
  return "Portable";
}

inline void PrintTo(DigitForms forms, std::ostream* out) {
  *out << digit_forms_name(::testing::TestParamInfo<DigitForms>(forms, 0));
}
