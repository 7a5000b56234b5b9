// Renders arguments on Windows with the C runtime's _snprintf, _snwprintf,
// mbrtowc and mbstowcs in the current C locale.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "render.h"

namespace lexmsg {
namespace {

// A print result that failed or filled the buffer leaves it cut and
// terminated; the length is what stands in it.
template <class Ch>
size_t settle(int printed, Ch* out, size_t capacity) {
    if (printed >= 0 && static_cast<size_t>(printed) < capacity) return static_cast<size_t>(printed);
    out[capacity - 1] = 0;
    return std::char_traits<Ch>::length(out);
}

}  // namespace

size_t render_narrow(const lexmsg_arg& arg, char* out, size_t capacity) {
    const uint32_t word = arg_u32(arg);
    std::memset(out, 0, capacity);
    int printed;
    switch (arg.tag) {
        case LEXMSG_ARG_INT:
            printed = _snprintf(out, capacity, "%d", static_cast<int>(word));
            break;
        case LEXMSG_ARG_LONG:
            printed = _snprintf(out, capacity, "%ld", static_cast<long>(static_cast<int32_t>(word)));
            break;
        case LEXMSG_ARG_ULONG:
            printed = _snprintf(out, capacity, "%lu", static_cast<unsigned long>(word));
            break;
        case LEXMSG_ARG_CHAR:
            printed = _snprintf(out, capacity, "%c", static_cast<int>(static_cast<unsigned char>(word)));
            break;
        case LEXMSG_ARG_WCHAR:
            printed = _snprintf(out, capacity, "%lc", static_cast<wint_t>(word & 0xFFFFu));
            break;
        case LEXMSG_ARG_CHARP:
            printed = _snprintf(out, capacity, "%s", reinterpret_cast<const char*>(arg.payload));
            break;
        case LEXMSG_ARG_WCHARP:
            printed = _snprintf(out, capacity, "%ls", reinterpret_cast<const wchar_t*>(arg.payload));
            break;
        case LEXMSG_ARG_UINT:
            printed = _snprintf(out, capacity, "%u", static_cast<unsigned>(word));
            break;
        default:
            return 0;
    }
    return settle(printed, out, capacity);
}

size_t render_wide(const lexmsg_arg& arg, lexmsg_wchar* out, size_t capacity) {
    const uint32_t word = arg_u32(arg);
    std::memset(out, 0, capacity * sizeof(lexmsg_wchar));
    int printed;
    switch (arg.tag) {
        case LEXMSG_ARG_INT:
            printed = _snwprintf(out, capacity, L"%d", static_cast<int>(word));
            break;
        case LEXMSG_ARG_LONG:
            printed = _snwprintf(out, capacity, L"%ld", static_cast<long>(static_cast<int32_t>(word)));
            break;
        case LEXMSG_ARG_ULONG:
            printed = _snwprintf(out, capacity, L"%lu", static_cast<unsigned long>(word));
            break;
        case LEXMSG_ARG_UINT:
            printed = _snwprintf(out, capacity, L"%u", static_cast<unsigned>(word));
            break;
        case LEXMSG_ARG_CHAR: {
            const char byte = static_cast<char>(word);
            std::mbstate_t state{};
            wchar_t c = 0;
            const size_t n = std::mbrtowc(&c, &byte, 1, &state);
            if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2))
                c = static_cast<wchar_t>(static_cast<unsigned char>(byte));
            out[0] = c;
            out[1] = 0;
            return 1;
        }
        case LEXMSG_ARG_WCHAR:
            out[0] = static_cast<wchar_t>(word);
            out[1] = 0;
            return 1;
        case LEXMSG_ARG_CHARP: {
            const size_t n = std::mbstowcs(out, reinterpret_cast<const char*>(arg.payload), capacity);
            printed = n == static_cast<size_t>(-1) ? -1 : static_cast<int>(n);
            break;
        }
        case LEXMSG_ARG_WCHARP: {
            const size_t length = capacity - 1;
            std::memcpy(out, reinterpret_cast<const wchar_t*>(arg.payload), length * sizeof(wchar_t));
            out[length] = 0;
            return length;
        }
        default:
            return 0;
    }
    return settle(printed, out, capacity);
}

}  // namespace lexmsg
