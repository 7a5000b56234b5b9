// The two RSA-2048 moduli built into the program as constant data, most
// significant byte first. The build derives them from the public keys it is
// given (the development keys in keys/ unless a release names others).
#ifndef SIGVERIFY_BUILTIN_KEYS_H
#define SIGVERIFY_BUILTIN_KEYS_H

#include <cstdint>

namespace sigverify {

constexpr uint32_t builtin_key_length = 256;

extern const uint8_t builtin_primary_modulus[builtin_key_length];
extern const uint8_t builtin_secondary_modulus[builtin_key_length];

}  // namespace sigverify

#endif
