// The development key pairs' private halves, for signing inside tests.
#ifndef SIGVERIFY_TESTS_TEST_PRIVATE_KEYS_H
#define SIGVERIFY_TESTS_TEST_PRIVATE_KEYS_H

#include <cstdint>

struct TestPrivateKey {
    uint8_t modulus[256];           // most significant byte first
    uint8_t private_exponent[256];  // most significant byte first
};

extern const TestPrivateKey test_primary_key;
extern const TestPrivateKey test_secondary_key;

#endif
