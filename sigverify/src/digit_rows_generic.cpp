// Row kernels on processors without the fast forms: the run-time choice
// always takes the portable loops (see digit_rows.h).
#include "digit_rows.h"

bool row_cpu_has_adx() { return false; }

uint32_t row_mul_add_adx(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return row_mul_add_portable(w, u, d, n);
}

uint32_t row_mul_sub_adx(uint32_t* w, const uint32_t* u, uint32_t d, uint32_t n) {
  return row_mul_sub_portable(w, u, d, n);
}
