// Reads the signed content around the excluded ranges and digests it.
#include "signed_content.h"

#include <cstring>

#include "md5.h"
#include "sha256.h"
#include "crypto_alloc.h"
#include "sigverify/sig_result.h"

namespace sigverify {

namespace {

bool read_exact(SigFile* file, uint8_t* out, uint64_t size) {
    return sig_file_read(file, out, static_cast<uint32_t>(size)) == static_cast<int64_t>(size);
}

}  // namespace

bool read_signed_content(
    SigFile* file, uint32_t limit, const excluded_range* ranges, uint8_t* buffer, uint32_t* count, int* code) {
    *count = 0;
    if (!sig_file_seek(file, 0, false)) {
        *code = kCodeMissingArgument;
        return false;
    }
    uint64_t pos = 0;  // next file position not yet read or skipped
    uint64_t out = 0;
    for (const excluded_range* r = ranges; r != nullptr && pos < limit; r = r->next) {
        const uint64_t first = r->first;
        const uint64_t last = r->last;
        if (last < first || last < pos) continue;  // adds nothing that is not behind us
        const uint64_t gap_end = first < limit ? first : limit;
        if (gap_end > pos) {
            if (!read_exact(file, buffer + out, gap_end - pos)) {
                *code = kCodeIoError;
                return false;
            }
            out += gap_end - pos;
        }
        pos = last + 1;
        if (pos < limit && !sig_file_seek(file, static_cast<int64_t>(pos), false)) {
            *code = kCodeIoError;
            return false;
        }
    }
    if (pos < limit) {
        if (!read_exact(file, buffer + out, limit - pos)) {
            *code = kCodeIoError;
            return false;
        }
        out += limit - pos;
    }
    *count = static_cast<uint32_t>(out);
    return true;
}

bool compute_content_digests(SigFile* file, const excluded_range* ranges, sig_payload* payload, int* code) {
    if (file == nullptr || payload == nullptr) {
        *code = kCodeMissingArgument;
        return false;
    }
    const int64_t length = sig_file_length(file);
    if (length < 0 || length > UINT32_MAX) {
        *code = kCodeIoError;
        return false;
    }
    const auto file_length = static_cast<uint32_t>(length);
    auto* buffer = static_cast<uint8_t*>(crypto_calloc(file_length, 1));
    if (buffer == nullptr) {
        *code = kCodeNoMemory;
        return false;
    }
    uint32_t count = 0;
    if (!read_signed_content(file, file_length, ranges, buffer, &count, code)) {
        crypto_free(buffer, file_length);
        return false;
    }
    Md5Context md5;
    md5_init(&md5);
    md5_update(&md5, buffer, count);
    md5_final(payload->content_md5, &md5);  // wipes the state
    sha256_digest(buffer, count, payload->content_sha256);
    crypto_free(buffer, file_length);
    // The bytes actually digested: with sound ranges (inside the file, no
    // overlap) this is the file length minus what the ranges cover.
    payload->signed_length_low = count;
    payload->signed_length_high = 0;
    return true;
}

}  // namespace sigverify
