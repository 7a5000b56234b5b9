// UTF-8 to wchar_t (UTF-32 on the platforms the tool is built for).
#include "utf8_path.h"

#include <cstdint>

namespace sweepkit_sign {

bool utf8_to_wide(const std::string& text, std::wstring* out) {
    out->clear();
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t extra = 0;
        uint32_t c = 0;
        uint32_t min = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1Fu, min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0Fu, min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07u, min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;  // a sequence cut short
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        if (extra > 0 && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) return false;
        out->push_back(static_cast<wchar_t>(c));
        i += extra + 1;
    }
    return true;
}

}  // namespace sweepkit_sign
