// BigNum: a heap-owned digit array with its used count, and the operations
// the RSA public-key step needs.
#include "bignum.h"

#include "crypto_alloc.h"
#include "digits.h"
#include "wipe.h"

namespace sigverify {

BigNum* bignum_new() {
    BigNum* number = static_cast<BigNum*>(crypto_calloc(1, sizeof(BigNum)));
    if (number == nullptr) return nullptr;
    number->digits = static_cast<uint32_t*>(crypto_calloc(1, sizeof(uint32_t)));
    if (number->digits == nullptr) {
        crypto_free(number, sizeof(BigNum));
        return nullptr;
    }
    number->used = 0;
    number->capacity = 1;
    return number;
}

void bignum_free(BigNum** number) {
    if (number == nullptr || *number == nullptr) return;
    BigNum* doomed = *number;
    crypto_free(doomed->digits, doomed->capacity * sizeof(uint32_t));
    crypto_free(doomed, sizeof *doomed);
    *number = nullptr;
}

int bignum_reserve(BigNum* number, uint32_t size) {
    if (size < number->used) {
        for (uint32_t i = size; i < number->used; ++i) number->digits[i] = 0;
        number->used = size;
        return 0;
    }
    if (size > number->capacity) {
        // Grown by hand rather than by reallocation, so that the old array is
        // wiped before it goes back to the heap.
        uint32_t* grown = static_cast<uint32_t*>(crypto_calloc(size, sizeof(uint32_t)));
        if (grown == nullptr) return 1;
        digits_copy(grown, number->digits, number->used);
        crypto_free(number->digits, number->capacity * sizeof(uint32_t));
        number->digits = grown;
        number->capacity = size;
    }
    for (uint32_t i = number->used; i < size; ++i) number->digits[i] = 0;
    return 0;
}

uint32_t bignum_from_bytes(BigNum* number, const uint8_t* bytes, uint32_t len) {
    const uint32_t size = len / 4 + (len % 4 != 0 ? 1 : 0);
    if (bignum_reserve(number, size) != 0) return 0;
    const uint32_t filled = digits_from_bytes(number->digits, size, bytes, len);
    number->used = digits_used(number->digits, size);
    return filled;
}

uint32_t bignum_to_bytes(const BigNum* number, uint8_t* bytes, uint32_t len) {
    if (bytes != nullptr && len != 0) {
        return digits_to_bytes(number->digits, number->used, bytes, len);
    }
    return (digits_bit_length(number->digits, number->used) + 7) / 8;
}

int bignum_mod_exp(BigNum* y, BigNum* x, BigNum* e, BigNum* m) {
    uint32_t n = x->used;
    if (e->used > n) n = e->used;
    if (m->used > n) n = m->used;
    if (bignum_reserve(y, n) != 0 || bignum_reserve(x, n) != 0 || bignum_reserve(e, n) != 0 ||
        bignum_reserve(m, n) != 0) {
        return 1;
    }
    int status = 0;
    const int result = digits_mod_exp(y->digits, x->digits, e->digits, m->digits, n, &status);
    if (status == 1) return 1;
    y->used = digits_used(y->digits, n);
    return result;
}

}  // namespace sigverify
