// MD5: the RFC 1321 vectors through every form of the interface, agreement of
// the one-call and incremental forms, and the wipe of the context.
#include "md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "digest_forms.h"
#include "test_hex.h"

using namespace sigverify;  // the code under test

namespace {

std::vector<DigestVector> vectors() {
    return {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {std::string("1234567890") + "1234567890" + "1234567890" + "1234567890" + "1234567890" + "1234567890" +
             "1234567890" + "1234567890",
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

struct Md5Traits {
    using Context = Md5Context;
    static constexpr size_t size = 16;
    static void init(Context* c) { md5_init(c); }
    static void update(Context* c, const uint8_t* data, uint32_t length) { md5_update(c, data, length); }
    static void final(Context* c, uint8_t* digest) { md5_final(digest, c); }
    static void digest(const uint8_t* data, uint32_t length, uint8_t* out) { md5_digest(data, length, out); }
};
using Forms = DigestForms<Md5Traits>;

TEST(Md5, PublishedVectorsThroughEveryForm) { Forms::check_vectors(vectors()); }

TEST(Md5, OneCallAndIncrementalAgreeOnEveryShortLength) { Forms::check_short_lengths(); }

TEST(Md5, FinalWipesTheWholeContext) {
    Md5Context context;
    md5_init(&context);
    const std::string message(100, 'x');
    md5_update(&context, bytes_of(message), size32(message.size()));
    uint8_t digest[16];
    md5_final(digest, &context);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&context);
    EXPECT_EQ(std::vector<uint8_t>(raw, raw + sizeof context), std::vector<uint8_t>(sizeof context, 0));
    EXPECT_EQ(to_hex(digest, 16), Forms::one_call(bytes_of(message), 100));
}

}  // namespace
