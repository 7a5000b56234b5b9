// Decodes the catalog header and reads index entries and insertion tables,
// checking every offset against the section's size.
#include "catalog_format.h"

#include "le_bytes.h"
#include "lexmsg.h"

namespace lexmsg {

CatalogHeader decode_header(const unsigned char* p) {
    CatalogHeader h;
    h.magic = load_le32(p);
    h.format_word = load_le32(p + 4);
    h.highest_id = load_le32(p + 8);
    h.wide = {load_le32(p + 12), load_le32(p + 16), load_le32(p + 20)};
    h.narrow = {load_le32(p + 24), load_le32(p + 28), load_le32(p + 32)};
    return h;
}

int read_message_entry(const unsigned char* section, uint32_t size, uint32_t id, MessageEntry* entry) {
    const uint64_t start = uint64_t{id} * kIndexEntrySize;
    if (start + kIndexEntrySize > size) return LEXMSG_E_MALFORMED;
    const unsigned char* p = section + start;
    const uint32_t text_offset = load_le32(p);
    if (text_offset == 0) return LEXMSG_E_NO_MESSAGE;
    const uint32_t text_length = load_le32(p + 8);
    const uint64_t table = uint64_t{text_offset} + text_length;
    if (table + 4 > size) return LEXMSG_E_MALFORMED;
    entry->text_offset = text_offset;
    entry->delivered_length = load_le32(p + 4);
    entry->text_length = text_length;
    entry->table_offset = static_cast<uint32_t>(table);
    return LEXMSG_OK;
}

int walk_insertion_table(const unsigned char* section,
                         uint32_t size,
                         const MessageEntry& entry,
                         InsertionTable* table) {
    uint32_t at = entry.table_offset;  // read_message_entry checked that one word fits here
    uint32_t count = 0;
    uint32_t highest = 0;
    uint32_t previous_position = 0;
    for (uint32_t number = load_le32(section + at); number != 0; number = load_le32(section + at)) {
        // The position and the next record's number word must fit.
        if (size - at < kInsertionRecordSize + 4) return LEXMSG_E_MALFORMED;
        const uint32_t position = load_le32(section + at + 4);
        if (position > entry.text_length || position < previous_position) return LEXMSG_E_MALFORMED;
        previous_position = position;
        if (number > highest) highest = number;
        ++count;
        at += kInsertionRecordSize;
    }
    table->offset = entry.table_offset;
    table->record_count = count;
    table->highest_number = highest;
    return LEXMSG_OK;
}

}  // namespace lexmsg
