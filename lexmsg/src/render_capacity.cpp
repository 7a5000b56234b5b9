// The rendering buffer sizes: the longest 32-bit decimal forms with their
// terminator, two for a character, a string's length plus one. The same for
// both widths: a character of either width renders as at most one unit.
#include <cstring>

#include "render.h"
#include "utf_convert.h"

namespace lexmsg {

size_t rendering_capacity(const lexmsg_arg& arg) {
    switch (arg.tag) {
        case LEXMSG_ARG_INT:
        case LEXMSG_ARG_LONG:
            return 12;
        case LEXMSG_ARG_ULONG:
        case LEXMSG_ARG_UINT:
            return 11;
        case LEXMSG_ARG_CHAR:
        case LEXMSG_ARG_WCHAR:
            return 2;
        case LEXMSG_ARG_CHARP:
            return std::strlen(reinterpret_cast<const char*>(arg.payload)) + 1;
        case LEXMSG_ARG_WCHARP:
            return wide_length(reinterpret_cast<const lexmsg_wchar*>(arg.payload)) + 1;
        default:
            return 0;
    }
}

}  // namespace lexmsg
