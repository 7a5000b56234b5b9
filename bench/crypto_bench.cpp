// The cryptographic core side by side with OpenSSL's libcrypto: MD5 and
// SHA-256 throughput on 1 MiB, and the RSA-2048 public-key operation with the
// primary development key (ours with its trailer check, OpenSSL's raw).
#include <benchmark/benchmark.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "md5.h"
#include "rsa.h"
#include "sha256.h"
#include "sha256_compress.h"

using namespace sigverify;  // the code under test

#ifndef SK_KEYS_DIR
#error "SK_KEYS_DIR names the folder of the development keys"
#endif

namespace {

constexpr uint32_t buffer_size = 1u << 20;
constexpr uint32_t key_bits = 2048;
constexpr uint32_t k = key_bits / 8;

const std::vector<uint8_t>& buffer() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(buffer_size);
        uint32_t state = 1;
        for (uint8_t& b : bytes) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(state >> 24);
        }
        return bytes;
    }();
    return data;
}

void BM_Md5_Ours(benchmark::State& state) {
    uint8_t digest[16];
    for (auto _ : state) {
        md5_digest(buffer().data(), buffer_size, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * buffer_size);
}

void BM_Md5_OpenSsl(benchmark::State& state) {
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    for (auto _ : state) {
        EVP_Digest(buffer().data(), buffer_size, digest, &size, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * buffer_size);
}

void sha256_ours(benchmark::State& state, bool extensions) {
    if (extensions && !sha256_cpu_has_extensions()) {
        state.SkipWithError("this processor has no SHA extensions");
        return;
    }
    sha256_allow_extensions(extensions);
    uint8_t digest[32];
    for (auto _ : state) {
        sha256_digest(buffer().data(), buffer_size, digest);
        benchmark::DoNotOptimize(digest);
    }
    sha256_allow_extensions(true);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * buffer_size);
}

void BM_Sha256_Ours_Extensions(benchmark::State& state) { sha256_ours(state, true); }
void BM_Sha256_Ours_Portable(benchmark::State& state) { sha256_ours(state, false); }

void BM_Sha256_OpenSsl(benchmark::State& state) {
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    for (auto _ : state) {
        EVP_Digest(buffer().data(), buffer_size, digest, &size, EVP_sha256(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * buffer_size);
}

// The primary development key and signatures made with it over messages
// with a valid trailer (body length 100), which differ in their filler.
// Opening one signature over and over lets the processor learn its
// branches; cycling through several is closer to real use.
constexpr size_t signature_count = 8;

struct SignedMessages {
    EVP_PKEY* key = nullptr;
    std::vector<uint8_t> modulus = std::vector<uint8_t>(k);
    std::vector<std::vector<uint8_t>> signatures;
};

const SignedMessages& signed_messages() {
    static const SignedMessages made = [] {
        SignedMessages s;
        FILE* file = std::fopen(SK_KEYS_DIR "/primary_private.pem", "r");
        if (file == nullptr) std::abort();
        s.key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
        std::fclose(file);
        BIGNUM* n = nullptr;
        if (s.key == nullptr || EVP_PKEY_get_bn_param(s.key, OSSL_PKEY_PARAM_RSA_N, &n) != 1) {
            std::abort();
        }
        BN_bn2binpad(n, s.modulus.data(), static_cast<int>(k));
        BN_free(n);

        for (uint32_t variant = 0; variant < signature_count; ++variant) {
            std::vector<uint8_t> message(k);
            for (uint32_t i = 0; i < k; ++i) message[i] = static_cast<uint8_t>(i * (7 + 2 * variant) + 1);
            message[0] = 0x3C;
            md5_digest(message.data(), 100, message.data() + 112);
            message[k - 16] = 100;
            message[k - 15] = message[k - 14] = message[k - 13] = 0;
            std::vector<uint8_t> signature(k);
            EVP_PKEY_CTX* context = EVP_PKEY_CTX_new(s.key, nullptr);
            size_t size = k;
            if (context == nullptr || EVP_PKEY_sign_init(context) != 1 ||
                EVP_PKEY_CTX_set_rsa_padding(context, RSA_NO_PADDING) != 1 ||
                EVP_PKEY_sign(context, signature.data(), &size, message.data(), k) != 1) {
                std::abort();
            }
            EVP_PKEY_CTX_free(context);
            s.signatures.push_back(signature);
        }
        return s;
    }();
    return made;
}

// rsa_open_signature over the first state.range(0) signatures in turn.
void BM_RsaOpenSignature_Ours(benchmark::State& state) {
    const SignedMessages& s = signed_messages();
    const size_t count = static_cast<size_t>(state.range(0));
    std::vector<uint8_t> message(k), work(8 * k);
    size_t next = 0;
    for (auto _ : state) {
        const uint32_t d =
            rsa_open_signature(s.signatures[next].data(), message.data(), s.modulus.data(), key_bits, work.data());
        if (d != 100) state.SkipWithError("the signature did not open");
        next = next + 1 == count ? 0 : next + 1;
        benchmark::DoNotOptimize(message.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// OpenSSL's raw public operation (s^e mod n, no padding) with the same key,
// its context made once.
void BM_RsaPublicRaw_OpenSsl(benchmark::State& state) {
    const SignedMessages& s = signed_messages();
    const size_t count = static_cast<size_t>(state.range(0));
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new(s.key, nullptr);
    if (context == nullptr || EVP_PKEY_verify_recover_init(context) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(context, RSA_NO_PADDING) != 1) {
        state.SkipWithError("no OpenSSL context");
        return;
    }
    std::vector<uint8_t> message(k);
    size_t next = 0;
    for (auto _ : state) {
        size_t size = k;
        if (EVP_PKEY_verify_recover(context, message.data(), &size, s.signatures[next].data(), k) != 1) {
            state.SkipWithError("OpenSSL refused the signature");
        }
        next = next + 1 == count ? 0 : next + 1;
        benchmark::DoNotOptimize(message.data());
    }
    EVP_PKEY_CTX_free(context);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_Md5_Ours);
BENCHMARK(BM_Md5_OpenSsl);
BENCHMARK(BM_Sha256_Ours_Extensions);
BENCHMARK(BM_Sha256_Ours_Portable);
BENCHMARK(BM_Sha256_OpenSsl);
// The argument: how many signatures are opened in turn.
BENCHMARK(BM_RsaOpenSignature_Ours)->Arg(1)->Arg(signature_count);
BENCHMARK(BM_RsaPublicRaw_OpenSsl)->Arg(1)->Arg(signature_count);

BENCHMARK_MAIN();
