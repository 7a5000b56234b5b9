// Checks shared by the digest tests: a digest computed in one call, in
// pieces and split at every offset must agree, and match published vectors.
// A Traits type names the context and wraps init, update, final and the
// one-call form of one digest.
#ifndef SIGVERIFY_TESTS_DIGEST_FORMS_H
#define SIGVERIFY_TESTS_DIGEST_FORMS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "test_hex.h"

struct DigestVector {
    std::string message;
    const char* digest;
};

template <class Traits>
struct DigestForms {
    static std::string one_call(const uint8_t* data, uint32_t length) {
        uint8_t digest[Traits::size];
        Traits::digest(data, length, digest);
        return to_hex(digest, Traits::size);
    }

    // Feeds the message in pieces of the given size (the last may be shorter).
    static std::string in_pieces(const uint8_t* data, uint32_t length, uint32_t piece) {
        typename Traits::Context context;
        Traits::init(&context);
        for (uint32_t at = 0; at < length; at += piece) {
            Traits::update(&context, data + at, std::min(piece, length - at));
        }
        return finish(&context);
    }

    // Two pieces split at the given offset, with an empty update between them.
    static std::string split_at(const uint8_t* data, uint32_t length, uint32_t split) {
        typename Traits::Context context;
        Traits::init(&context);
        Traits::update(&context, data, split);
        Traits::update(&context, nullptr, 0);
        Traits::update(&context, data + split, length - split);
        return finish(&context);
    }

    static void check_vectors(const std::vector<DigestVector>& vectors) {
        for (const DigestVector& v : vectors) {
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

    // Every length 0 to 200, split at every offset, against the one-call form.
    static void check_short_lengths() {
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

private:
    static std::string finish(typename Traits::Context* context) {
        uint8_t digest[Traits::size];
        Traits::final(context, digest);
        return to_hex(digest, Traits::size);
    }
};

#endif
