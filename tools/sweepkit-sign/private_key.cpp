// The RSA private-key operation through OpenSSL's libcrypto, without padding:
// the signed message carries its own structure.
#include "private_key.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <memory>

namespace sweepkit_sign {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CtxDeleter {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
struct BnDeleter {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

std::unique_ptr<BIGNUM, BnDeleter> key_number(const EVP_PKEY* key, const char* name) {
    BIGNUM* bn = nullptr;
    EVP_PKEY_get_bn_param(key, name, &bn);
    return std::unique_ptr<BIGNUM, BnDeleter>(bn);
}

}  // namespace

bool private_key_operation(const std::string& pem_path,
                           const uint8_t message[256],
                           uint8_t signature[256],
                           uint8_t modulus[256],
                           std::string* error) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(pem_path.c_str(), "rb"));
    if (!file) {
        *error = "cannot open the private key " + pem_path;
        return false;
    }
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    if (!key || EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA || EVP_PKEY_get_bits(key.get()) != 2048) {
        *error = pem_path + " is not an RSA-2048 private key in PEM form";
        return false;
    }
    const auto n = key_number(key.get(), OSSL_PKEY_PARAM_RSA_N);
    const auto e = key_number(key.get(), OSSL_PKEY_PARAM_RSA_E);
    if (!n || !e || !BN_is_word(e.get(), 65537) || BN_bn2binpad(n.get(), modulus, 256) != 256) {
        *error = pem_path + " does not have the public exponent 65537";
        return false;
    }
    std::unique_ptr<EVP_PKEY_CTX, CtxDeleter> ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
    size_t length = 256;
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_NO_PADDING) <= 0 ||
        EVP_PKEY_decrypt(ctx.get(), signature, &length, message, 256) <= 0 || length != 256) {
        *error = "the private-key operation failed";
        return false;
    }
    return true;
}

}  // namespace sweepkit_sign
