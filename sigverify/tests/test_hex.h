// Hexadecimal helpers shared by the sigverify tests.
#ifndef SIGVERIFY_TESTS_TEST_HEX_H
#define SIGVERIFY_TESTS_TEST_HEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::string to_hex(const uint8_t* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

inline std::vector<uint8_t> from_hex(const std::string& text) {
    std::vector<uint8_t> bytes;
    auto value = [](char c) { return static_cast<uint8_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10); };
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(value(text[i]) << 4 | value(text[i + 1])));
    }
    return bytes;
}

inline const uint8_t* bytes_of(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

inline uint32_t size32(size_t size) { return static_cast<uint32_t>(size); }

#endif
