// SHA-256: the FIPS 180-2 vectors through every form of the interface and
// through both block compressions, and agreement of the two compressions.
#include "sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sha256_compress.h"
#include "test_hex.h"

namespace {

struct Vector {
  std::string message;
  const char* digest;
};

std::vector<Vector> vectors() {
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
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
}

std::string one_call(const uint8_t* data, uint32_t length) {
  uint8_t digest[32];
  sha256_digest(data, length, digest);
  return to_hex(digest, 32);
}

std::string in_pieces(const uint8_t* data, uint32_t length, uint32_t piece) {
  Sha256Context context;
  sha256_init(&context);
  for (uint32_t at = 0; at < length; at += piece) {
    sha256_update(&context, data + at, std::min(piece, length - at));
  }
  uint8_t digest[32];
  sha256_final(&context, digest);
  return to_hex(digest, 32);
}

std::string split_at(const uint8_t* data, uint32_t length, uint32_t split) {
  Sha256Context context;
  sha256_init(&context);
  sha256_update(&context, data, split);
  sha256_update(&context, nullptr, 0);
  sha256_update(&context, data + split, length - split);
  uint8_t digest[32];
  sha256_final(&context, digest);
  return to_hex(digest, 32);
}

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

TEST_P(Sha256, PublishedVectorsThroughEveryForm) {
  for (const Vector& v : vectors()) {
    const uint8_t* data = bytes_of(v.message);
    const uint32_t length = size32(v.message.size());
    SCOPED_TRACE("length " + std::to_string(length));
    EXPECT_EQ(one_call(data, length), v.digest);
    for (uint32_t piece : {1u, 63u, 64u, 65u}) {
      EXPECT_EQ(in_pieces(data, length, piece), v.digest) << "pieces of " << piece;
    }
    if (length <= 200) {
      for (uint32_t split = 0; split <= length; ++split) {
        EXPECT_EQ(split_at(data, length, split), v.digest) << "split at " << split;
      }
    }
  }
}

TEST_P(Sha256, OneCallAndIncrementalAgreeOnEveryShortLength) {
  std::vector<uint8_t> data(200);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
  for (uint32_t length = 0; length <= 200; ++length) {
    const std::string expected = one_call(data.data(), length);
    for (uint32_t split = 0; split <= length; ++split) {
      ASSERT_EQ(split_at(data.data(), length, split), expected)
          << "length " << length << ", split at " << split;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Compressions, Sha256, ::testing::Values(true, false),
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
