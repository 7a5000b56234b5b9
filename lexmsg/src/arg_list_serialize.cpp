// Serializes argument lists and reads them back: a 16-bit element count, then
// each element as a tag byte and its payload, all little-endian and unaligned.
#include <cstdint>
#include <cstring>

#include "arg_list_impl.h"
#include "le_bytes.h"
#include "lexmsg.h"
#include "memory.h"
#include "utf_convert.h"

namespace lexmsg {
namespace {

constexpr uint32_t kMaxElements = 0xFFFF;  // what the 16-bit count carries

// Long elements are written as int, unsigned long as unsigned int; the tag
// is kept to its low 8 bits.
unsigned char written_tag(int32_t tag) {
    if (tag == LEXMSG_ARG_LONG) return LEXMSG_ARG_INT;
    if (tag == LEXMSG_ARG_ULONG) return LEXMSG_ARG_UINT;
    return static_cast<unsigned char>(static_cast<uint32_t>(tag) & 0xFFu);
}

size_t string_length(const char* s) { return std::strlen(s); }

const char* arg_string(const lexmsg_arg& arg) { return reinterpret_cast<const char*>(arg.payload); }

const lexmsg_wchar* arg_wide_string(const lexmsg_arg& arg) {
    return reinterpret_cast<const lexmsg_wchar*>(arg.payload);
}

// Bytes the element takes in the byte form; 0 if it cannot be represented
// (a string longer than the 32-bit count field).
uint64_t element_size(const lexmsg_arg& arg) {
    switch (written_tag(arg.tag)) {
        case LEXMSG_ARG_INT:
        case LEXMSG_ARG_WCHAR:
        case LEXMSG_ARG_UINT:
            return 5;
        case LEXMSG_ARG_CHAR:
            return 2;
        case LEXMSG_ARG_CHARP:
            return arg.payload == 0 ? 5 : 5 + static_cast<uint64_t>(string_length(arg_string(arg)));
        case LEXMSG_ARG_WCHARP:
            return arg.payload == 0 ? 5 : 5 + 4 * static_cast<uint64_t>(wide_length(arg_wide_string(arg)));
        default:
            return 1;
    }
}

unsigned char* write_element(unsigned char* out, const lexmsg_arg& arg) {
    const unsigned char tag = written_tag(arg.tag);
    *out++ = tag;
    switch (tag) {
        case LEXMSG_ARG_INT:
        case LEXMSG_ARG_UINT:
            store_le32(out, arg_u32(arg));
            return out + 4;
        case LEXMSG_ARG_WCHAR:
            store_le32(out, arg_u32(arg) & 0xFFFFu);
            return out + 4;
        case LEXMSG_ARG_CHAR:
            *out = static_cast<unsigned char>(arg_u32(arg));
            return out + 1;
        case LEXMSG_ARG_CHARP: {
            const size_t n = arg.payload == 0 ? 0 : string_length(arg_string(arg));
            store_le32(out, static_cast<uint32_t>(n));
            if (n != 0) std::memcpy(out + 4, arg_string(arg), n);
            return out + 4 + n;
        }
        case LEXMSG_ARG_WCHARP: {
            const lexmsg_wchar* s = arg_wide_string(arg);
            const size_t n = s == nullptr ? 0 : wide_length(s);
            store_le32(out, static_cast<uint32_t>(n));
            out += 4;
            for (size_t i = 0; i < n; ++i, out += 4) store_le32(out, static_cast<uint16_t>(s[i]));
            return out;
        }
        default:
            return out;
    }
}

// A reader over the input that never moves past its end.
struct Cursor {
    const unsigned char* p;
    uint32_t left;

