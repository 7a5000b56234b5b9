// The verification flow: open the file, place the excluded ranges, parse the
// block, recover the signed message and compare it with the file's content.
#include "sigverify/verify_file.h"

#include "block_checks.h"
#include "sigverify/builtin_keys.h"
#include "excluded_ranges.h"
#include "legacy_trailer.h"
#include "pe_exclusions.h"
#include "sigverify/sig_file.h"
#include "sig_format.h"
#include "sigverify/sig_result.h"
#include "sigverify/sig_types.h"
#include "signature_block_parser.h"
#include "signature_payload.h"
#include "signed_content.h"
#include "wipe.h"

namespace sigverify {

namespace {

// Everything one block verification may own, released in one place.
struct VerifySlots {
    SigFile* file = nullptr;
    excluded_range* ranges = nullptr;
    sig_block_info block = {};
    sig_payload expected = {};
    sig_payload computed = {};
};

void release_slots(VerifySlots* slots) {
    sig_file_close(&slots->file);
    release_ranges(&slots->ranges);
    release_block_info(&slots->block);
    wipe_bytes(&slots->expected, sizeof slots->expected);
    wipe_bytes(&slots->computed, sizeof slots->computed);
}

bool finish(VerifySlots* slots, int* code, int value, bool result) {
    release_slots(slots);
    if (code != nullptr) *code = value;
    return result;
}

}  // namespace

bool verify_signature_block(
    SigFileDoor& door, const wchar_t* path, int* code, const uint8_t* key, uint32_t key_length) {
    VerifySlots slots;
    int step = 0;
    if (path == nullptr || key == nullptr || key_length == 0) return finish(&slots, code, kCodeMissingArgument, false);
    if (!door.exists(path)) return finish(&slots, code, kCodeNotFound, false);
    slots.file = door.open(path);
    if (slots.file == nullptr) return finish(&slots, code, kCodeCannotOpen, false);
    const int64_t length = sig_file_length(slots.file);
    if (length <= 0 || length > UINT32_MAX) return finish(&slots, code, kCodeIoError, false);
    const auto file_length = static_cast<uint32_t>(length);

    PeCertTable cert{};
    bool out_of_memory = false;
    if (!collect_pe_exclusions(slots.file, &slots.ranges, &cert, &out_of_memory)) {
        return finish(&slots, code, out_of_memory ? kCodeNoMemory : kCodeBadPeHeaders, false);
    }
    if (!parse_signature_block(slots.file, file_length, &slots.block, &step)) {
        return finish(&slots, code, step, false);
    }

    const sig_record* record = nullptr;
    for (uint32_t i = 0; i < slots.block.record_count; ++i) {
        if (slots.block.records[i].record_type == kSignatureRecordType) {
            record = &slots.block.records[i];
            break;
        }
    }
    if (record == nullptr) return finish(&slots, code, kCodeNoSignatureRecord, false);
    const uint8_t* record_key = nullptr;
    uint32_t record_key_length = 0;
    if (record->key_selector == kKeyPrimary) {
        record_key = key;
        record_key_length = key_length;
    } else if (record->key_selector == kKeySecondary) {
        record_key = builtin_secondary_modulus;
        record_key_length = builtin_key_length;
    } else {
        return finish(&slots, code, kCodeMalformed, false);
    }
    if (!read_signature_payload(slots.file,
                                slots.block.block_distance,
                                slots.block.encoding,
                                *record,
                                record_key,
                                record_key_length,
                                &slots.expected,
                                &step)) {
        return finish(&slots, code, step, false);
    }

    // The parser put the block's range inside the file. A certificate table
    // must lie wholly after it and inside the file: the directory entry is
    // not signed, and a table placed elsewhere would hide signed bytes.
    const uint32_t block_first = file_length - slots.block.block_distance - slots.block.lead_pad;
    const uint32_t block_last = block_first + slots.block.span - 1;
    if (cert.present) {
        const uint64_t cert_end = static_cast<uint64_t>(cert.address) + cert.size;
        if (cert.size == 0 || cert.address <= block_last || cert_end > file_length) {
            return finish(&slots, code, kCodeMalformed, false);
        }
    }
    if (!insert_block_range(&slots.ranges, block_first, block_last)) {
        return finish(&slots, code, kCodeNoMemory, false);
    }
    // Overlapping ranges, or a block range the list holds out of order.
    if (!ranges_are_sound(slots.ranges, file_length)) return finish(&slots, code, kCodeMalformed, false);

    if (!compute_content_digests(slots.file, slots.ranges, &slots.computed, &step)) {
        return finish(&slots, code, step, false);
    }
    if (!compare_payload(slots.computed, slots.expected, &step)) return finish(&slots, code, step, false);

    // The signature covers the signed content as a sequence of bytes, not
    // where they lie, and the block itself is unsigned: only a block that
    // ends the file's own data and holds nothing free leaves a loader and a
    // script host the bytes that were signed. After the comparison, so that
    // content appended after the block or its certificate table stays 9.
    if (!block_ends_the_file(block_last, cert, file_length)) return finish(&slots, code, kCodeMalformed, false);
    step = check_block_bytes(slots.file, slots.block, block_first, record, !cert.image);
    if (step != 0) return finish(&slots, code, step, false);
    if (record->key_selector == kKeySecondary) return finish(&slots, code, kCodeSecondaryKey, false);
    return finish(&slots, code, kCodeBlockVerified, true);
}

bool verify_file_signature(const wchar_t* path, int* code, uint32_t mode) {
    return verify_file_signature(platform_file_door(), path, code, mode);
}

bool verify_file_signature(SigFileDoor& door, const wchar_t* path, int* code, uint32_t mode) {
    int block_code = 0;
    if (verify_signature_block(door, path, &block_code, builtin_primary_modulus, builtin_key_length)) {
        if (code != nullptr) *code = kCodeBlockVerified;
        return true;
    }
    if ((mode == 1 || mode == 2) && check_legacy_trailer(door, path)) {
        if (code != nullptr) *code = kCodeLegacyVerified;
        return true;
    }
    if (code != nullptr) *code = block_code;
    return false;
}

}  // namespace sigverify
