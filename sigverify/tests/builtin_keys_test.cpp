// The moduli built into the program are those of the configured public keys
// (the development keys unless a release names others), and each
// development key pair belongs together.
#include "sigverify/builtin_keys.h"

#include <gtest/gtest.h>

#include "openssl_keys.h"
#include "test_hex.h"

using namespace sigverify;  // the code under test

#if !defined(SK_PRIMARY_PUBLIC_KEY) || !defined(SK_SECONDARY_PUBLIC_KEY) || !defined(SK_KEYS_DIR)
#error "the key paths come from the build"
#endif

namespace {

std::string modulus_hex(const std::string& path, bool private_key) {
    Pkey key = read_pem_key(path, private_key);
    EXPECT_NE(key, nullptr) << path;
    if (key == nullptr) return "";
    EXPECT_EQ(EVP_PKEY_get_bits(key.get()), 2048) << path;
    const std::vector<uint8_t> modulus = key_modulus(key.get(), builtin_key_length);
    return to_hex(modulus.data(), modulus.size());
}

TEST(BuiltinKeys, ModuliAreThoseOfTheConfiguredPublicKeys) {
    EXPECT_EQ(to_hex(builtin_primary_modulus, builtin_key_length), modulus_hex(SK_PRIMARY_PUBLIC_KEY, false));
    EXPECT_EQ(to_hex(builtin_secondary_modulus, builtin_key_length), modulus_hex(SK_SECONDARY_PUBLIC_KEY, false));
    EXPECT_NE(to_hex(builtin_primary_modulus, builtin_key_length),
              to_hex(builtin_secondary_modulus, builtin_key_length));
}

TEST(BuiltinKeys, DevelopmentPairsMatch) {
    for (const char* name : {"primary", "secondary"}) {
        const std::string base = std::string(SK_KEYS_DIR) + "/" + name;
        EXPECT_EQ(modulus_hex(base + "_private.pem", true), modulus_hex(base + "_public.pem", false)) << name;
    }
}

}  // namespace
