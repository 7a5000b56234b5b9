// Rendering one argument to text: the buffer each tag needs and the
// platform's rendering into it (the C runtime on Windows, our own elsewhere).
#ifndef LEXMSG_RENDER_H
#define LEXMSG_RENDER_H

#include <cstddef>

#include "arg_list_impl.h"
#include "lexmsg.h"

namespace lexmsg {

// Characters of buffer (terminator included) that the argument's rendering
// may use, narrow or wide; 0 for a tag that cannot be rendered.
size_t rendering_capacity(const lexmsg_arg& arg);

// Renders the argument into capacity characters (its rendering capacity) and
// returns the rendered length L. The buffer is always zero-terminated within
// capacity; its text up to the terminator may be shorter than L (a char 0).
size_t render_narrow(const lexmsg_arg& arg, char* buffer, size_t capacity);
size_t render_wide(const lexmsg_arg& arg, lexmsg_wchar* buffer, size_t capacity);

}  // namespace lexmsg

#endif
