// Fuzzes the whole verification. The input chooses a shape: the bytes as
// they are, or content with a signature block, a legacy trailer, or a block
// plus a certificate table spliced in, then edits to those bytes; so inputs
// reach the signature, range and digest steps and not only the search.
//
// Input: shape, flags, edit count n, n edits (offset u16 LE from the splice
// point, xor byte), then the content.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bignum.h"
#include "fuzz_temp_file.h"
#include "md5.h"
#include "sigverify/signature_writer.h"
#include "test_private_keys.h"
#include "sigverify/verify_file.h"

using namespace sigverify;  // the code under test

namespace {

// One private-key operation with the development key, done once at start-up:
// the spliced values are signatures over fixed messages, so a block verifies
// in full only over the content it was made for.
void sign(const TestPrivateKey& key, const uint8_t message[256], uint8_t signature[256]) {
    BigNum* n = bignum_new();
    BigNum* d = bignum_new();
    BigNum* m = bignum_new();
    BigNum* s = bignum_new();
    if (n != nullptr && d != nullptr && m != nullptr && s != nullptr) {
        bignum_from_bytes(n, key.modulus, 256);
        bignum_from_bytes(d, key.private_exponent, 256);
        bignum_from_bytes(m, message, 256);
        bignum_mod_exp(s, m, d, n);
        bignum_to_bytes(s, signature, 256);
    }
    bignum_free(&n);
    bignum_free(&d);
    bignum_free(&m);
    bignum_free(&s);
}

// The contents the spliced signatures were made for: a block over no signed
// content at all, and a legacy trailer behind the one byte 'L'. Seeds with
// these contents are accepted; every other content reaches the comparison.
struct Signatures {
    uint8_t block_primary[256];
    uint8_t block_secondary[256];
    uint8_t legacy_binary[256];
    uint8_t legacy_hex[256];

    Signatures() {
        static const uint8_t kLegacyContent[1] = {'L'};
        sigverify::sig_payload payload{};
        md5_digest(kLegacyContent, 0, payload.content_md5);
        static const uint8_t kEmptySha256[32] = {0xe3, 0xb0, 0xc4, 0x42, 0x98, 0xfc, 0x1c, 0x14, 0x9a, 0xfb, 0xf4,
                                                 0xc8, 0x99, 0x6f, 0xb9, 0x24, 0x27, 0xae, 0x41, 0xe4, 0x64, 0x9b,
                                                 0x93, 0x4c, 0xa4, 0x95, 0x99, 0x1b, 0x78, 0x52, 0xb8, 0x55};
        std::memcpy(payload.content_sha256, kEmptySha256, 32);
        uint8_t message[256];
        sigverify::build_signed_message(payload, message);
        sign(test_primary_key, message, block_primary);
        sign(test_secondary_key, message, block_secondary);
        uint8_t digest[16];
        md5_digest(kLegacyContent, 1, digest);
        sigverify::build_legacy_message(1 + 257, digest, message);
        sign(test_secondary_key, message, legacy_binary);
        sigverify::build_legacy_message(1 + 513, digest, message);
        sign(test_secondary_key, message, legacy_hex);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzing::FuzzTempFile file("verify_file_signature");
    static const Signatures sigs;
    if (size < 3 || size > (1u << 20)) return 0;
    const uint8_t shape = data[0] % 4;
    const uint8_t flags = data[1];
    const size_t edits = data[2] % 16;
    size_t at = 3;
    if (size < at + 3 * edits) return 0;
    const uint8_t* edit = data + at;
    at += 3 * edits;
    std::vector<uint8_t> bytes(data + at, data + size);
    const size_t splice = bytes.size();

    sigverify::BlockOptions options;
    options.encoding = (flags & 1) != 0 ? 'T' : 'B';
    options.key_selector = (flags & 2) != 0 ? 'D' : 'P';
    options.lead_pad = (flags >> 2) & 7;
    options.extra_records = (flags >> 5) & 3;
    std::vector<uint8_t> tail;
    if (shape == 1 || shape == 3) {
        const uint8_t* signature = options.key_selector == 'D' ? sigs.block_secondary : sigs.block_primary;
        sigverify::build_signature_block(options, bytes.size(), signature, &tail);
    } else if (shape == 2) {
        const char encoding = (flags & 1) != 0 ? 'T' : 'B';
        sigverify::build_legacy_trailer(encoding, encoding == 'T' ? sigs.legacy_hex : sigs.legacy_binary, &tail);
    }
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    if (shape == 3 && bytes.size() >= 0x100) {
        // A PE32 header whose certificate table follows the block.
        const auto table = static_cast<uint32_t>(bytes.size());
        bytes[0] = 'M';
        bytes[1] = 'Z';
        std::memset(&bytes[60], 0, 4);
        bytes[60] = 0x40;
        bytes[0x40 + 24] = 0x0B;
        bytes[0x40 + 25] = 0x01;
        for (int i = 0; i < 4; ++i) bytes[0x40 + 152 + static_cast<size_t>(i)] = static_cast<uint8_t>(table >> (8 * i));
        bytes[0x40 + 156] = 16;
        std::memset(&bytes[0x40 + 157], 0, 3);
        bytes.resize(bytes.size() + 16, 0);
    }
    for (size_t i = 0; i < edits && !tail.empty(); ++i) {
        const size_t offset = splice + (edit[3 * i] | static_cast<size_t>(edit[3 * i + 1]) << 8);
        if (offset < bytes.size()) bytes[offset] ^= edit[3 * i + 2];
    }
    if (!file.write(bytes.data(), bytes.size())) return 0;
    int code = 0;
    const bool accepted = sigverify::verify_file_signature(file.wide(), &code, (flags >> 7) != 0 ? 2 : 0);
    const bool known = accepted ? (code == 2 || code == 3)
                                : (code == 1 || code == 2 || code == 3 || code == 4 || code == 5 ||
                                   (code >= 7 && code <= 11) || code == 13);
    if (!known) __builtin_trap();
    return 0;
}
