// Verifies a legacy trailer against the secondary key.
#include "legacy_trailer.h"

#include <cstring>

#include "sigverify/builtin_keys.h"
#include "md5.h"
#include "rsa.h"
#include "crypto_alloc.h"
#include "sig_bytes.h"
#include "sigverify/sig_file.h"
#include "sig_format.h"
#include "wipe.h"

namespace sigverify {

namespace {

// Everything one legacy check may own, released in one place.
struct LegacySlots {
    SigFile* file = nullptr;
    uint8_t* work = nullptr;     // 8 × key length
    uint8_t* content = nullptr;  // the bytes in front of the trailer
    uint32_t content_size = 0;
};

bool release_slots(LegacySlots* slots) {
    sig_file_close(&slots->file);
    crypto_free(slots->work, 8 * builtin_key_length);
    slots->work = nullptr;
    crypto_free(slots->content, slots->content_size);
    slots->content = nullptr;
    return false;
}

}  // namespace

void unscramble_length(uint8_t bytes[4]) {
    uint32_t s = kLegacyLengthSeed;
    for (int i = 0; i < 4; ++i) {
        const uint32_t k = s % 255 + 1;
        bytes[i] = static_cast<uint8_t>(bytes[i] ^ k);
        s = s + s / 255 + k;
    }
}

bool check_legacy_trailer(SigFileDoor& door, const wchar_t* path) {
    LegacySlots slots;
    if (path == nullptr || !door.exists(path)) return false;
    slots.file = door.open(path);
    if (slots.file == nullptr) return release_slots(&slots);
    const int64_t length = sig_file_length(slots.file);
    if (length <= 0 || length > UINT32_MAX) return release_slots(&slots);
    const auto file_length = static_cast<uint32_t>(length);
    slots.work = static_cast<uint8_t*>(crypto_calloc(8 * builtin_key_length, 1));
    if (slots.work == nullptr) return release_slots(&slots);

    uint8_t kind = 0;
    if (!sig_file_seek(slots.file, -1, true) || sig_file_read(slots.file, &kind, 1) != 1) {
        return release_slots(&slots);
    }
    if (kind != kEncodingBinary && kind != kEncodingHexText) return release_slots(&slots);
    const bool hex = kind == kEncodingHexText;
    const uint32_t trailer = hex ? kLegacyHexTrailerSize : kLegacyBinaryTrailerSize;
    // The file must hold at least one byte in front of its trailer.
    if (file_length <= trailer) return release_slots(&slots);
    const uint32_t content_length = file_length - trailer;

    uint8_t text[2 * kSignatureSize];
    const uint32_t text_size = trailer - 1;
    if (!sig_file_seek(slots.file, content_length, false) ||
        sig_file_read(slots.file, text, text_size) != static_cast<int64_t>(text_size)) {
        return release_slots(&slots);
    }
    // A non-digit would decode as 0 and leave that character free.
    if (hex && !is_hex_text(text, text_size)) return release_slots(&slots);
    uint8_t signature[kSignatureSize];
    if (hex) {
        decode_hex(text, signature, kSignatureSize);
    } else {
        std::memcpy(signature, text, kSignatureSize);
    }
    // Only the number below the modulus is the signature (s + n opens alike).
    if (std::memcmp(signature, builtin_secondary_modulus, kSignatureSize) >= 0) return release_slots(&slots);

    uint8_t message[kMessageSize] = {};
    rsa_open_signature(signature, message, builtin_secondary_modulus, 8 * builtin_key_length, slots.work);
    uint8_t scrambled[4];
    std::memcpy(scrambled, message + kLegacyLength, sizeof scrambled);
    unscramble_length(scrambled);
    const uint32_t signed_length = load_le32(scrambled);

    slots.content = static_cast<uint8_t*>(crypto_calloc(content_length, 1));
    slots.content_size = content_length;
    if (slots.content == nullptr || !sig_file_seek(slots.file, 0, false) ||
        sig_file_read(slots.file, slots.content, content_length) != static_cast<int64_t>(content_length)) {
        wipe_bytes(message, sizeof message);
        return release_slots(&slots);
    }
    uint8_t digest[16];
    md5_digest(slots.content, content_length, digest);
    const bool verified = signed_length == file_length && std::memcmp(digest, message + kLegacyMd5, sizeof digest) == 0;
    wipe_bytes(message, sizeof message);
    release_slots(&slots);
    return verified;
}

}  // namespace sigverify
