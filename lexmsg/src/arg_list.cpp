// Argument lists are doubly linked lists of typed values: they are built by
// appending, read by index and emptied from the back.
#include <cstdint>

#include "arg_list_impl.h"
#include "lexmsg.h"
#include "memory.h"

namespace lexmsg {
namespace {

// Pointers to these stand in for null strings; they are never freed.
const char g_empty_string[1] = {0};
const lexmsg_wchar g_empty_wide_string[1] = {0};

const lexmsg_arg_list g_empty_list = {nullptr};

void free_arg(lexmsg_arg* arg) {
    if (arg->owned != 0) mem_free(reinterpret_cast<void*>(arg->payload));
    mem_free(arg);
}

lexmsg_arg_node* last_node(const lexmsg_arg_list* list) {
    lexmsg_arg_node* node = list->head;
    while (node != nullptr && node->next != nullptr) node = node->next;
    return node;
}

intptr_t number_payload(uint32_t value) { return static_cast<intptr_t>(value); }

}  // namespace

int arg_list_append(lexmsg_arg_list* list, int32_t tag, intptr_t payload, uint32_t owned) {
    lexmsg_arg_node* last = list == nullptr ? nullptr : last_node(list);
    return arg_list_append_after(list, &last, tag, payload, owned);
}

int arg_list_append_after(
    lexmsg_arg_list* list, lexmsg_arg_node** last, int32_t tag, intptr_t payload, uint32_t owned) {
    auto* arg = list == nullptr ? nullptr : static_cast<lexmsg_arg*>(mem_alloc(sizeof(lexmsg_arg)));
    auto* node = arg == nullptr ? nullptr : static_cast<lexmsg_arg_node*>(mem_alloc(sizeof(lexmsg_arg_node)));
    if (node == nullptr) {
        if (owned != 0) mem_free(reinterpret_cast<void*>(payload));
        mem_free(arg);
        mem_free(node);
        return LEXMSG_E_FAIL;
    }
    arg->payload = payload;
    arg->tag = tag;
    arg->owned = owned;
    node->arg = arg;
    node->next = nullptr;
    node->prev = *last;
    if (node->prev == nullptr) {
        list->head = node;
    } else {
        node->prev->next = node;
    }
    *last = node;
    return LEXMSG_OK;
}

}  // namespace lexmsg

using lexmsg::arg_list_append;
using lexmsg::number_payload;

extern "C" {

lexmsg_arg_list* lexmsg_arg_list_new(void) {
    return static_cast<lexmsg_arg_list*>(lexmsg::mem_calloc(1, sizeof(lexmsg_arg_list)));
}

const lexmsg_arg_list* lexmsg_arg_list_empty(void) { return &lexmsg::g_empty_list; }

int lexmsg_arg_list_add_int(lexmsg_arg_list* list, int value) {
    return arg_list_append(list, LEXMSG_ARG_INT, number_payload(static_cast<uint32_t>(value)), 0);
}

int lexmsg_arg_list_add_uint(lexmsg_arg_list* list, unsigned int value) {
    return arg_list_append(list, LEXMSG_ARG_UINT, number_payload(value), 0);
}

// long values are 32-bit on the reference platform; a wider long keeps its low 32 bits.
int lexmsg_arg_list_add_long(lexmsg_arg_list* list, long value) {
    return arg_list_append(
        list, LEXMSG_ARG_LONG, number_payload(static_cast<uint32_t>(static_cast<unsigned long>(value))), 0);
}

int lexmsg_arg_list_add_ulong(lexmsg_arg_list* list, unsigned long value) {
    return arg_list_append(list, LEXMSG_ARG_ULONG, number_payload(static_cast<uint32_t>(value)), 0);
}

int lexmsg_arg_list_add_char(lexmsg_arg_list* list, char value) {
    return arg_list_append(list, LEXMSG_ARG_CHAR, number_payload(static_cast<unsigned char>(value)), 0);
}

int lexmsg_arg_list_add_wchar(lexmsg_arg_list* list, lexmsg_wchar value) {
    return arg_list_append(list, LEXMSG_ARG_WCHAR, number_payload(static_cast<uint16_t>(value)), 0);
}

int lexmsg_arg_list_add_charp(lexmsg_arg_list* list, const char* value) {
    if (value == nullptr) value = lexmsg::g_empty_string;
    return arg_list_append(list, LEXMSG_ARG_CHARP, reinterpret_cast<intptr_t>(value), 0);
}

int lexmsg_arg_list_add_wcharp(lexmsg_arg_list* list, const lexmsg_wchar* value) {
    if (value == nullptr) value = lexmsg::g_empty_wide_string;
    return arg_list_append(list, LEXMSG_ARG_WCHARP, reinterpret_cast<intptr_t>(value), 0);
}

int lexmsg_arg_list_pop(lexmsg_arg_list* list) {
    if (list == nullptr || list->head == nullptr) return LEXMSG_E_FAIL;
    lexmsg_arg_node* last = lexmsg::last_node(list);
    if (last->prev == nullptr) {
        list->head = nullptr;
    } else {
        last->prev->next = nullptr;
    }
    lexmsg::free_arg(last->arg);
    lexmsg::mem_free(last);
    return LEXMSG_OK;
}

intptr_t lexmsg_arg_list_get(const lexmsg_arg_list* list, int index, int* tag) {
    if (list == nullptr || index < 0) return 0;
    const lexmsg_arg_node* node = list->head;
    for (int i = 0; node != nullptr && i < index; ++i) node = node->next;
    if (node == nullptr) return 0;
    const lexmsg_arg& arg = *node->arg;
    if (tag != nullptr) *tag = arg.tag;
    switch (arg.tag) {
        case LEXMSG_ARG_CHAR:
            return static_cast<signed char>(static_cast<unsigned char>(lexmsg::arg_u32(arg)));
        case LEXMSG_ARG_WCHAR:
            return static_cast<uint16_t>(lexmsg::arg_u32(arg));
        case LEXMSG_ARG_INT:
        case LEXMSG_ARG_LONG:
        case LEXMSG_ARG_ULONG:
        case LEXMSG_ARG_UINT:
            // The 32-bit word as the int it is on the reference platform.
            return static_cast<int32_t>(lexmsg::arg_u32(arg));
        case LEXMSG_ARG_CHARP:
        case LEXMSG_ARG_WCHARP:
            return arg.payload;
        default:
            return 0;
    }
}

int lexmsg_arg_list_length(const lexmsg_arg_list* list) {
    if (list == nullptr) return 0;
    int count = 0;
    for (const lexmsg_arg_node* node = list->head; node != nullptr; node = node->next) ++count;
    return count;
}

void lexmsg_arg_list_clear(lexmsg_arg_list* list) {
    if (list == nullptr) return;
    lexmsg_arg_node* node = list->head;
    list->head = nullptr;
    while (node != nullptr) {
        lexmsg_arg_node* next = node->next;
        lexmsg::free_arg(node->arg);
        lexmsg::mem_free(node);
        node = next;
    }
}

void lexmsg_arg_list_free(lexmsg_arg_list* list) {
    lexmsg_arg_list_clear(list);
    lexmsg::mem_free(list);
}

}  // extern "C"
