// Command-line paths (UTF-8) as the wide strings the verification takes.
#ifndef SWEEPKIT_SIGN_UTF8_PATH_H
#define SWEEPKIT_SIGN_UTF8_PATH_H

#include <string>

namespace sweepkit_sign {

// False for bytes that are not well-formed UTF-8.
bool utf8_to_wide(const std::string& text, std::wstring* out);

}  // namespace sweepkit_sign

#endif
