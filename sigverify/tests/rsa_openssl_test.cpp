// rsa_open_signature on signatures made in the test with the development
// private keys through OpenSSL (raw RSA, no padding).
#include <gtest/gtest.h>

#include "openssl_keys.h"
#include "rsa_cases.h"

using namespace sigverify;  // the code under test

#ifndef SK_KEYS_DIR
#error "SK_KEYS_DIR names the folder of the development keys"
#endif

namespace {

RawSigner development_key(const std::string& name) {
    Pkey key = read_pem_key(std::string(SK_KEYS_DIR) + "/" + name + "_private.pem", true);
    EXPECT_NE(key, nullptr) << name;
    if (key == nullptr) return {};
    std::shared_ptr<EVP_PKEY> shared(key.release(), EVP_PKEY_free);
    return {key_modulus(shared.get(), rsa_k), [shared](const Bytes& message) {
                Bytes signature = raw_private_operation(shared.get(), message);
                EXPECT_EQ(signature.size(), rsa_k);
                return signature;
            }};
}

TEST(RsaOpenSignatureOpenSsl, TrailerCasesWithThePrimaryKey) { run_rsa_trailer_cases(development_key("primary")); }

TEST(RsaOpenSignatureOpenSsl, ValidMessageWithTheSecondaryKey) {
    const RawSigner key = development_key("secondary");
    const Bytes message = trailer_message(60);
    const Opened opened = open_signature(key, key.sign(message));
    EXPECT_EQ(opened.result, 60u);
    EXPECT_EQ(opened.message, message);
}

TEST(RsaOpenSignatureOpenSsl, SignatureOfTheOtherKeyFails) {
    const RawSigner primary = development_key("primary");
    const RawSigner secondary = development_key("secondary");
    EXPECT_EQ(open_signature(secondary, primary.sign(trailer_message(100))).result, 0u);
}

TEST(RsaOpenSignatureOpenSsl, AllocationFailures) { run_rsa_allocation_failures(development_key("primary")); }

}  // namespace
