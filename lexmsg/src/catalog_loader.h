// Loading one expanded section of a catalog: streamed from a file at a base
// offset, from a memory image, and finding a catalog embedded in a host file.
#ifndef LEXMSG_CATALOG_LOADER_H
#define LEXMSG_CATALOG_LOADER_H

#include <cstdint>

#include "catalog_format.h"
#include "file_door.h"

namespace lexmsg {

struct LoadedSection {
    unsigned char* data;  // from mem_alloc; the caller frees it
    uint32_t size;
    uint32_t highest_id;
};

// Inflates the chosen section of the catalog whose header starts at base in
// file. 0, -1 (seek, read or inflate failure, no memory) or -3 (short header,
// wrong magic, section absent). On failure nothing is left allocated.
int load_section_from_file(CatalogFile* file, uint64_t base, Section which, LoadedSection* out);

// Inflates the chosen section of a memory image of length bytes (the caller
// has checked the length and magic). 0, -1 or -3, as above.
int load_section_from_memory(const unsigned char* image, uint32_t length, Section which, LoadedSection* out);

// Searches the host file for the marker "ZRR:" name NUL followed within 64
// bytes by a catalog header; the header's file offset, or 0 when the name is
// empty or nothing is found. Searches no further than the file's size when
// the search starts; a file whose size cannot be taken is not searched.
uint64_t find_embedded_catalog(CatalogFile* file, const char* name);

// The most bytes that a zlib stream of stored bytes can inflate to (deflate
// never expands beyond about 1032:1), so hostile sizes allocate nothing.
inline uint64_t max_inflated_size(uint64_t stored) { return stored * 1040u + 4096u; }

}  // namespace lexmsg

#endif
