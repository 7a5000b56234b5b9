// States the padding rule for files that are not PE images.
#include "sigverify/inert_padding.h"

namespace sigverify {

bool padding_is_inert(const uint8_t* padding, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t c = padding[i];
        const auto folded = static_cast<uint8_t>(c | 0x20);
        if (c >= 0x80 || (folded >= 'a' && folded <= 'z')) return false;
    }
    return true;
}

}  // namespace sigverify
