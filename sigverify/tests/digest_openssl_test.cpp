// MD5 and SHA-256 against OpenSSL's libcrypto on random messages of up to
// 1 MiB, fed whole and in random pieces.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>
#include <vector>

#include "md5.h"
#include "sha256.h"
#include "sha256_compress.h"
#include "test_hex.h"

using namespace sigverify;  // the code under test

namespace {

std::string reference(const EVP_MD* type, const std::vector<uint8_t>& data) {
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest, &size, type, nullptr), 1);
    return to_hex(digest, size);
}

// Random lengths up to 1 MiB and random piece sizes for the incremental forms.
class DigestsAgainstOpenSsl : public ::testing::Test {
protected:
    std::mt19937 random_{20260};
    std::vector<uint8_t> message(uint32_t length) {
        std::vector<uint8_t> data(length);
        for (uint8_t& b : data) b = static_cast<uint8_t>(random_());
        return data;
    }
    uint32_t next() { return static_cast<uint32_t>(random_()); }
    uint32_t length() {
        // Mostly spread over the whole range, some short.
        return next() % 4 == 0 ? next() % 300 : next() % (1u << 20) + 1;
    }
    uint32_t piece() { return next() % 3 == 0 ? next() % 200 : next() % 100000; }
};

TEST_F(DigestsAgainstOpenSsl, Md5) {
    for (int round = 0; round < 40; ++round) {
        const std::vector<uint8_t> data = message(length());
        const uint32_t size = size32(data.size());
        const std::string expected = reference(EVP_md5(), data);
        uint8_t digest[16];
        md5_digest(data.data(), size, digest);
        ASSERT_EQ(to_hex(digest, 16), expected) << "one call, length " << size;
        Md5Context context;
        md5_init(&context);
        for (uint32_t at = 0; at < size;) {
            const uint32_t n = std::min(piece(), size - at);
            md5_update(&context, data.data() + at, n);
            at += n;
        }
        md5_final(digest, &context);
        ASSERT_EQ(to_hex(digest, 16), expected) << "in pieces, length " << size;
    }
}

TEST_F(DigestsAgainstOpenSsl, Sha256WithBothCompressions) {
    for (int round = 0; round < 40; ++round) {
        const std::vector<uint8_t> data = message(length());
        const uint32_t size = size32(data.size());
        const std::string expected = reference(EVP_sha256(), data);
        for (bool extensions : {true, false}) {
            sha256_allow_extensions(extensions);
            uint8_t digest[32];
            sha256_digest(data.data(), size, digest);
            EXPECT_EQ(to_hex(digest, 32), expected) << "one call, length " << size;
            Sha256Context context;
            sha256_init(&context);
            for (uint32_t at = 0; at < size;) {
                const uint32_t n = std::min(piece(), size - at);
                sha256_update(&context, data.data() + at, n);
                at += n;
            }
            sha256_final(&context, digest);
            EXPECT_EQ(to_hex(digest, 32), expected) << "in pieces, length " << size;
        }
        sha256_allow_extensions(true);
    }
}

}  // namespace
