// Divides: the two-by-one word division, division by one digit, and the
// long division of Knuth's Algorithm 4.3.1 D.
#include "digits.h"
#include "digits_reduce.h"

namespace sigverify {

namespace {

uint32_t leading_zeros(uint32_t d) {
    uint32_t count = 0;
    for (; count < 32 && (d & 0x80000000u) == 0; d <<= 1) ++count;
    return count;
}

// Division of a two-digit number by a normalised digit d through its
// reciprocal (Moller and Granlund, "Improved division by invariant integers",
// Algorithm 4): exact, and without a hardware division per quotient digit.
struct DigitReciprocal {
    uint32_t d;
    uint32_t inverse;  // floor((2^64 - 1) / d) - 2^32

    explicit DigitReciprocal(uint32_t divisor)
        : d(divisor), inverse(static_cast<uint32_t>(~uint64_t{0} / divisor - (uint64_t{1} << 32))) {}

    // q := hi:lo div d, r := hi:lo mod d; hi MUST be below d.
    void divide(uint32_t hi, uint32_t lo, uint32_t& q, uint32_t& r) const {
        const uint64_t estimate = static_cast<uint64_t>(inverse) * hi + (static_cast<uint64_t>(hi) << 32 | lo);
        uint32_t q1 = static_cast<uint32_t>(estimate >> 32) + 1;
        const uint32_t q0 = static_cast<uint32_t>(estimate);
        uint32_t remainder = lo - q1 * d;
        // A condition the processor cannot foresee: a mask, not a branch.
        const uint32_t over = 0u - (remainder > q0 ? 1u : 0u);
        q1 += over;
        remainder += d & over;
        if (__builtin_expect(remainder >= d, 0)) {
            ++q1;
            remainder -= d;
        }
        q = q1;
        r = remainder;
    }
};

// The quotient digit estimate of one step: t:a1 div v1, lowered while it
// times v2 exceeds the remainder joined with a2. It is at most one too large.
struct DigitEstimate {
    DigitReciprocal top;
    uint32_t v1;
    uint32_t v2;

    DigitEstimate(uint32_t first, uint32_t second) : top(first), v1(first), v2(second) {}

    // Without branches on the digits (but for t = v1, which is rare), so
    // that the processor need not guess their outcome.
    uint32_t operator()(uint32_t t, uint32_t a1, uint32_t a2) const {
        if (__builtin_expect(t >= v1, 0)) return from_word_div(t, a1, a2);
        uint32_t qhat = 0;
        uint32_t rhat = 0;
        top.divide(t, a1, qhat, rhat);
        // The estimate is at most two too large; the test with the second digit
        // leaves it at most one too large, which the add-back corrects. After
        // one decrement the test stops when rhat + v1 overflows.
        // The product for the second test is the first less v2.
        uint64_t remainder = rhat;
        uint64_t product = static_cast<uint64_t>(qhat) * v2;
        uint32_t lower = product > (remainder << 32 | a2) ? 1 : 0;
        qhat -= lower;
        remainder += v1 & (0u - lower);
        product -= v2 & (0u - lower);
        lower = ((remainder >> 32) == 0 ? 1u : 0u) & (product > (remainder << 32 | a2) ? 1u : 0u);
        return qhat - lower;
    }

