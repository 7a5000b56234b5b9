// MD5: the RFC 1321 vectors through every form of the interface, agreement of
// the one-call and incremental forms, and the wipe of the context.
#include "md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_hex.h"

namespace {

struct Vector {
  std::string message;
  const char* digest;
};

std::vector<Vector> vectors() {
  return {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {std::string("1234567890") + "1234567890" + "1234567890" + "1234567890" + "1234567890" +
           "1234567890" + "1234567890" + "1234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // Around the padding boundary: 55 bytes fit one block, 56 need two.
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
      {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
  };
}

std::string one_call(const uint8_t* data, uint32_t length) {
  uint8_t digest[16];
  md5_digest(data, length, digest);
  return to_hex(digest, 16);
}

// Feeds the message in pieces of the given size (the last may be shorter).
std::string in_pieces(const uint8_t* data, uint32_t length, uint32_t piece) {
  Md5Context context;
  md5_init(&context);
  for (uint32_t at = 0; at < length; at += piece) {
    md5_update(&context, data + at, std::min(piece, length - at));
  }
  uint8_t digest[16];
  md5_final(digest, &context);
  return to_hex(digest, 16);
}

std::string split_at(const uint8_t* data, uint32_t length, uint32_t split) {
  Md5Context context;
  md5_init(&context);
  md5_update(&context, data, split);
  md5_update(&context, nullptr, 0);
  md5_update(&context, data + split, length - split);
  uint8_t digest[16];
  md5_final(digest, &context);
  return to_hex(digest, 16);
}

TEST(Md5, PublishedVectorsThroughEveryForm) {
  for (const Vector& v : vectors()) {
    const uint8_t* data = bytes_of(v.message);
    const uint32_t length = size32(v.message.size());
    SCOPED_TRACE("length " + std::to_string(length));
    EXPECT_EQ(one_call(data, length), v.digest);
    EXPECT_EQ(in_pieces(data, length, length == 0 ? 1 : length), v.digest);
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

TEST(Md5, OneCallAndIncrementalAgreeOnEveryShortLength) {
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

TEST(Md5, FinalWipesTheWholeContext) {
  Md5Context context;
  md5_init(&context);
  const std::string message(100, 'x');
  md5_update(&context, bytes_of(message), size32(message.size()));
  uint8_t digest[16];
  md5_final(digest, &context);
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(&context);
  EXPECT_EQ(std::vector<uint8_t>(raw, raw + sizeof context),
            std::vector<uint8_t>(sizeof context, 0));
  EXPECT_EQ(to_hex(digest, 16), one_call(bytes_of(message), 100));
}

}  // namespace
