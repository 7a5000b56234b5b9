// Inflates catalog sections with zlib, from files through an input buffer and
// from memory in one call, and searches host files for embedded catalogs.
#include "catalog_loader.h"

#include <cstring>
#include <zlib.h>

#include "le_bytes.h"
#include "lexmsg.h"
#include "memory.h"

namespace lexmsg {
namespace {

// Input is read in large pieces: each read is a system call, and with 4 KiB
// pieces they cost several percent of a load.
constexpr size_t kReadChunk = 65536;

// Bytes from offset to the end of the file, or 0 when it cannot be told.
uint64_t bytes_after(CatalogFile* file, uint64_t offset) {
    uint64_t end = 0;
    if (!file->size(&end) || end <= offset) return 0;
    return end - offset;
}

// What one fill of the search may read: no more than the bytes left.
size_t read_size(size_t wanted, uint64_t left) { return left < wanted ? static_cast<size_t>(left) : wanted; }

// Feeds the file to an inflate stream whose output area is the whole block.
int inflate_file_stream(CatalogFile* file, unsigned char* block, uint32_t expanded) {
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit(&stream) != Z_OK) return LEXMSG_E_FAIL;
    stream.next_out = block;
    stream.avail_out = expanded;
    auto* input = static_cast<unsigned char*>(mem_alloc(kReadChunk));
    int zrc = Z_OK;
    int rc = input == nullptr ? LEXMSG_E_FAIL : LEXMSG_OK;
    while (rc == LEXMSG_OK) {
        size_t got = 0;
        if (!file->read(input, kReadChunk, &got)) {
            rc = LEXMSG_E_FAIL;
            break;
        }
        stream.next_in = input;
        stream.avail_in = static_cast<uInt>(got);
        zrc = inflate(&stream, Z_NO_FLUSH);
        if (zrc != Z_OK) break;
    }
    if (rc == LEXMSG_OK && (zrc != Z_STREAM_END || stream.total_out != expanded)) rc = LEXMSG_E_FAIL;
    inflateEnd(&stream);
    mem_free(input);
    return rc;
}

}  // namespace

int load_section_from_file(CatalogFile* file, uint64_t base, Section which, LoadedSection* out) {
    if (!file->seek(base)) return LEXMSG_E_FAIL;
    unsigned char raw[kHeaderSize];
    size_t got = 0;
    if (!file->read(raw, sizeof raw, &got) || got != sizeof raw) return LEXMSG_E_MALFORMED;
    const CatalogHeader header = decode_header(raw);
    if (header.magic != kCatalogMagic) return LEXMSG_E_MALFORMED;
    const SectionInfo& info = header.section(which);
    if (info.offset == 0) return LEXMSG_E_MALFORMED;
    const uint64_t start = base + info.offset;
    // A stream cannot inflate beyond a fixed multiple of the bytes that remain.
    if (info.expanded_size > max_inflated_size(bytes_after(file, start))) return LEXMSG_E_FAIL;
    auto* block = static_cast<unsigned char*>(mem_alloc(info.expanded_size));
    if (block == nullptr) return LEXMSG_E_FAIL;
    int rc = file->seek(start) ? inflate_file_stream(file, block, info.expanded_size) : LEXMSG_E_FAIL;
    if (rc != LEXMSG_OK) {
        mem_free(block);
        return rc;
    }
    *out = {block, info.expanded_size, header.highest_id};
    return LEXMSG_OK;
}

int load_section_from_memory(const unsigned char* image, uint32_t length, Section which, LoadedSection* out) {
    if (length < kHeaderSize) return LEXMSG_E_MALFORMED;
    const CatalogHeader header = decode_header(image);
    if (header.magic != kCatalogMagic) return LEXMSG_E_MALFORMED;
    const SectionInfo& info = header.section(which);
    if (info.offset == 0) return LEXMSG_E_MALFORMED;
    if (uint64_t{info.offset} + info.stored_size > length) return LEXMSG_E_MALFORMED;
    if (info.expanded_size > max_inflated_size(info.stored_size)) return LEXMSG_E_FAIL;
    auto* block = static_cast<unsigned char*>(mem_alloc(info.expanded_size));
    if (block == nullptr) return LEXMSG_E_FAIL;
    uLongf produced = info.expanded_size;
    const int zrc = uncompress(block, &produced, image + info.offset, info.stored_size);
    if (zrc != Z_OK || produced != info.expanded_size) {
        mem_free(block);
        return LEXMSG_E_FAIL;
    }
    *out = {block, info.expanded_size, header.highest_id};
    return LEXMSG_OK;
}

uint64_t find_embedded_catalog(CatalogFile* file, const char* name) {
    constexpr size_t kWindow = 4096;
    constexpr size_t kKept = 1024;             // repeated from the previous window
    constexpr size_t kStep = kWindow - kKept;  // 3072: fresh bytes per later fill
    constexpr size_t kGap = 64;                // where the header may start after the name
    static const unsigned char kMarker[4] = {'Z', 'R', 'R', ':'};

    const size_t name_length = std::strlen(name);
    if (name_length == 0) return 0;
    const size_t marker_length = sizeof kMarker + name_length + 1;  // with the name's zero byte
    if (marker_length > kWindow) return 0;
    // A host that never ends (a device, a pipe) is searched no further than
    // the size it had when it was opened; one without a size not at all.
    uint64_t left = bytes_after(file, 0);
    if (left == 0 || !file->seek(0)) return 0;

    unsigned char window[kWindow];
    uint64_t window_position = 0;
    bool first = true;
    for (;;) {
        size_t wanted;
        size_t got = 0;
        bool read_ok = true;
        const bool first_fill = first;
        if (first) {
            std::memset(window, 0, kWindow);
            wanted = kWindow;
            read_ok = file->read(window, read_size(wanted, left), &got);
            first = false;
        } else {
            std::memmove(window, window + kStep, kKept);
            std::memset(window + kKept, 0, kStep);
            wanted = kStep;
            read_ok = file->read(window + kKept, read_size(wanted, left), &got);
            window_position += kStep;
        }
        // A read error ends the search like the end of the file.
        if (!read_ok) got = 0;
        left -= got;
        // A later fill that reads nothing still leaves the previous window's
        // untested tail at the front of the buffer.
        if (got == 0 && first_fill) return 0;
        // The last window has no successor to repeat its tail, so every start
        // position in it is tested.
        const bool last = got < wanted;
        const size_t starts = last ? kWindow : kStep;
        for (size_t at = 0; at < starts && at + marker_length <= kWindow; ++at) {
            if (std::memcmp(window + at, kMarker, sizeof kMarker) != 0) continue;
            if (std::memcmp(window + at + sizeof kMarker, name, name_length + 1) != 0) continue;
            const size_t gap_start = at + marker_length;
            for (size_t h = gap_start; h < gap_start + kGap && h + 4 <= kWindow; ++h) {
                if (window[h] == 0 && window[h + 1] == 'Z' && window[h + 2] == 'R' && window[h + 3] == 'R') {
                    return window_position + h;
                }
            }
        }
        if (last) return 0;
    }
}

}  // namespace lexmsg
