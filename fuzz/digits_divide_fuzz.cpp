// Fuzzes the long division: the first byte gives the divisor's length in
// digits, the next bytes its digits and the rest the dividend's (little-
// endian, four bytes to a digit). The quotient and remainder must give
// u = q * v + r and r < v, and v must come back as it was.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "digits.h"

using namespace sigverify;  // the code under test

namespace {

// The longest dividend taken: twice the longest divisor.
constexpr size_t max_dividend_digits = 256;

using Digits = std::vector<uint32_t>;

Digits take_digits(const uint8_t*& data, size_t& size, size_t count) {
    Digits digits(count, 0);
    for (size_t i = 0; i < count && size > 0; ++i) {
        for (uint32_t byte = 0; byte < 4 && size > 0; ++byte, ++data, --size) {
            digits[i] |= static_cast<uint32_t>(*data) << (8 * byte);
        }
    }
    return digits;
}

struct Result {
    Digits q, r;
};

Result divide(const Digits& u, Digits v) {
    const Digits v_before = v;
    const uint32_t un = static_cast<uint32_t>(u.size());
    Result result{Digits(un), Digits(un)};
    if (digits_divide(result.q.data(), result.r.data(), u.data(), un, v.data(), static_cast<uint32_t>(v.size())) != 0 ||
        v != v_before) {
        __builtin_trap();
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t vn = 2 + data[0] % 127;  // 2 .. 128 digits
    ++data;
    --size;
    Digits v = take_digits(data, size, vn);
    const size_t un = size / 4 < max_dividend_digits ? size / 4 : max_dividend_digits;
    const Digits u = take_digits(data, size, un < vn ? vn : un);
    if (digits_used(v.data(), vn) == 0) v[0] = 1;

    const Result result = divide(u, v);

    // u = q * v + r over un + vn digits, and r < v.
    const uint32_t wide = static_cast<uint32_t>(u.size()) + vn;
    Digits qw(wide, 0), vw(wide, 0), rw(wide, 0), product(2 * wide);
    for (size_t i = 0; i < u.size(); ++i) {
        qw[i] = result.q[i];
        rw[i] = result.r[i];
    }
    for (uint32_t i = 0; i < vn; ++i) vw[i] = v[i];
    digits_mul(product.data(), qw.data(), vw.data(), wide);
    digits_add(product.data(), product.data(), rw.data(), wide);
    for (uint32_t i = 0; i < wide; ++i) {
        if (product[i] != (i < u.size() ? u[i] : 0) || product[wide + i] != 0) __builtin_trap();
    }
    if (digits_compare(rw.data(), vw.data(), wide) >= 0) __builtin_trap();
    return 0;
}