    // The same estimate for t >= v1, through word_div.
    uint32_t from_word_div(uint32_t t, uint32_t a1, uint32_t a2) const {
        uint32_t qhat = 0;
        uint32_t rhat = 0;
        bool test = true;
        if (word_div(&qhat, &rhat, t, a1, v1) == 1) {
            // t = v1: the estimate is b - 1 with remainder a1 + v1.
            qhat = 0xFFFFFFFFu;
            const uint64_t sum = static_cast<uint64_t>(a1) + v1;
            rhat = static_cast<uint32_t>(sum);
            test = (sum >> 32) == 0;
        }
        while (test && qhat != 0 && static_cast<uint64_t>(qhat) * v2 > (static_cast<uint64_t>(rhat) << 32 | a2)) {
            --qhat;
            const uint64_t sum = static_cast<uint64_t>(rhat) + v1;
            rhat = static_cast<uint32_t>(sum);
            test = (sum >> 32) == 0;
        }
        return qhat;
    }
};

// One step of the long division: part[0..vs) -= qhat * v with t the digit
// above; when that goes negative, v is added back and the digit is one
// less. Returns the quotient digit.
inline uint32_t subtract_step(uint32_t t, uint32_t* part, const uint32_t* v, uint32_t qhat, uint32_t vs) {
    if (digits_mul_sub(t, part, v, qhat, vs) == 0) return qhat;
    digits_add(part, part, v, vs);
    return qhat - 1;
}

// The steps of the long division, j from m down to 0, on the normalised
// divisor v of vs digits and the normalised dividend r with its extra top
// digit t; q (when not null) receives the quotient digits. r keeps the
// remainder in its low vs digits; the digits above are left as they are.
void divide_normalised(uint32_t* q, uint32_t* r, uint32_t t, uint32_t m, const uint32_t* v, uint32_t vs) {
    const DigitEstimate estimate(v[vs - 1], v[vs - 2]);
    for (uint32_t j = m + 1; j-- > 0;) {
        uint32_t* part = r + j;  // the dividend window t:part[vs-1..0]
        const uint32_t digit = subtract_step(t, part, v, estimate(t, part[vs - 1], part[vs - 2]), vs);
        if (q != nullptr) q[j] = digit;
        t = part[vs - 1];
    }
}

}  // namespace

int word_div(uint32_t* q, uint32_t* r, uint32_t hi, uint32_t lo, uint32_t d) {
    if ((d & 0x80000000u) == 0) {
        *q = 0;
        *r = 0;
        return -1;
    }
    const uint64_t dividend = static_cast<uint64_t>(hi) << 32 | lo;
    const uint64_t quotient = dividend / d;
    *q = static_cast<uint32_t>(quotient);
    *r = static_cast<uint32_t>(dividend - quotient * d);
    return static_cast<int>(quotient >> 32);
}

uint32_t digits_div_word(uint32_t* q, const uint32_t* u, uint32_t d, uint32_t n) {
    if (n == 0 || d == 0) return 0;
    const uint32_t s = leading_zeros(d);
    const uint32_t normal = d << s;
    // The bits shifted out of the top are below 2^s <= normal: no overflow.
    uint32_t remainder = digits_shift_left(q, u, s, n);
    for (uint32_t i = n; i-- > 0;) {
        word_div(&q[i], &remainder, remainder, q[i], normal);
    }
    return remainder >> s;
}

int digits_divide(uint32_t* q, uint32_t* r, const uint32_t* u, uint32_t un, uint32_t* v, uint32_t vn) {
    for (uint32_t i = 0; i < un; ++i) q[i] = 0;
    for (uint32_t i = 0; i < un; ++i) r[i] = 0;
    const uint32_t vs = digits_used(v, vn);
    const uint32_t us = digits_used(u, un);
    if (vs == 0) return -1;
    if (vs == 1) {
        r[0] = digits_div_word(q, u, v[0], un);
        return 0;
    }
    if (us < vs) {
        digits_copy(r, u, un);
        return 0;
    }
    const uint32_t m = us - vs;
    if (m == 0) {
        const int order = digits_compare(u, v, vs);
        if (order < 0) {
            digits_copy(r, u, un);
            return 0;
        }
        if (order == 0) {
            digits_set_word(q, 1, un);
            return 0;
        }
    }

    // Normalise so that the divisor's top digit has its top bit set; the
    // dividend's extra top digit t is held apart from r.
    const uint32_t s = leading_zeros(v[vs - 1]);
    if (s != 0) digits_shift_left(v, v, s, vs);
    uint32_t t = digits_shift_left(r, u, s, us);
    divide_normalised(q, r, t, m, v, vs);
    if (m > 0) {
        for (uint32_t i = vs; i < us; ++i) r[i] = 0;
    }
    if (s != 0) {
        digits_shift_right(r, r, s, vs);
        digits_shift_right(v, v, s, vs);
    }
    return 0;
}

bool ready_divisor(ReadyDivisor& divisor, uint32_t* v, uint32_t n) {
    const uint32_t vs = digits_used(v, n);
    if (vs < 2) return false;
    const uint32_t s = leading_zeros(v[vs - 1]);
    if (s != 0) digits_shift_left(v, v, s, vs);
    divisor.digits = v;
    divisor.used = vs;
    divisor.shift = s;
    return true;
}

// The long division's steps run for m = 0 as well: with u below v the
// single quotient digit is 0 and u stays; with u equal to v it is 1 and the
// remainder 0.
void reduce_in_place(uint32_t* u, uint32_t un, const ReadyDivisor& divisor) {
    const uint32_t vs = divisor.used;
    const uint32_t us = digits_used(u, un);
    if (us < vs) return;
    const uint32_t s = divisor.shift;
    const uint32_t t = s != 0 ? digits_shift_left(u, u, s, us) : 0;
    divide_normalised(nullptr, u, t, us - vs, divisor.digits, vs);
    for (uint32_t i = vs; i < us; ++i) u[i] = 0;
    if (s != 0) digits_shift_right(u, u, s, vs);
}

}  // namespace sigverify
