// Wiping through volatile stores: a dead-store elimination cannot drop them.
#include "wipe.h"

#include <cstdint>

void wipe_bytes(void* block, size_t size) {
  volatile uint8_t* p = static_cast<volatile uint8_t*>(block);
  for (size_t i = 0; i < size; ++i) p[i] = 0;
}
