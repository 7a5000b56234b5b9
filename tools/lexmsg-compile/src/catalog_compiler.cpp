// Compile, dump, check, embed and header generation over sources and
// catalogs in memory.
#include "catalog_compiler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "code_page.h"
#include "embedded_search.h"

namespace lexmsg_compile {

bool compile_catalog(const std::vector<SourceMessage>& messages,
                     const CompileOptions& options,
                     const std::string& file_name,
                     std::vector<uint8_t>* catalog,
                     std::vector<std::string>* errors) {
    std::vector<StoredMessage> wide;
    std::vector<StoredMessage> narrow;
    uint32_t highest = 0;
    for (const SourceMessage& m : messages) {
        highest = std::max(highest, m.id);
        if (options.wide) wide.push_back(wide_message(m.id, m.pieces));
        if (!options.narrow) continue;
        std::string error;
        StoredMessage stored;
        const bool ok = store_message(
            m.id,
            m.pieces,
            [&](const std::string& in, std::string* out) {
                return utf8_to_code_page(in, options.code_page, out, &error);
            },
            &stored);
        if (!ok) {
            errors->push_back(file_name + ":" + std::to_string(m.line) + ": message " + std::to_string(m.id) + ": " +
                              error);
            continue;
        }
        stored.delivered_length = static_cast<uint32_t>(stored.text.size());
        narrow.push_back(std::move(stored));
    }
    if (!errors->empty()) return false;
    const std::vector<uint8_t> wide_section = build_section(wide, highest);
    const std::vector<uint8_t> narrow_section = build_section(narrow, highest);
    *catalog = build_catalog(highest,
                             options.narrow ? options.code_page : 0,
                             options.wide ? &wide_section : nullptr,
                             options.narrow ? &narrow_section : nullptr);
    return true;
}

bool catalog_messages(const CatalogContents& contents,
                      uint32_t code_page,
                      std::vector<SourceMessage>* messages,
                      std::string* error) {
    messages->clear();
    const bool from_wide = contents.has_wide;
    if (!from_wide && !contents.has_narrow) {
        *error = "the catalog has no section";
        return false;
    }
    if (code_page == 0) code_page = contents.format_word;
    if (!from_wide && !code_page_known(code_page)) {
        *error =
            "the narrow section's code page is unknown (" + std::to_string(code_page) + "); name it with --codepage";
        return false;
    }
    for (const StoredMessage& stored : from_wide ? contents.wide : contents.narrow) {
        SourceMessage m;
        m.id = stored.id;
        m.pieces = pieces_of(stored);
        for (const Piece& piece : m.pieces) {
            if (piece.number > kMaxInsertionNumber) {
                *error = "message " + std::to_string(m.id) + " uses argument " + std::to_string(piece.number) +
                         ", which a source cannot write";
                return false;
            }
        }
        for (Piece& piece : m.pieces) {
            if (piece.number != 0) continue;
            if (from_wide) {
                if (!is_valid_utf8(piece.text)) {
                    *error = "message " + std::to_string(m.id) + " is not valid UTF-8";
                    return false;
                }
                continue;
            }
            std::string utf8;
            std::string why;
            if (!code_page_to_utf8(piece.text, code_page, &utf8, &why)) {
                *error = "message " + std::to_string(m.id) + ": " + why;
                return false;
            }
            piece.text = utf8;
        }
        messages->push_back(std::move(m));
    }
    return true;
}

std::string write_header(const std::vector<SourceMessage>& messages,
                         const std::string& header_name,
                         const std::string& source_name) {
    std::string guard;
    for (char c : header_name) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        guard.push_back(alnum ? static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) : '_');
    }
    if (guard.empty() || (guard[0] >= '0' && guard[0] <= '9')) guard.insert(0, "MSG_");
    std::ostringstream out;
    out << "/* Message ids of " << source_name << ", written by lexmsg-compile. */\n";
    out << "#ifndef " << guard << "\n#define " << guard << "\n\n";
    for (const SourceMessage& m : messages) {
        if (!m.symbol.empty()) out << "#define " << m.symbol << " " << m.id << "\n";
    }
    out << "\n#endif\n";
    return out.str();
}

InsertionSets insertion_sets(const std::vector<SourceMessage>& messages) {
    InsertionSets sets;
    for (const SourceMessage& m : messages) {
        std::set<uint32_t>& numbers = sets[m.id];
        for (const Piece& piece : m.pieces) {
            if (piece.number != 0) numbers.insert(piece.number);
        }
    }
    return sets;
}

namespace {

std::string number_list(const std::vector<uint32_t>& numbers) {
    std::string out;
    for (uint32_t n : numbers) out += (out.empty() ? "%" : ", %") + std::to_string(n);
    return out;
}

}  // namespace

std::vector<std::string> compare_insertions(const InsertionSets& original, const InsertionSets& translation) {
    std::vector<std::string> lines;
    for (const auto& [id, numbers] : original) {
        const auto other = translation.find(id);
        if (other == translation.end()) {
            lines.push_back("message " + std::to_string(id) + ": missing from the translation");
            continue;
        }
        std::vector<uint32_t> dropped;
        std::vector<uint32_t> added;
        std::set_difference(
            numbers.begin(), numbers.end(), other->second.begin(), other->second.end(), std::back_inserter(dropped));
        std::set_difference(
            other->second.begin(), other->second.end(), numbers.begin(), numbers.end(), std::back_inserter(added));
        if (!dropped.empty()) {
            lines.push_back("message " + std::to_string(id) + ": the translation drops " + number_list(dropped));
        }
        if (!added.empty()) {
            lines.push_back("message " + std::to_string(id) + ": the translation adds " + number_list(added));
        }
    }
    for (const auto& entry : translation) {
        if (original.find(entry.first) == original.end()) {
            lines.push_back("message " + std::to_string(entry.first) + ": not in the original");
        }
    }
    return lines;
}

bool embed_catalog(const std::vector<uint8_t>& host,
                   const std::string& name,
                   const std::vector<uint8_t>& catalog,
                   std::vector<uint8_t>* out,
                   std::string* error) {
    if (name.empty() || name.find('\\') != std::string::npos || name.find('\0') != std::string::npos ||
        name.size() > 255) {
        *error = "the catalog name must be a module's base name: 1 to 255 bytes, no backslash";
        return false;
    }
    if (!is_catalog(catalog)) {
        *error = "not a message catalog";
        return false;
    }
    *out = host;
    const std::string marker = "ZRR:" + name;
    out->insert(out->end(), marker.begin(), marker.end());
    out->push_back(0);
    const uint64_t expected = out->size();
    out->insert(out->end(), catalog.begin(), catalog.end());

    // Search the result as the library will.
    if (embedded_catalog_offset(*out, name) != expected) {
        *error = "the host already holds a marker for " + name + " that the library would find first";
        return false;
    }
    return true;
}

}  // namespace lexmsg_compile
