// Recovers a block's signed message and compares it with the file.
#include "signature_payload.h"

#include <cstring>

#include "rsa.h"
#include "crypto_alloc.h"
#include "sig_bytes.h"
#include "sig_format.h"
#include "sigverify/sig_result.h"
#include "wipe.h"

namespace sigverify {

namespace {

// What one read of a signed message may own, released in one place.
struct PayloadSlots {
    uint8_t* text = nullptr;     // the value as read from the file
    uint8_t* message = nullptr;  // key_length bytes
    uint8_t* work = nullptr;     // 8 × key_length bytes
    uint32_t text_size = 0;
    uint32_t message_size = 0;
    uint32_t work_size = 0;
};

void release_slots(PayloadSlots* slots) {
    crypto_free(slots->text, slots->text_size);
    slots->text = nullptr;
    crypto_free(slots->message, slots->message_size);
    slots->message = nullptr;
    crypto_free(slots->work, slots->work_size);
    slots->work = nullptr;
}

bool fail(PayloadSlots* slots, int* code, int value) {
    release_slots(slots);
    *code = value;
    return false;
}

}  // namespace

void unpack_payload(const uint8_t* message, sig_payload* payload) {
    std::memcpy(payload->magic, message, kMessageMagicSize);
    payload->signed_length_low = load_le32(message + kMessageLengthLow);
    payload->signed_length_high = load_le32(message + kMessageLengthHigh);
    std::memcpy(payload->head_digest, message + kMessageHeadDigest, sizeof payload->head_digest);
    std::memcpy(payload->content_md5, message + kMessageContentMd5, sizeof payload->content_md5);
    std::memcpy(payload->content_sha256, message + kMessageContentSha256, sizeof payload->content_sha256);
    std::memcpy(payload->reserved1, message + kMessageReserved1, sizeof payload->reserved1);
    std::memcpy(payload->reserved2, message + kMessageReserved2, sizeof payload->reserved2);
}

bool read_signature_payload(SigFile* file,
                            uint32_t block_distance,
                            char encoding,
                            const sig_record& record,
                            const uint8_t* key,
                            uint32_t key_length,
                            sig_payload* expected,
                            int* code) {
    PayloadSlots slots;
    if (key == nullptr || key_length != kSignatureSize) return fail(&slots, code, kCodeMissingArgument);
    if (record.value_length != kSignatureSize) return fail(&slots, code, kCodeMalformed);
    // Block start + value_offset, relative to the end of the file.
    const int64_t from_end = static_cast<int64_t>(record.value_offset) - static_cast<int64_t>(block_distance);
    if (!sig_file_seek(file, from_end, true)) return fail(&slots, code, kCodeNoMemory);

    const bool hex = encoding == kEncodingHexText;
    const uint32_t text_size = hex ? 2 * kSignatureSize : kSignatureSize;
    slots.text = static_cast<uint8_t*>(crypto_calloc(text_size, 1));
    slots.text_size = text_size;
    slots.message_size = key_length;
    slots.message = static_cast<uint8_t*>(crypto_calloc(key_length, 1));
    slots.work_size = 8 * key_length;
    slots.work = static_cast<uint8_t*>(crypto_calloc(slots.work_size, 1));
    if (slots.text == nullptr || slots.message == nullptr || slots.work == nullptr) {
        return fail(&slots, code, kCodeNoMemory);
    }
    if (sig_file_read(file, slots.text, text_size) != static_cast<int64_t>(text_size)) {
        return fail(&slots, code, kCodeIoError);
    }
    // The decoder takes a non-digit as 0, which would leave that character
    // free for anything a script host reads.
    if (hex && !is_hex_text(slots.text, text_size)) return fail(&slots, code, kCodeMalformed);
    uint8_t signature[kSignatureSize];
    if (hex) {
        decode_hex(slots.text, signature, kSignatureSize);
    } else {
        std::memcpy(signature, slots.text, kSignatureSize);
    }
    // s and s + n open to the same message; only the number below the
    // modulus is the signature, so the value has no second form.
    if (std::memcmp(signature, key, kSignatureSize) >= 0) return fail(&slots, code, kCodeMalformed);

    // The operation's own trailer verdict does not decide: the magic and the
    // comparison with the file do.
    rsa_open_signature(signature, slots.message, key, 8 * key_length, slots.work);
    if (std::memcmp(slots.message, kMessageMagic, kMessageMagicSize) != 0) {
        return fail(&slots, code, kCodeMalformed);
    }
    unpack_payload(slots.message, expected);
    release_slots(&slots);
    return true;
}

bool compare_payload(const sig_payload& computed, const sig_payload& expected, int* code) {
    if (computed.signed_length_low != expected.signed_length_low ||
        computed.signed_length_high != expected.signed_length_high ||
        std::memcmp(computed.content_md5, expected.content_md5, sizeof computed.content_md5) != 0 ||
        std::memcmp(computed.content_sha256, expected.content_sha256, sizeof computed.content_sha256) != 0) {
        *code = kCodeMismatch;
        return false;
    }
    return true;
}

}  // namespace sigverify
