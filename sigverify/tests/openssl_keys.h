// The development key pairs through OpenSSL: raw private operations to make
// signatures, raw public operations, and moduli as bytes.
#ifndef SIGVERIFY_TESTS_OPENSSL_KEYS_H
#define SIGVERIFY_TESTS_OPENSSL_KEYS_H

#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

// Reads a PEM private key (private_key true) or public key; null on failure.
inline Pkey read_pem_key(const std::string& path, bool private_key) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return nullptr;
    EVP_PKEY* key = private_key ? PEM_read_PrivateKey(file, nullptr, nullptr, nullptr)
                                : PEM_read_PUBKEY(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    return Pkey(key);
}

// The modulus as a big-endian string of exactly size bytes.
inline std::vector<uint8_t> key_modulus(EVP_PKEY* key, size_t size) {
    BIGNUM* n = nullptr;
    std::vector<uint8_t> bytes(size);
    if (EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n) != 1) return {};
    BN_bn2binpad(n, bytes.data(), static_cast<int>(size));
    BN_free(n);
    return bytes;
}

// s = m^d mod n without padding; empty on failure.
inline std::vector<uint8_t> raw_private_operation(EVP_PKEY* key, const std::vector<uint8_t>& m) {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new(key, nullptr);
    std::vector<uint8_t> signature(static_cast<size_t>(EVP_PKEY_get_size(key)));
    size_t size = signature.size();
    const bool done = context != nullptr && EVP_PKEY_sign_init(context) == 1 &&
                      EVP_PKEY_CTX_set_rsa_padding(context, RSA_NO_PADDING) == 1 &&
                      EVP_PKEY_sign(context, signature.data(), &size, m.data(), m.size()) == 1;
    EVP_PKEY_CTX_free(context);
    if (!done) return {};
    signature.resize(size);
    return signature;
}

#endif
