// Computes modular powers by the left-to-right binary method, with a full
// division after every product.
#include "crypto_alloc.h"
#include "digits.h"
#include "digits_reduce.h"

namespace sigverify {

namespace {

// Work areas of one exponentiation, allocated once and wiped on release.
struct ModExpWork {
    uint32_t* product = nullptr;      // 2n digits
    uint32_t* quotient = nullptr;     // 2n digits
    uint32_t* remainder = nullptr;    // 2n digits
    uint32_t* modulus = nullptr;      // n digits: the divisor, normalised in place
    uint32_t* accumulator = nullptr;  // n digits
    uint32_t n = 0;

    bool allocate(uint32_t digits) {
        n = digits;
        product = alloc(2 * static_cast<size_t>(n));
        quotient = alloc(2 * static_cast<size_t>(n));
        remainder = alloc(2 * static_cast<size_t>(n));
        modulus = alloc(n);
        accumulator = alloc(n);
        return product && quotient && remainder && modulus && accumulator;
    }

    void release() {
        release_area(product, 2 * n);
        release_area(quotient, 2 * n);
        release_area(remainder, 2 * n);
        release_area(modulus, n);
        release_area(accumulator, n);
    }

    static uint32_t* alloc(size_t digits) { return static_cast<uint32_t*>(crypto_calloc(digits, sizeof(uint32_t))); }
    static void release_area(uint32_t*& area, uint32_t digits) {
        if (area == nullptr) return;
        crypto_free(area, digits * sizeof(uint32_t));
        area = nullptr;
    }
};

// a := t mod m, t having 2n digits. With the modulus made ready once (it
// has two or more significant digits), the remainder is taken in place in t
// without a quotient; otherwise by the general division.
void reduce(ModExpWork& work, const ReadyDivisor* ready) {
    if (ready != nullptr) {
        reduce_in_place(work.product, 2 * work.n, *ready);
        digits_copy(work.accumulator, work.product, work.n);
        return;
    }
    digits_divide(work.quotient, work.remainder, work.product, 2 * work.n, work.modulus, work.n);
    digits_copy(work.accumulator, work.remainder, work.n);
}

// Moves the exponent cursor (digit count k, bit mask) one bit lower.
void step_down(uint32_t& k, uint32_t& mask) {
    if (mask == 1) {
        --k;
        mask = 0x80000000u;
    } else {
        mask >>= 1;
    }
}

}  // namespace

int digits_mod_exp(uint32_t* y, const uint32_t* x, const uint32_t* e, const uint32_t* m, uint32_t n, int* status) {
    *status = 0;
    if (n == 0) return -1;
    ModExpWork work;
    if (n > 0x3FFFFFFFu || !work.allocate(n)) {
        work.release();
        *status = 1;
        return 0;
    }
    digits_copy(work.modulus, m, n);
    ReadyDivisor divisor;
    const ReadyDivisor* ready = ready_divisor(divisor, work.modulus, n) ? &divisor : nullptr;

    uint32_t k = digits_used(e, n);
    if (k == 0) {
        // A zero exponent: x^0 = 1.
        digits_set_word(work.accumulator, 1, n);
    } else {
        uint32_t mask = 0x80000000u;
        while ((e[k - 1] & mask) == 0) mask >>= 1;
        step_down(k, mask);  // the top set bit is consumed by a := x
        digits_copy(work.accumulator, x, n);
        while (k > 0) {
            digits_square(work.product, work.accumulator, n);
            reduce(work, ready);
            if ((e[k - 1] & mask) != 0) {
                digits_mul(work.product, work.accumulator, x, n);
                reduce(work, ready);
            }
            step_down(k, mask);
        }
    }
    digits_copy(y, work.accumulator, n);
    work.release();
    return 0;
}

}  // namespace sigverify
