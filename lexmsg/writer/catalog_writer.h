// Writing message catalogs: authored texts with %N insertion points become
// stored messages, expanded sections, and whole compressed catalogs. Portable
// (zlib and the standard library only), so tests on every build use it too.
#ifndef LEXMSG_WRITER_CATALOG_WRITER_H
#define LEXMSG_WRITER_CATALOG_WRITER_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lexmsg_compile {

constexpr uint32_t kMaxInsertionNumber = 99;

// A piece of an authored message: literal text (number 0) or an insertion
// point for argument number.
struct Piece {
    uint32_t number;
    std::string text;
};

// Splits authored text at its insertion points: "%1" to "%99" (one or two
// digits, so "%01" is argument 1 before a literal digit) and "%%" for a
// percent sign. False with a description in *error for anything else after %.
bool parse_insertions(const std::string& authored, std::vector<Piece>* pieces, std::string* error);

// The authored form of pieces: the inverse of parse_insertions.
std::string format_insertions(const std::vector<Piece>& pieces);

struct Insertion {
    uint32_t number;
    uint32_t position;  // byte offset in the stored text
};

// One message as a section stores it.
struct StoredMessage {
    uint32_t id = 0;
    std::string text;  // literal text, insertion points removed
    std::vector<Insertion> insertions;
    uint32_t delivered_length = 0;
};

// Joins the literal pieces into stored text, with each piece passed through
// convert (into the section's encoding; false stops with false).
using PieceConverter = std::function<bool(const std::string& in, std::string* out)>;
bool store_message(uint32_t id, const std::vector<Piece>& pieces, const PieceConverter& convert, StoredMessage* out);

// The number of UTF-16 code units that UTF-8 text converts to (an ill-formed
// part counts as one U+FFFD).
uint32_t utf16_length(const std::string& utf8);

// A wide-section message from UTF-8 pieces, a narrow one from pieces already
// in the code page.
StoredMessage wide_message(uint32_t id, const std::vector<Piece>& pieces);
StoredMessage narrow_message(uint32_t id, const std::vector<Piece>& pieces);

// The expanded section: the index of ids 0 to highest_id, then the bodies.
std::vector<uint8_t> build_section(const std::vector<StoredMessage>& messages, uint32_t highest_id);

// One zlib stream of the bytes, at the best compression.
std::vector<uint8_t> compress_section(const std::vector<uint8_t>& section);

// A whole catalog: the header, then the compressed wide and narrow sections
// (either may be null: absent). The format word is stored as given.
std::vector<uint8_t> build_catalog(uint32_t highest_id,
                                   uint32_t format_word,
                                   const std::vector<uint8_t>* wide,
                                   const std::vector<uint8_t>* narrow);

}  // namespace lexmsg_compile

#endif
