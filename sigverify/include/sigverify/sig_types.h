// In-memory records of the verification: a parsed signature block with its
// records, the payload of a signed message, and the list of excluded ranges.
#ifndef SIGVERIFY_SIG_TYPES_H
#define SIGVERIFY_SIG_TYPES_H

#include <cstdint>

namespace sigverify {

struct sig_record {
    uint8_t record_type;
    uint32_t value_offset;  // from block start
    uint32_t value_length;  // in bytes, for both encodings
    char key_selector;
};

// Owned by the caller; release_block_info frees the records.
struct sig_block_info {
    uint32_t lead_pad;
    uint32_t span;
    uint8_t record_count;
    sig_record* records;  // record_count entries, block order
    uint32_t end_offset;
    uint32_t tail_pad;
    char encoding;
    uint32_t block_distance;  // bytes from block start to the end of the file
};

void release_block_info(sig_block_info* info);

// Bytes 0..173 of a signed message, fields in message order.
struct sig_payload {
    uint8_t magic[6];
    uint32_t signed_length_low;
    uint32_t signed_length_high;
    uint8_t head_digest[16];
    uint8_t content_md5[16];
    uint8_t content_sha256[32];
    uint8_t reserved1[32];
    uint8_t reserved2[64];
};

// One excluded range of file offsets, first and last byte inclusive. The
// list is singly linked in ascending file order and owned by one verification.
struct excluded_range {
    uint32_t first;
    uint32_t first_high;  // always 0
    uint32_t last;
    uint32_t last_high;  // always 0
    excluded_range* next;
};

// Appends [first, last] at the end of the list; false when memory runs out.
bool append_range(excluded_range** list, uint32_t first, uint32_t last);
void release_ranges(excluded_range** list);

}  // namespace sigverify

#endif
