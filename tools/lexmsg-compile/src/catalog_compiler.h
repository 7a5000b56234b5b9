// The commands' logic, apart from the command line: compiling sources,
// dumping catalogs back to sources, checking a translation, embedding a
// catalog into a host file, and the header of symbolic ids.
#ifndef LEXMSG_COMPILE_CATALOG_COMPILER_H
#define LEXMSG_COMPILE_CATALOG_COMPILER_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog_reader.h"
#include "catalog_source.h"

namespace lexmsg_compile {

struct CompileOptions {
    bool wide = true;
    bool narrow = true;
    uint32_t code_page = 1252;  // of the narrow section
};

// A catalog of the messages; the format word holds the code page when there
// is a narrow section. Errors name file, line and message.
bool compile_catalog(const std::vector<SourceMessage>& messages,
                     const CompileOptions& options,
                     const std::string& file_name,
                     std::vector<uint8_t>* catalog,
                     std::vector<std::string>* errors);

// The messages of a catalog as source: from the wide section, or from the
// narrow one converted from code_page (0: the code page in the catalog).
bool catalog_messages(const CatalogContents& contents,
                      uint32_t code_page,
                      std::vector<SourceMessage>* messages,
                      std::string* error);

// A C header defining every named message's id.
std::string write_header(const std::vector<SourceMessage>& messages,
                         const std::string& header_name,
                         const std::string& source_name);

// The insertion numbers that each message uses.
using InsertionSets = std::map<uint32_t, std::set<uint32_t>>;
InsertionSets insertion_sets(const std::vector<SourceMessage>& messages);

// One line per difference between an original and its translation: an id
// missing on either side, or insertion numbers dropped or added.
std::vector<std::string> compare_insertions(const InsertionSets& original, const InsertionSets& translation);

// The host's bytes followed by the marker "ZRR:" name NUL and the catalog.
// False with *error for a name the library cannot match, or a host whose
// earlier marker for the same name would be found first.
bool embed_catalog(const std::vector<uint8_t>& host,
                   const std::string& name,
                   const std::vector<uint8_t>& catalog,
                   std::vector<uint8_t>* out,
                   std::string* error);

}  // namespace lexmsg_compile

#endif
