// Reading a whole catalog back into messages, with the library's own
// section loader and bounds-checked index readers.
#ifndef LEXMSG_WRITER_CATALOG_READER_H
#define LEXMSG_WRITER_CATALOG_READER_H

#include <cstdint>
#include <string>
#include <vector>

#include "catalog_writer.h"

namespace lexmsg_compile {

struct CatalogContents {
    uint32_t highest_id = 0;
    uint32_t format_word = 0;  // lexmsg-compile stores the narrow section's code page here
    bool has_wide = false;
    bool has_narrow = false;
    std::vector<StoredMessage> wide;    // in id order
    std::vector<StoredMessage> narrow;  // in id order
};

bool is_catalog(const std::vector<uint8_t>& bytes);

// False with *error for anything the library would not read.
bool read_catalog(const std::vector<uint8_t>& bytes, CatalogContents* out, std::string* error);

// The stored text cut at its insertion points.
std::vector<Piece> pieces_of(const StoredMessage& message);

}  // namespace lexmsg_compile

#endif
