// Message assembly: look the message up, render every argument, work out the
// needed size, then copy (narrow) or convert (wide) the literal text piece by
// piece with the renderings inserted at the recorded positions.
#include "message_format.h"

#include <climits>
#include <cstring>

#include "arg_list_impl.h"
#include "catalog_format.h"
#include "handle.h"
#include "le_bytes.h"
#include "memory.h"
#include "render.h"
#include "utf_convert.h"

namespace lexmsg {
namespace {

// Calls with few, short arguments keep their renderings on the stack.
constexpr uint32_t kStackArgs = 16;
constexpr size_t kStackChars = 512;

template <class Ch>
struct Rendering {
    const Ch* text;  // zero-terminated
    size_t length;   // L: what the needed size counts
    size_t emitted;  // characters before the terminator: what is inserted
};

struct NarrowKind {
    using Char = char;
    static constexpr uint32_t kind = static_cast<uint32_t>(Section::narrow);
    static size_t capacity(const lexmsg_arg& arg) { return rendering_capacity(arg); }
    static size_t render(const lexmsg_arg& arg, char* out, size_t cap) { return render_narrow(arg, out, cap); }
    static size_t text_length(const char* text) { return std::strlen(text); }

    // Copies the stored bytes unchanged; 0 when they exceed the room.
    static size_t literal(const char* src, size_t length, char* dst, size_t room) {
        if (length > room) return 0;
        std::memcpy(dst, src, length);
        return length;
    }
};

struct WideKind {
    using Char = lexmsg_wchar;
    static constexpr uint32_t kind = static_cast<uint32_t>(Section::wide);
    static size_t capacity(const lexmsg_arg& arg) { return rendering_capacity(arg); }
    static size_t render(const lexmsg_arg& arg, lexmsg_wchar* out, size_t cap) { return render_wide(arg, out, cap); }
    static size_t text_length(const lexmsg_wchar* text) { return wide_length(text); }

    static size_t literal(const char* src, size_t length, lexmsg_wchar* dst, size_t room) {
        return utf8_to_utf16(src, length, dst, room);
    }
};

bool valid_tag(int32_t tag) { return tag >= LEXMSG_ARG_INT && tag <= LEXMSG_ARG_UINT; }

// Everything one call allocates besides the output, released on every path.
template <class Ch>
class CallScratch {
public:
    CallScratch() = default;
    CallScratch(const CallScratch&) = delete;
    CallScratch& operator=(const CallScratch&) = delete;
    ~CallScratch() {
        if (renderings_ != stack_renderings_) mem_free(renderings_);
        if (counts_ != stack_counts_) mem_free(counts_);
        if (chars_ != stack_chars_) mem_free(chars_);
    }

    bool allocate_tables(uint32_t count) {
        if (count <= kStackArgs) {
            renderings_ = stack_renderings_;
            counts_ = stack_counts_;
            std::memset(stack_counts_, 0, sizeof stack_counts_);
            return true;
        }
        renderings_ = static_cast<Rendering<Ch>*>(mem_calloc(count + size_t{1}, sizeof(Rendering<Ch>)));
        if (renderings_ == nullptr) return false;
        counts_ = static_cast<uint32_t*>(mem_calloc(count, sizeof(uint32_t)));
        return counts_ != nullptr;
    }

    bool allocate_chars(size_t count) {
        if (count <= kStackChars) {
            chars_ = stack_chars_;
            return true;
        }
        if (count > SIZE_MAX / sizeof(Ch)) return false;
        chars_ = static_cast<Ch*>(mem_alloc(count * sizeof(Ch)));
        return chars_ != nullptr;
    }

