// Catalog bytes to messages: each present section is inflated and every id
// up to the highest is looked up as the library would.
#include "catalog_reader.h"

#include "catalog_format.h"
#include "catalog_loader.h"
#include "le_bytes.h"
#include "memory.h"

namespace lexmsg_compile {
namespace {

bool read_section(const std::vector<uint8_t>& bytes,
                  lexmsg::Section which,
                  uint32_t highest,
                  std::vector<StoredMessage>* out,
                  std::string* error) {
    const char* name = which == lexmsg::Section::wide ? "wide" : "narrow";
    lexmsg::LoadedSection loaded{};
    const int rc = lexmsg::load_section_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), which, &loaded);
    if (rc != 0) {
        *error = std::string("the ") + name + " section cannot be read (" +
                 (rc == -3 ? "malformed" : "decompression failed") + ")";
        return false;
    }
    bool ok = true;
    for (uint64_t id = 0; id <= highest && ok; ++id) {
        lexmsg::MessageEntry entry{};
        const int entry_rc = lexmsg::read_message_entry(loaded.data, loaded.size, static_cast<uint32_t>(id), &entry);
        if (entry_rc == -4) continue;
        lexmsg::InsertionTable table{};
        if (entry_rc != 0 || lexmsg::walk_insertion_table(loaded.data, loaded.size, entry, &table) != 0) {
            *error = std::string("message ") + std::to_string(id) + " of the " + name + " section is malformed";
            ok = false;
            break;
        }
        StoredMessage m;
        m.id = static_cast<uint32_t>(id);
        m.delivered_length = entry.delivered_length;
        m.text.assign(reinterpret_cast<const char*>(loaded.data + entry.text_offset), entry.text_length);
        for (uint32_t r = 0; r < table.record_count; ++r) {
            const unsigned char* record = loaded.data + table.offset + r * lexmsg::kInsertionRecordSize;
            m.insertions.push_back({lexmsg::load_le32(record), lexmsg::load_le32(record + 4)});
        }
        out->push_back(std::move(m));
    }
    lexmsg::mem_free(loaded.data);
    return ok;
}

}  // namespace

bool is_catalog(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= lexmsg::kHeaderSize && lexmsg::load_le32(bytes.data()) == lexmsg::kCatalogMagic;
}

bool read_catalog(const std::vector<uint8_t>& bytes, CatalogContents* out, std::string* error) {
    if (bytes.size() > UINT32_MAX || !is_catalog(bytes)) {
        *error = "not a message catalog";
        return false;
    }
    const lexmsg::CatalogHeader header = lexmsg::decode_header(bytes.data());
    out->highest_id = header.highest_id;
    out->format_word = header.format_word;
    out->has_wide = header.wide.offset != 0;
    out->has_narrow = header.narrow.offset != 0;
    if (out->has_wide && !read_section(bytes, lexmsg::Section::wide, header.highest_id, &out->wide, error)) {
        return false;
    }
    if (out->has_narrow && !read_section(bytes, lexmsg::Section::narrow, header.highest_id, &out->narrow, error)) {
        return false;
    }
    return true;
}

std::vector<Piece> pieces_of(const StoredMessage& message) {
    std::vector<Piece> pieces;
    uint32_t cursor = 0;
    for (const Insertion& record : message.insertions) {
        if (record.position > cursor) pieces.push_back({0, message.text.substr(cursor, record.position - cursor)});
        cursor = record.position;
        pieces.push_back({record.number, std::string()});
    }
    if (cursor < message.text.size()) pieces.push_back({0, message.text.substr(cursor)});
    return pieces;
}

}  // namespace lexmsg_compile
