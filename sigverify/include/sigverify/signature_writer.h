// The signer's side of the format: the signed message of a file and the
// bytes of a signature block or legacy trailer around a signature. It shares
// the verifier's own code for every value the verifier recomputes, so the
// two cannot drift. The private-key operation is the caller's.
#ifndef SIGVERIFY_SIGNATURE_WRITER_H
#define SIGVERIFY_SIGNATURE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

struct BlockOptions {
    char encoding = 'B';         // 'B' binary or 'T' hex text
    char key_selector = 'P';     // 'P' primary or 'D' secondary
    uint32_t lead_pad = 0;       // 0 to 32
    int64_t tail_pad = -1;       // 0 to 32; -1: what aligns the block's end to 8 bytes
    std::string lead_text;       // bytes that start the lead padding (a comment mark)
    uint32_t extra_records = 0;  // non-signature records placed before the signature record
};

// Why a file cannot be signed, or 0 when it can. Refuses (code 8 with a
// message) a file that carries a certificate table or a signature block.
struct SignCheck {
    bool ok;
    std::string reason;
    bool image = false;  // the file starts with "MZ"; a text file's padding must be inert
};

// Computes the payload a block appended to the file at `path` must carry:
// signed length, head digest, content MD5 and content SHA-256 of the file
// with its PE checksum and directory entry left out. Refuses a file that
// already has a certificate table or a signature block.
SignCheck compute_signing_payload(const wchar_t* path, sig_payload* payload);
// The same over a file already open; the caller keeps and closes it.
SignCheck compute_signing_payload(SigFile* file, sig_payload* payload);

// The 256-byte signed message for a payload, with the RSA operation's own
// trailer (body length and MD5 of the body) filled in.
void build_signed_message(const sig_payload& payload, uint8_t message[256]);

// The bytes of a block to append to a file of `file_length` bytes.
// False when an option is out of range.
bool build_signature_block(const BlockOptions& options,
                           uint64_t file_length,
                           const uint8_t signature[256],
                           std::vector<uint8_t>* block);

// The legacy trailer's message for a file whose bytes in front of the
// trailer have the given MD5 and whose total length is total_length.
void build_legacy_message(uint32_t total_length, const uint8_t md5[16], uint8_t message[256]);

// The legacy trailer's message for a file of `size` bytes that gets a trailer
// of the given encoding ('B' or 'T'). False when the signed file would not
// fit in 4 GiB.
bool build_legacy_message_for(const uint8_t* content, size_t size, char encoding, uint8_t message[256]);

// The legacy trailer itself: the signature and the encoding character.
void build_legacy_trailer(char encoding, const uint8_t signature[256], std::vector<uint8_t>* trailer);

}  // namespace sigverify

#endif
