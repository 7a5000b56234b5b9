// The private layout of argument lists, shared by the list operations, the
// serializer and the message formatter.
#ifndef LEXMSG_ARG_LIST_IMPL_H
#define LEXMSG_ARG_LIST_IMPL_H

#include <cstdint>

#include "lexmsg.h"

// One typed value. Numbers are kept in the low 32 bits of payload (a char in
// the low byte, a wide char in the low 16 bits); a string payload is the
// full-width pointer value.
struct lexmsg_arg {
    intptr_t payload;
    int32_t tag;
    uint32_t owned;  // nonzero: the list frees the payload string with the element
};

struct lexmsg_arg_node {
    lexmsg_arg_node* next;  // null on the last node
    lexmsg_arg_node* prev;  // null on the first node
    lexmsg_arg* arg;
};

struct lexmsg_arg_list {
    lexmsg_arg_node* head;  // null when the list is empty
};

namespace lexmsg {

// Appends an element with the given tag and payload; the list takes over the
// string when owned is nonzero (also on failure, when it frees it). 0 or -1.
// Finds the end by walking from the head.
int arg_list_append(lexmsg_arg_list* list, int32_t tag, intptr_t payload, uint32_t owned);

// The same after *last, which MUST be the list's last node (null for an empty
// list); on success *last becomes the new node. A reader that keeps the last
// node appends n elements in time linear in n.
int arg_list_append_after(lexmsg_arg_list* list, lexmsg_arg_node** last, int32_t tag, intptr_t payload, uint32_t owned);

// The 32-bit value of a numeric payload.
inline uint32_t arg_u32(const lexmsg_arg& arg) { return static_cast<uint32_t>(static_cast<uintptr_t>(arg.payload)); }

}  // namespace lexmsg

#endif