    bool take(uint32_t n, const unsigned char** start) {
        if (left < n) return false;
        *start = p;
        p += n;
        left -= n;
        return true;
    }
};

// Reads one element after its tag byte and appends it after *last, the
// list's last node. 0, -1 (no memory) or -2 (input ends inside the element).
int read_element(lexmsg_arg_list* list, lexmsg_arg_node** last, unsigned char tag, Cursor& in) {
    const unsigned char* b = nullptr;
    switch (tag) {
        case LEXMSG_ARG_INT:
        case LEXMSG_ARG_UINT:
            if (!in.take(4, &b)) return LEXMSG_E_OPEN;
            return arg_list_append_after(list, last, tag, static_cast<intptr_t>(load_le32(b)), 0);
        case LEXMSG_ARG_LONG:
        case LEXMSG_ARG_ULONG:
            if (!in.take(8, &b)) return LEXMSG_E_OPEN;
            return arg_list_append_after(list, last, tag, static_cast<intptr_t>(load_le32(b)), 0);
        case LEXMSG_ARG_WCHAR:
            if (!in.take(4, &b)) return LEXMSG_E_OPEN;
            return arg_list_append_after(list, last, tag, static_cast<intptr_t>(load_le32(b) & 0xFFFFu), 0);
        case LEXMSG_ARG_CHAR:
            if (!in.take(1, &b)) return LEXMSG_E_OPEN;
            return arg_list_append_after(list, last, tag, static_cast<intptr_t>(b[0]), 0);
        case LEXMSG_ARG_CHARP: {
            if (!in.take(4, &b)) return LEXMSG_E_OPEN;
            const uint32_t n = load_le32(b);
            if (!in.take(n, &b)) return LEXMSG_E_OPEN;
            auto* copy = static_cast<char*>(mem_alloc(static_cast<size_t>(n) + 1));
            if (copy == nullptr) return LEXMSG_E_FAIL;
            if (n != 0) std::memcpy(copy, b, n);
            copy[n] = '\0';
            return arg_list_append_after(list, last, tag, reinterpret_cast<intptr_t>(copy), 1);
        }
        case LEXMSG_ARG_WCHARP: {
            if (!in.take(4, &b)) return LEXMSG_E_OPEN;
            const uint32_t n = load_le32(b);
            if (n > in.left / 4 || !in.take(4 * n, &b)) return LEXMSG_E_OPEN;
            auto* copy = static_cast<lexmsg_wchar*>(mem_alloc((static_cast<size_t>(n) + 1) * sizeof(lexmsg_wchar)));
            if (copy == nullptr) return LEXMSG_E_FAIL;
            for (uint32_t i = 0; i < n; ++i) copy[i] = static_cast<lexmsg_wchar>(load_le32(b + 4 * i) & 0xFFFFu);
            copy[n] = 0;
            return arg_list_append_after(list, last, tag, reinterpret_cast<intptr_t>(copy), 1);
        }
        default:
            return LEXMSG_OK;  // no meaning: nothing consumed, nothing appended
    }
}

}  // namespace
}  // namespace lexmsg

extern "C" {

int lexmsg_arg_list_serialize(const lexmsg_arg_list* list, void* out, uint32_t* size) {
    if (list == nullptr || size == nullptr) return LEXMSG_E_FAIL;
    uint64_t needed = 2;
    uint32_t count = 0;
    for (const lexmsg_arg_node* node = list->head; node != nullptr; node = node->next) {
        // A count past 65535 would wrap and the bytes would read back as
        // another list; sizes past 32 bits cannot be reported.
        if (++count > lexmsg::kMaxElements) return LEXMSG_E_FAIL;
        needed += lexmsg::element_size(*node->arg);
        if (needed > UINT32_MAX) return LEXMSG_E_FAIL;
    }
    if (*size < needed) {
        *size = static_cast<uint32_t>(needed);
        return LEXMSG_E_OPEN;
    }
    if (out == nullptr) return LEXMSG_E_FAIL;
    *size = static_cast<uint32_t>(needed);
    auto* p = static_cast<unsigned char*>(out);
    lexmsg::store_le16(p, static_cast<uint16_t>(count));
    p += 2;
    for (const lexmsg_arg_node* node = list->head; node != nullptr; node = node->next) {
        p = lexmsg::write_element(p, *node->arg);
    }
    return LEXMSG_OK;
}

int lexmsg_arg_list_deserialize(lexmsg_arg_list** out, const void* data, uint32_t length) {
    if (out == nullptr || data == nullptr) return LEXMSG_E_FAIL;
    if (length < 2) return LEXMSG_E_OPEN;
    lexmsg_arg_list* list = lexmsg_arg_list_new();
    *out = list;
    if (list == nullptr) return LEXMSG_E_FAIL;
    lexmsg::Cursor in{static_cast<const unsigned char*>(data), length};
    const unsigned char* b = nullptr;
    in.take(2, &b);
    const uint16_t count = lexmsg::load_le16(b);
    lexmsg_arg_node* last = nullptr;  // the new list is empty
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.take(1, &b)) return LEXMSG_E_OPEN;
        const int rc = lexmsg::read_element(list, &last, b[0], in);
        if (rc != LEXMSG_OK) return rc;
    }
    return LEXMSG_OK;
}

}  // extern "C"
