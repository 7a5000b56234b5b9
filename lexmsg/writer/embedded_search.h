// Where the library would find a catalog embedded in a host file, for the
// compiler's check that an embedding is found where it was put.
#ifndef LEXMSG_WRITER_EMBEDDED_SEARCH_H
#define LEXMSG_WRITER_EMBEDDED_SEARCH_H

#include <cstdint>
#include <string>
#include <vector>

namespace lexmsg_compile {

// The offset of the catalog header that the library's search finds in the
// host's bytes behind the marker for name, or 0 when it finds none.
uint64_t embedded_catalog_offset(const std::vector<uint8_t>& host, const std::string& name);

}  // namespace lexmsg_compile

#endif
