// SHA-256: the FIPS 180-2 vectors through every form of the interface and
// through both block compressions, and agreement of the two compressions.
#include "sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "digest_forms.h"
#include "sha256_compress.h"

using namespace sigverify;  // the code under test

namespace {

std::vector<DigestVector> vectors() {
    return {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // Around the padding boundary: 55 bytes fit one block, 56 need two.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(65, 'a'), "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
}

struct Sha256Traits {
    using Context = Sha256Context;
    static constexpr size_t size = 32;
    static void init(Context* c) { sha256_init(c); }
    static void update(Context* c, const uint8_t* data, uint32_t length) { sha256_update(c, data, length); }
    static void final(Context* c, uint8_t* digest) { sha256_final(c, digest); }
    static void digest(const uint8_t* data, uint32_t length, uint8_t* out) { sha256_digest(data, length, out); }
};
using Forms = DigestForms<Sha256Traits>;

// Runs every test once with the run-time choice of compression and once with
// the portable compression forced.
class Sha256 : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam() && !sha256_cpu_has_extensions()) {
            GTEST_SKIP() << "this processor has no SHA extensions";
        }
        sha256_allow_extensions(GetParam());
    }
    void TearDown() override { sha256_allow_extensions(true); }
};

TEST_P(Sha256, PublishedVectorsThroughEveryForm) { Forms::check_vectors(vectors()); }

TEST_P(Sha256, OneCallAndIncrementalAgreeOnEveryShortLength) { Forms::check_short_lengths(); }

INSTANTIATE_TEST_SUITE_P(Compressions,
                         Sha256,
                         ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("Extensions") : std::string("Portable");
                         });

TEST(Sha256Compressions, AgreeOnManyBlocks) {
    if (!sha256_cpu_has_extensions()) GTEST_SKIP() << "this processor has no SHA extensions";
    std::vector<uint8_t> data(64 * 50);
    uint32_t seed = 12345;
    for (uint8_t& b : data) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    uint32_t portable[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t extensions[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (uint32_t count : {0u, 1u, 2u, 47u}) {
        sha256_compress_portable(portable, data.data(), count);
        sha256_compress_extensions(extensions, data.data(), count);
        for (int i = 0; i < 8; ++i) ASSERT_EQ(portable[i], extensions[i]) << count << " blocks";
    }
}

}  // namespace