    Rendering<Ch>* renderings() { return renderings_; }
    uint32_t* counts() { return counts_; }
    Ch* chars() { return chars_; }

private:
    Rendering<Ch> stack_renderings_[kStackArgs + 1];
    uint32_t stack_counts_[kStackArgs];
    Ch stack_chars_[kStackChars];
    Rendering<Ch>* renderings_ = nullptr;
    uint32_t* counts_ = nullptr;
    Ch* chars_ = nullptr;
};

template <class Kind>
int format_message(const lexmsg_handle* handle,
                   uint32_t id,
                   typename Kind::Char** buffer,
                   uint32_t size,
                   const lexmsg_arg_list* args) {
    using Ch = typename Kind::Char;
    const uint32_t count = static_cast<uint32_t>(lexmsg_arg_list_length(args));

    if (handle == nullptr || handle->kind != Kind::kind || handle->section == nullptr) return LEXMSG_E_HANDLE;
    if (id > handle->highest_id) return LEXMSG_E_NO_MESSAGE;
    const unsigned char* section = handle->section;
    MessageEntry entry;
    int rc = read_message_entry(section, handle->section_size, id, &entry);
    if (rc != LEXMSG_OK) return rc;
    // No stored text yields more delivered characters than it has bytes.
    if (entry.delivered_length > entry.text_length) return LEXMSG_E_MALFORMED;
    InsertionTable table;
    rc = walk_insertion_table(section, handle->section_size, entry, &table);
    if (rc != LEXMSG_OK) return rc;
    const int status = count != table.highest_number ? LEXMSG_E_ARG_COUNT : LEXMSG_OK;

    CallScratch<Ch> scratch;
    if (!scratch.allocate_tables(count)) return LEXMSG_E_FAIL;
    uint32_t* counts = scratch.counts();
    for (uint32_t r = 0; r < table.record_count; ++r) {
        const uint32_t number = load_le32(section + table.offset + r * kInsertionRecordSize);
        if (number <= count) ++counts[number - 1];
    }

    // Render in list order, every rendering in its own slice of one block.
    size_t chars = 0;
    const lexmsg_arg_node* node = args == nullptr ? nullptr : args->head;
    for (; node != nullptr; node = node->next) {
        if (!valid_tag(node->arg->tag)) return LEXMSG_E_ARG;
        chars += Kind::capacity(*node->arg);
    }
    if (!scratch.allocate_chars(chars)) return LEXMSG_E_ARG;
    Rendering<Ch>* renderings = scratch.renderings();
    Ch* slice = scratch.chars();
    uint64_t inserted = 0;
    uint32_t i = 0;
    for (node = args == nullptr ? nullptr : args->head; node != nullptr; node = node->next, ++i) {
        const size_t capacity = Kind::capacity(*node->arg);
        const size_t length = Kind::render(*node->arg, slice, capacity);
        renderings[i] = {slice, length, Kind::text_length(slice)};
        inserted += uint64_t{length} * counts[i];
        slice += capacity;
    }

    // Characters before the terminator, and the size in bytes with it.
    const uint64_t characters = uint64_t{entry.delivered_length} + inserted;
    const uint64_t needed = (characters + 1) * sizeof(Ch);
    if (needed > INT_MAX || buffer == nullptr) return LEXMSG_E_FAIL;
    if (size == 0) {
        *buffer = static_cast<Ch*>(mem_alloc(static_cast<size_t>(needed)));
        size = static_cast<uint32_t>(needed);
    }
    if (*buffer == nullptr) return LEXMSG_E_FAIL;
    if (size < needed) return static_cast<int>(needed);

    // Literal text may not yield more than its delivered length, so an entry
    // that understates it fails instead of overrunning the buffer.
    Ch* out = *buffer;
    const char* text = reinterpret_cast<const char*>(section + entry.text_offset);
    const size_t limit = static_cast<size_t>(characters);
    size_t written = 0;
    size_t literal_left = entry.delivered_length;
    auto emit_literal = [&](uint32_t from, uint32_t to) {
        if (from == to) return true;
        const size_t room = literal_left < limit - written ? literal_left : limit - written;
        const size_t produced = Kind::literal(text + from, to - from, out + written, room);
        if (produced == 0) return false;
        literal_left -= produced;
        written += produced;
        return true;
    };
    // A failed piece still leaves the text terminated within the buffer
    // (written never passes limit), so a caller that prints it reads nothing
    // outside it.
    auto fail_terminated = [&] {
        out[written] = 0;
        return LEXMSG_E_FAIL;
    };
    uint32_t cursor = 0;
    for (uint32_t r = 0; r < table.record_count; ++r) {
        const unsigned char* record = section + table.offset + r * kInsertionRecordSize;
        const uint32_t number = load_le32(record);
        const uint32_t position = load_le32(record + 4);
        if (!emit_literal(cursor, position)) return fail_terminated();
        cursor = position;
        if (number <= count) {
            const Rendering<Ch>& rendering = renderings[number - 1];
            if (rendering.emitted > limit - written) return fail_terminated();
            std::memcpy(out + written, rendering.text, rendering.emitted * sizeof(Ch));
            written += rendering.emitted;
        }
    }
    if (!emit_literal(cursor, entry.text_length)) return fail_terminated();
    out[written] = 0;
    return status;
}

}  // namespace

int format_message_wide(
    const lexmsg_handle* handle, uint32_t id, lexmsg_wchar** buffer, uint32_t size, const lexmsg_arg_list* args) {
    return format_message<WideKind>(handle, id, buffer, size, args);
}

int format_message_narrow(
    const lexmsg_handle* handle, uint32_t id, char** buffer, uint32_t size, const lexmsg_arg_list* args) {
    return format_message<NarrowKind>(handle, id, buffer, size, args);
}

}  // namespace lexmsg
