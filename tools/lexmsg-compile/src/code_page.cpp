// Code page conversions through iconv, one call per piece of text.
#include "code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace lexmsg_compile {
namespace {

std::string iconv_name(uint32_t code_page) {
    return code_page == 65001 ? std::string("UTF-8") : "CP" + std::to_string(code_page);
}

// The character at the start of UTF-8 text as "U+XXXX 'c'".
std::string describe_utf8(const std::string& text, size_t at) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    uint32_t c = s[at];
    size_t n = 1;
    if (c >= 0xF0) {
        c &= 0x07;
        n = 4;
    } else if (c >= 0xE0) {
        c &= 0x0F;
        n = 3;
    } else if (c >= 0xC0) {
        c &= 0x1F;
        n = 2;
    }
    for (size_t k = 1; k < n && at + k < text.size(); ++k) c = (c << 6) | (s[at + k] & 0x3Fu);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return std::string(code) + " '" + text.substr(at, n) + "'";
}

// Converts with iconv; on failure *bad_at is the input offset that failed.
bool convert(const std::string& in, const std::string& from, const std::string& to, std::string* out, size_t* bad_at) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *bad_at = std::string::npos;
        return false;
    }
    std::vector<char> input(in.begin(), in.end());
    std::vector<char> output(in.size() * 4 + 16);
    char* src = input.data();
    size_t src_left = input.size();
    char* dst = output.data();
    size_t dst_left = output.size();
    const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    const bool ok =
        rc != static_cast<size_t>(-1) && iconv(cd, nullptr, nullptr, &dst, &dst_left) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) {
        *bad_at = static_cast<size_t>(src - input.data());
        return false;
    }
    out->assign(output.data(), output.size() - dst_left);
    return true;
}

}  // namespace

bool code_page_known(uint32_t code_page) {
    iconv_t cd = iconv_open(iconv_name(code_page).c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}

bool utf8_to_code_page(const std::string& in, uint32_t code_page, std::string* out, std::string* error) {
    size_t bad_at = 0;
    if (convert(in, "UTF-8", iconv_name(code_page), out, &bad_at)) return true;
    if (bad_at == std::string::npos || bad_at >= in.size()) {
        *error = "cannot convert to code page " + std::to_string(code_page);
    } else {
        *error = describe_utf8(in, bad_at) + " cannot be represented in code page " + std::to_string(code_page);
    }
    return false;
}

bool code_page_to_utf8(const std::string& in, uint32_t code_page, std::string* out, std::string* error) {
    size_t bad_at = 0;
    if (convert(in, iconv_name(code_page), "UTF-8", out, &bad_at)) return true;
    char byte[8] = "";
    if (bad_at != std::string::npos && bad_at < in.size()) {
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(in[bad_at])));
        *error = std::string("byte ") + byte + " has no meaning in code page " + std::to_string(code_page);
    } else {
        *error = "cannot convert from code page " + std::to_string(code_page);
    }
    return false;
}

}  // namespace lexmsg_compile
