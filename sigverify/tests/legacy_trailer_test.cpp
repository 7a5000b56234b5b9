// The legacy trailer: its length keystream and its verification.
#include "legacy_trailer.h"

#include <gtest/gtest.h>

#include "sig_test_support.h"
#include "test_private_keys.h"

namespace {

using sigtest::bytes;

TEST(LegacyTrailer, UnscrambleLengthKeystream) {
    // Keystream from s = 0x5D2C81E6: k = s mod 255 + 1, then s += s / 255 + k
    // (worked out apart from this code).
    uint8_t zero[4] = {0, 0, 0, 0};
    sigverify::unscramble_length(zero);
    EXPECT_EQ(bytes(zero, zero + 4), (bytes{0xF2, 0xD8, 0xEB, 0xB7}));
    uint8_t value[4] = {0x12, 0x34, 0x56, 0x78};
    sigverify::unscramble_length(value);
    sigverify::unscramble_length(value);
    EXPECT_EQ(bytes(value, value + 4), (bytes{0x12, 0x34, 0x56, 0x78}));
}

TEST(LegacyTrailer, Verification) {
    const bytes content = sigtest::make_script(20);
    struct LegacyCase {
        const char* name;
        bytes file;
        bool verified;
    };
    bytes binary = sigtest::sign_legacy(content, 'B');
    bytes hex = sigtest::sign_legacy(content, 'T');
    bytes changed = binary;
    changed.at(5) = static_cast<uint8_t>(changed.at(5) ^ 1);
    bytes appended = binary;
    appended.push_back('B');
    bytes lower = hex;
    for (size_t i = content.size(); i + 1 < lower.size(); ++i) {
        if (lower[i] >= 'A' && lower[i] <= 'F') lower[i] = static_cast<uint8_t>(lower[i] | 0x20);
    }
    // A character that decodes as the digit 0 it replaced: the signature is
    // the same, but the character is not a digit.
    bytes non_digit = hex;
    for (size_t i = content.size(); i + 1 < non_digit.size(); ++i) {
        if (non_digit[i] == '0') {
            non_digit[i] = ':';
            break;
        }
    }
    ASSERT_NE(non_digit, hex) << "no digit 0 in the trailer";
    // The same signature plus the modulus opens alike but is not below it.
    bytes plus_modulus;
    for (size_t lines = 20; lines < 60 && plus_modulus.empty(); ++lines) {
        bytes file = sigtest::sign_legacy(sigtest::make_script(lines), 'B');
        if (sigtest::add_modulus(file.data() + file.size() - 257, test_secondary_key.modulus)) plus_modulus = file;
    }
    ASSERT_FALSE(plus_modulus.empty()) << "no content whose s + n fits";
    bytes wrong_kind = binary;
    wrong_kind.back() = 'T';
    const bytes only_trailer(binary.end() - 257, binary.end());
    const LegacyCase cases[] = {
        {"binary", binary, true},
        {"hex_text", hex, true},
        {"hex_text_lower_case", lower, true},
        {"hex_text_non_digit", non_digit, false},
        {"signature_plus_modulus", plus_modulus, false},
        {"changed_content", changed, false},
        {"appended_byte", appended, false},
        {"wrong_kind", wrong_kind, false},
        {"nothing_in_front", only_trailer, false},
        {"no_trailer", content, false},
        {"empty", bytes{}, false},
    };
    for (const LegacyCase& c : cases) {
        sigtest::TempFile f(c.file);
        EXPECT_EQ(sigverify::check_legacy_trailer(sigverify::platform_file_door(), f.wide()), c.verified) << c.name;
    }
    EXPECT_FALSE(sigverify::check_legacy_trailer(sigverify::platform_file_door(), nullptr));
    EXPECT_FALSE(sigverify::check_legacy_trailer(sigverify::platform_file_door(), L"no-such-file.bin"));
}

}  // namespace
