// Lays out catalogs: insertion-point syntax, message bodies, the index, zlib
// streams and the 36-byte header.
#include "catalog_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "utf_convert.h"

namespace lexmsg_compile {
namespace {

void put_le32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void set_le32(std::vector<uint8_t>* out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*out)[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

uint32_t checked_u32(size_t value) {
    if (value > UINT32_MAX) throw std::length_error("catalog larger than 4 GiB");
    return static_cast<uint32_t>(value);
}

}  // namespace

bool parse_insertions(const std::string& authored, std::vector<Piece>* pieces, std::string* error) {
    pieces->clear();
    std::string literal;
    for (size_t i = 0; i < authored.size(); ++i) {
        if (authored[i] != '%') {
            literal.push_back(authored[i]);
            continue;
        }
        if (i + 1 < authored.size() && authored[i + 1] == '%') {
            literal.push_back('%');
            ++i;
            continue;
        }
        if (i + 1 >= authored.size() || !is_digit(authored[i + 1])) {
            *error = "'%' must be followed by an argument number 1 to 99 or by '%'";
            return false;
        }
        uint32_t number = static_cast<uint32_t>(authored[i + 1] - '0');
        size_t digits = 1;
        if (i + 2 < authored.size() && is_digit(authored[i + 2])) {
            number = number * 10 + static_cast<uint32_t>(authored[i + 2] - '0');
            digits = 2;
        }
        if (number == 0) {
            *error = "argument numbers start at 1 (%" + authored.substr(i + 1, digits) + ")";
            return false;
        }
        if (!literal.empty()) pieces->push_back({0, literal});
        literal.clear();
        pieces->push_back({number, std::string()});
        i += digits;
    }
    if (!literal.empty()) pieces->push_back({0, literal});
    return true;
}

std::string format_insertions(const std::vector<Piece>& pieces) {
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.number == 0) {
            for (char c : piece.text) {
                if (c == '%') out.push_back('%');
                out.push_back(c);
            }
            continue;
        }
        // A one-digit number before a literal digit takes the two-digit form.
        const bool digit_follows = i + 1 < pieces.size() && pieces[i + 1].number == 0 && !pieces[i + 1].text.empty() &&
                                   is_digit(pieces[i + 1].text[0]);
        out.push_back('%');
        if (piece.number < 10 && digit_follows) out.push_back('0');
        out += std::to_string(piece.number);
    }
    return out;
}

bool store_message(uint32_t id, const std::vector<Piece>& pieces, const PieceConverter& convert, StoredMessage* out) {
    StoredMessage message;
    message.id = id;
    for (const Piece& piece : pieces) {
        if (piece.number != 0) {
            message.insertions.push_back({piece.number, checked_u32(message.text.size())});
            continue;
        }
        std::string converted;
        if (!convert(piece.text, &converted)) return false;
        message.text += converted;
    }
    *out = std::move(message);
    return true;
}

namespace {
// A piece's text as it stands: UTF-8, for the wide and for a UTF-8 narrow catalog.
bool keep_text(const std::string& in, std::string* out) {
    *out = in;
    return true;
}
}  // namespace

uint32_t utf16_length(const std::string& utf8) {
    // Counted by converting with the library's own converter: a UTF-16 text
    // never has more units than its UTF-8 form has bytes.
    std::vector<lexmsg_wchar> units(utf8.size());
    return checked_u32(lexmsg::utf8_to_utf16_own(utf8.data(), utf8.size(), units.data(), units.size()));
}

StoredMessage wide_message(uint32_t id, const std::vector<Piece>& pieces) {
    StoredMessage message;
    store_message(id, pieces, keep_text, &message);
    message.delivered_length = utf16_length(message.text);
    return message;
}

StoredMessage narrow_message(uint32_t id, const std::vector<Piece>& pieces) {
    StoredMessage message;
    store_message(id, pieces, keep_text, &message);
    message.delivered_length = checked_u32(message.text.size());
    return message;
}

std::vector<uint8_t> build_section(const std::vector<StoredMessage>& messages, uint32_t highest_id) {
    std::vector<const StoredMessage*> ordered;
    for (const StoredMessage& m : messages) ordered.push_back(&m);
    std::stable_sort(
        ordered.begin(), ordered.end(), [](const StoredMessage* a, const StoredMessage* b) { return a->id < b->id; });
    std::vector<uint8_t> section(static_cast<size_t>(highest_id + uint64_t{1}) * 16, 0);
    for (const StoredMessage* m : ordered) {
        if (m->id > highest_id) throw std::invalid_argument("message id above the highest id");
        const uint32_t offset = checked_u32(section.size());
        section.insert(section.end(), m->text.begin(), m->text.end());
        for (const Insertion& record : m->insertions) {
            put_le32(&section, record.number);
            put_le32(&section, record.position);
        }
        put_le32(&section, 0);
        const size_t entry = size_t{m->id} * 16;
        set_le32(&section, entry, offset);
        set_le32(&section, entry + 4, m->delivered_length);
        set_le32(&section, entry + 8, checked_u32(m->text.size()));
    }
    checked_u32(section.size());
    return section;
}

std::vector<uint8_t> compress_section(const std::vector<uint8_t>& section) {
    uLongf length = compressBound(static_cast<uLong>(section.size()));
    std::vector<uint8_t> out(length);
    if (compress2(out.data(), &length, section.data(), static_cast<uLong>(section.size()), Z_BEST_COMPRESSION) !=
        Z_OK) {
        throw std::runtime_error("zlib could not compress the section");
    }
    out.resize(length);
    return out;
}

std::vector<uint8_t> build_catalog(uint32_t highest_id,
                                   uint32_t format_word,
                                   const std::vector<uint8_t>* wide,
                                   const std::vector<uint8_t>* narrow) {
    std::vector<uint8_t> out = {0x00, 'Z', 'R', 'R'};
    put_le32(&out, format_word);
    put_le32(&out, highest_id);
    out.resize(36, 0);
    size_t info_at = 12;
    for (const std::vector<uint8_t>* section : {wide, narrow}) {
        if (section != nullptr) {
            const std::vector<uint8_t> stream = compress_section(*section);
            set_le32(&out, info_at, checked_u32(out.size()));
            set_le32(&out, info_at + 4, checked_u32(stream.size()));
            set_le32(&out, info_at + 8, checked_u32(section->size()));
            out.insert(out.end(), stream.begin(), stream.end());
        }
        info_at += 12;
    }
    return out;
}

}  // namespace lexmsg_compile
