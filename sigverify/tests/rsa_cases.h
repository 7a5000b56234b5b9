// The trailer cases of rsa_open_signature, run against any key that can
// make raw signatures (s = m^d mod n): the throwaway test key on every build,
// the development keys through OpenSSL natively.
#ifndef SIGVERIFY_TESTS_RSA_CASES_H
#define SIGVERIFY_TESTS_RSA_CASES_H

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "heap_watch.h"
#include "md5.h"
#include "rsa.h"
#include "test_hex.h"

using Bytes = std::vector<uint8_t>;

struct RawSigner {
    Bytes modulus;                            // k bytes, big-endian
    std::function<Bytes(const Bytes&)> sign;  // k-byte message below the modulus
};

constexpr uint32_t rsa_key_bits = 2048;
constexpr uint32_t rsa_k = rsa_key_bits / 8;

// A k-byte message with body length d: body and filler bytes are arbitrary,
// the first byte is small enough to keep the message below any 2048-bit
// modulus, and the MD5 of the body is placed at digest_at.
inline Bytes trailer_message(uint32_t d, uint32_t digest_at) {
    Bytes message(rsa_k);
    for (uint32_t i = 0; i < rsa_k; ++i) message[i] = static_cast<uint8_t>(i * 29 + d + 3);
    message[0] = 0x3C;
    if (d <= rsa_k - 32) {
        uint8_t digest[16];
        sigverify::md5_digest(message.data(), d, digest);
        std::copy(digest, digest + 16, message.data() + digest_at);
    }
    for (uint32_t i = 0; i < 4; ++i) message[rsa_k - 16 + i] = static_cast<uint8_t>(d >> (8 * i));
    return message;
}

inline Bytes trailer_message(uint32_t d) { return trailer_message(d, (d + 15) / 16 * 16); }

// Result of opening signature into a buffer and work area with the given
// previous contents.
struct Opened {
    uint32_t result;
    Bytes message;
    Bytes work;
};

inline Opened open_signature(const RawSigner& key,
                             const Bytes& signature,
                             const Bytes& previous = Bytes(rsa_k, 0),
                             const Bytes& work_before = Bytes(8 * rsa_k, 0xEE)) {
    Opened opened{0, previous, work_before};
    if (signature.size() != rsa_k) {
        ADD_FAILURE() << "no signature";
        return opened;
    }
    opened.result = sigverify::rsa_open_signature(
        signature.data(), opened.message.data(), key.modulus.data(), rsa_key_bits, opened.work.data());
    return opened;
}

inline std::string md5_hex(const uint8_t* data, uint32_t length) {
    uint8_t digest[16];
    sigverify::md5_digest(data, length, digest);
    return to_hex(digest, 16);
}

inline void run_rsa_trailer_cases(const RawSigner& key) {
    {
        SCOPED_TRACE("a valid trailer yields d");
        const Bytes message = trailer_message(100);
        const Opened opened = open_signature(key, key.sign(message));
        EXPECT_EQ(opened.result, 100u);
        EXPECT_EQ(opened.message, message);
        EXPECT_EQ(to_hex(opened.work.data(), 16), md5_hex(message.data(), 100));
    }
    {
        SCOPED_TRACE("a length of k - 32 passes the bound");
        EXPECT_EQ(open_signature(key, key.sign(trailer_message(rsa_k - 32))).result, rsa_k - 32);
    }
    {
        SCOPED_TRACE("d = 174 places the digest at 176 to 191");
        EXPECT_EQ(open_signature(key, key.sign(trailer_message(174))).result, 174u);
        EXPECT_EQ(open_signature(key, key.sign(trailer_message(174, 174))).result, 0u);
    }
    for (uint32_t too_long : {rsa_k - 31, rsa_k, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE("length " + std::to_string(too_long) + " fails without a digest");
        const Opened opened = open_signature(key, key.sign(trailer_message(too_long)));
        EXPECT_EQ(opened.result, 0u);
        EXPECT_EQ(opened.work, Bytes(8 * rsa_k, 0xEE));
    }
    {
        SCOPED_TRACE("d = 0 checks the digest of the empty string at 0 to 15");
        // Bytes 0 to 15 cannot hold that digest in a message below the modulus
        // (its first byte is 0xd4), so the check fails; work shows it was made.
        const Opened opened = open_signature(key, key.sign(trailer_message(0, 16)));
        EXPECT_EQ(opened.result, 0u);
        EXPECT_EQ(to_hex(opened.work.data(), 16), "d41d8cd98f00b204e9800998ecf8427e");
    }
    {
        SCOPED_TRACE("a message with a zero top byte is written one byte shorter");
        // The buffer as it will read after the call: a valid trailer at the
        // usual offsets, and a last byte that the call does not write.
        Bytes expected = trailer_message(100);
        expected[rsa_k - 1] = 0x5C;
        Bytes message(rsa_k);
        message[0] = 0;
        std::copy(expected.begin(), expected.end() - 1, message.begin() + 1);
        const Opened opened = open_signature(key, key.sign(message), Bytes(rsa_k, 0x5C));
        EXPECT_EQ(opened.result, 100u);
        EXPECT_EQ(opened.message, expected);
    }
    {
        SCOPED_TRACE("a zero signature writes nothing");
        const Bytes zero(rsa_k, 0);
        const Opened opened = open_signature(key, zero);
        EXPECT_EQ(opened.result, 0u);
        EXPECT_EQ(opened.message, zero);
        EXPECT_EQ(to_hex(opened.work.data(), 16), "d41d8cd98f00b204e9800998ecf8427e");
        // The result then depends on what the buffer held before.
        const Bytes previous = trailer_message(100);
        EXPECT_EQ(open_signature(key, zero, previous).result, 100u);
    }
    {
        SCOPED_TRACE("a damaged signature fails");
        Bytes signature = key.sign(trailer_message(100));
        signature[rsa_k / 2] ^= 0x10;
        EXPECT_EQ(open_signature(key, signature).result, 0u);
    }
}

// Every allocation of the operation made to fail in turn: the result is 0,
// nothing leaks, every released block was wiped, and a failure while the
// numbers are created leaves the buffers untouched.
inline void run_rsa_allocation_failures(const RawSigner& key) {
    const Bytes signature = key.sign(trailer_message(100));
    long allocations = 0;
    {
        HeapWatch watch;
        ASSERT_EQ(open_signature(key, signature).result, 100u);
        allocations = watch.attempts();
        EXPECT_EQ(watch.live_blocks(), 0u);
        EXPECT_EQ(watch.unwiped_releases(), 0);
    }
    ASSERT_GE(allocations, 8);
    for (long failing = 0; failing < allocations; ++failing) {
        SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
        HeapWatch watch;
        watch.fail_at(failing);
        const Opened opened = open_signature(key, signature, Bytes(rsa_k, 0x77));
        EXPECT_EQ(opened.result, 0u);
        EXPECT_EQ(watch.live_blocks(), 0u);
        EXPECT_EQ(watch.unwiped_releases(), 0);
        if (failing < 8) {
            EXPECT_EQ(opened.message, Bytes(rsa_k, 0x77));
            EXPECT_EQ(opened.work, Bytes(8 * rsa_k, 0xEE));
        }
    }
}

#endif
