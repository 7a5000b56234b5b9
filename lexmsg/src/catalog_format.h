// The catalog's byte layout: header, message index and insertion tables, and
// the bounds-checked readers that every lookup goes through.
#ifndef LEXMSG_CATALOG_FORMAT_H
#define LEXMSG_CATALOG_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace lexmsg {

// A zero byte followed by "ZRR", read as a little-endian word.
constexpr uint32_t kCatalogMagic = 0x52525A00u;
constexpr size_t kHeaderSize = 36;
constexpr uint32_t kIndexEntrySize = 16;
constexpr uint32_t kInsertionRecordSize = 8;

// Which compressed section a handle holds; the numbers are the handle kinds.
enum class Section : uint32_t { wide = 1, narrow = 2 };

struct SectionInfo {
    uint32_t offset;         // from the catalog's first byte; 0: no such section
    uint32_t stored_size;    // bytes of the zlib stream
    uint32_t expanded_size;  // bytes after inflation
};

struct CatalogHeader {
    uint32_t magic;
    uint32_t format_word;  // not interpreted by the reader
    uint32_t highest_id;
    SectionInfo wide;
    SectionInfo narrow;

    const SectionInfo& section(Section which) const { return which == Section::wide ? wide : narrow; }
};

// Decodes the 36 bytes at p (the caller has checked that they exist).
CatalogHeader decode_header(const unsigned char* p);

// One message as the index describes it, checked against the section.
struct MessageEntry {
    uint32_t text_offset;
    uint32_t delivered_length;  // characters the literal text yields when delivered
    uint32_t text_length;       // bytes of stored literal text
    uint32_t table_offset;      // first word of the insertion table
};

// Reads the index entry of id from an expanded section of size bytes:
// 0, -3 (entry or body outside the section) or -4 (no message).
int read_message_entry(const unsigned char* section, uint32_t size, uint32_t id, MessageEntry* entry);

struct InsertionTable {
    uint32_t offset;  // first record
    uint32_t record_count;
    uint32_t highest_number;  // 0 when the table is empty
};

// Walks the insertion table behind a message: 0, or -3 when the table runs
// past the section, a position lies beyond the text or positions decrease.
int walk_insertion_table(const unsigned char* section, uint32_t size, const MessageEntry& entry, InsertionTable* table);

}  // namespace lexmsg

#endif
