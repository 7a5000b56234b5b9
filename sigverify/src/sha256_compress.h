// The SHA-256 block compressions behind sha256.h: the portable one and the
// one on the x86 SHA extensions, chosen at run time.
#pragma once

#include <cstdint>

// Both compress count 64-byte blocks from data into state; count 0 does nothing.
void sha256_compress_portable(uint32_t state[8], const uint8_t* data, uint32_t count);
// Only when sha256_cpu_has_extensions() is true.
void sha256_compress_extensions(uint32_t state[8], const uint8_t* data, uint32_t count);

// True when the processor has the SHA extensions with SSSE3 and SSE4.1.
bool sha256_cpu_has_extensions();

// Lets tests force the portable compression (false) or go back to the
// run-time choice (true). Not synchronised.
void sha256_allow_extensions(bool allow);
