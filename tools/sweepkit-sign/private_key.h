// The maker's private key: the one operation of the kit that needs it.
#ifndef SWEEPKIT_SIGN_PRIVATE_KEY_H
#define SWEEPKIT_SIGN_PRIVATE_KEY_H

#include <cstdint>
#include <string>

namespace sweepkit_sign {

// Computes signature = message^d mod n with the RSA-2048 private key in the
// PEM file. False with *error set when the key cannot be read or is not an
// RSA-2048 key with e = 65537. *modulus receives n, most significant first.
bool private_key_operation(const std::string& pem_path,
                           const uint8_t message[256],
                           uint8_t signature[256],
                           uint8_t modulus[256],
                           std::string* error);

}  // namespace sweepkit_sign

#endif
