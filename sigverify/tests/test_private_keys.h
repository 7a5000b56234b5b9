// The development key pairs' private halves, for signing inside tests.
#pragma once

#include <cstdint>

struct test_private_key {
    uint8_t modulus[256];           // most significant byte first
    uint8_t private_exponent[256];  // most significant byte first
};

extern const test_private_key test_primary_key;
extern const test_private_key test_secondary_key;
