// The signed message of a signature record: reading the signature value,
// recovering the message with a public key, and comparing its payload with
// the one computed from the file.
#ifndef SIGVERIFY_SIGNATURE_PAYLOAD_H
#define SIGVERIFY_SIGNATURE_PAYLOAD_H

#include <cstdint>

#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"

namespace sigverify {

// Reads the record's value at block start + value_offset (256 bytes, or 512
// hex-text characters in the 'T' encoding), opens it with the key (modulus of
// key_length bytes, most significant first) and unpacks message bytes 6..173
// into *expected, whose magic receives the message's first 6 bytes.
// Failures: 4 (no key, or a key that is not 256 bytes), 8 (value length not
// 256, a hex-text value holding a character that is not a hexadecimal digit,
// a value not below the modulus, or no "ZRSIGN" magic), 3 (seek to the value failed, no memory), 13 (read
// error or short read).
bool read_signature_payload(SigFile* file,
                            uint32_t block_distance,
                            char encoding,
                            const sig_record& record,
                            const uint8_t* key,
                            uint32_t key_length,
                            sig_payload* expected,
                            int* code);

// Fills a payload from the first 174 bytes of a signed message.
void unpack_payload(const uint8_t* message, sig_payload* payload);

// Compares the signed length (low, then high word), the content MD5 and the
// content SHA-256; the head digest and reserved areas are not compared.
// True when equal; otherwise false with *code 9.
bool compare_payload(const sig_payload& computed, const sig_payload& expected, int* code);

}  // namespace sigverify

#endif
