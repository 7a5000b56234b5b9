// The verification's table of forged files, each verified for real and the
// verdict handed to the install mode: exit 5 for every one, with no shortcut
// written and nothing started.
#include <gtest/gtest.h>

#include <string>

#include "block_attacks.h"
#include "fake_platform.h"
#include "modes.h"

namespace {

using sigtest::attacks::kAttacks;

TEST(VerifyFileBeforeStart, EveryForgedFileEndsTheInstallWithFive) {
    for (const sigtest::attacks::Attack& attack : kAttacks) {
        for (const char encoding : {'B', 'T'}) {
            const std::string label = std::string(attack.name) + "_" + encoding;
            // Mode 2, as the installer verifies.
            const sigtest::Outcome real = sigtest::verify_bytes(attack.forge(encoding), 2);
            EXPECT_EQ(real, (sigtest::Outcome{false, 8})) << label;

            fake::FakePlatform platform;
            platform.verdict = {real.accepted, real.code};
            EXPECT_EQ(installer::RunInstallMode(platform, true), 5) << label;
            EXPECT_TRUE(platform.shellExecutes.empty()) << label;
            EXPECT_TRUE(platform.files.empty()) << label;
        }
    }
}

}  // namespace
