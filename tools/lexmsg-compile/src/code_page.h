// 8-bit code pages of narrow sections, converted with iconv ("CP1252" for
// code page 1252; 65001 is UTF-8).
#ifndef LEXMSG_COMPILE_CODE_PAGE_H
#define LEXMSG_COMPILE_CODE_PAGE_H

#include <cstdint>
#include <string>

namespace lexmsg_compile {

constexpr uint32_t kDefaultCodePage = 1252;

bool code_page_known(uint32_t code_page);

// UTF-8 into the code page; false with *error naming the first character
// that the code page cannot represent.
bool utf8_to_code_page(const std::string& in, uint32_t code_page, std::string* out, std::string* error);

// The code page's bytes as UTF-8; false with *error naming the first byte
// that has no meaning in it.
bool code_page_to_utf8(const std::string& in, uint32_t code_page, std::string* out, std::string* error);

}  // namespace lexmsg_compile

#endif
