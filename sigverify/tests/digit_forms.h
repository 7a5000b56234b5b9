// The forms of the long division a test can ask for: the run-time choice
// (the lane steps where the processor has them), the fast rows with the
// lanes set aside, and the portable loops.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "digits_fast.h"
#include "digits_lanes.h"

enum class DigitForms { RunTimeChoice, WithoutLanes, Portable };

// A fixture that sets the forms for each test and the run-time choice back
// afterwards; it skips a form the processor lacks.
class DigitFormsTest : public ::testing::TestWithParam<DigitForms> {
 protected:
  void SetUp() override {
    if (GetParam() == DigitForms::WithoutLanes && !digits_cpu_has_fast_forms()) {
      GTEST_SKIP() << "no fast rows here";
    }
    digits_allow_fast_forms(GetParam() != DigitForms::Portable);
    digits_allow_lanes(GetParam() == DigitForms::RunTimeChoice);
  }
  void TearDown() override {
    digits_allow_fast_forms(true);
    digits_allow_lanes(true);
  }
};

inline const auto all_digit_forms = ::testing::Values(
    DigitForms::RunTimeChoice, DigitForms::WithoutLanes, DigitForms::Portable);

inline std::string digit_forms_name(const ::testing::TestParamInfo<DigitForms>& info) {
  switch (info.param) {
    case DigitForms::RunTimeChoice:
      return "RunTimeChoice";
    case DigitForms::WithoutLanes:
      return "WithoutLanes";
    case DigitForms::Portable:
      break;
  }
  return "Portable";
}

inline void PrintTo(DigitForms forms, std::ostream* out) {
  *out << digit_forms_name(::testing::TestParamInfo<DigitForms>(forms, 0));
}
