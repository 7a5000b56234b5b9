// The core of every message function: a message of a handle, filled from an
// argument list, delivered into the caller's buffer or one allocated here.
#ifndef LEXMSG_MESSAGE_FORMAT_H
#define LEXMSG_MESSAGE_FORMAT_H

#include <cstdint>

#include "lexmsg.h"

namespace lexmsg {

int format_message_wide(
    const lexmsg_handle* handle, uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args);
int format_message_narrow(
    const lexmsg_handle* handle, uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args);

}  // namespace lexmsg

#endif
