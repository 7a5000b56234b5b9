// VerifyFileBeforeStart: every answer of the verification and what it
// becomes.
#include "verify_before_start.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

struct VerdictCase {
    bool accepted;
    int code;
    int expected;
};

TEST(VerifyFileBeforeStart, MapsEveryAnswer) {
    const VerdictCase cases[] = {
        {true, 3, 0},   {true, 2, 0},   {true, 0, 0},    {true, 9, 0},  // true is verified, whatever the code
        {false, 11, 0},                                                 // the secondary key
        {false, 1, 2},  {false, 2, 4},  {false, 3, 4},   {false, 4, 8},   {false, 7, 6},
        {false, 8, 5},  {false, 9, 5},  {false, 10, 5},  {false, 13, 1},  {false, 0, 10},
        {false, 5, 10}, {false, 6, 10}, {false, 12, 10}, {false, 14, 10}, {false, -1, 10},
    };
    for (const VerdictCase& c : cases) {
        fake::FakePlatform platform;
        platform.verdict = {c.accepted, c.code};
        EXPECT_EQ(installer::VerifyFileBeforeStart(platform, L"C:\\P\\zrfetchpad.exe"), c.expected)
            << c.accepted << " with code " << c.code;
        ASSERT_EQ(platform.verifications.size(), 1u);
        EXPECT_EQ(platform.verifications[0].path, L"C:\\P\\zrfetchpad.exe");
        EXPECT_EQ(platform.verifications[0].mode, 2u);
        EXPECT_EQ(platform.verifications[0].codeOnEntry, 0);
    }
}

TEST(VerifyFileBeforeStart, NoPathIsEightWithoutVerifying) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::VerifyFileBeforeStart(platform, nullptr), 8);
    EXPECT_TRUE(platform.verifications.empty());
}

}  // namespace
