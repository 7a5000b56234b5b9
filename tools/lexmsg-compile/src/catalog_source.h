// The readable source of a catalog: UTF-8 text, one message per line.
//
//   # A comment line; blank lines are ignored.
//   12 = Hello, %1! You have %2 new messages.
//   13 FILE_NOT_FOUND = The file %1 was not found.\n
//   14 = A long text goes on \   (a final backslash continues the text
//        on the next line.           on the next line)
//
// A message is its id (decimal, 0 to 1000000), an optional symbolic name (a
// C identifier, for the generated header), '=' and its text. Insertion points
// are %1 to %99 (%01 to %09 before a literal digit), %% is a percent sign.
// Escapes: \n newline, \t tab, \r carriage return, \\ backslash, \s space
// (spaces and tabs at either end of a text are otherwise dropped), \xHH one
// byte. A backslash at the end of a line continues the text on the next
// line, whose leading blanks are dropped.
#ifndef LEXMSG_COMPILE_CATALOG_SOURCE_H
#define LEXMSG_COMPILE_CATALOG_SOURCE_H

#include <cstdint>
#include <string>
#include <vector>

#include "catalog_writer.h"

namespace lexmsg_compile {

constexpr uint32_t kMaxMessageId = 1000000;

struct SourceMessage {
    uint32_t id = 0;
    size_t line = 0;     // where the message starts
    std::string symbol;  // empty when none was given
    std::vector<Piece> pieces;
};

// Parses a whole source. Every problem goes to *errors as
// "file:line: description"; the result is complete only if there is none.
std::vector<SourceMessage> parse_source(const std::string& text,
                                        const std::string& file_name,
                                        std::vector<std::string>* errors);

// The source text of messages (in id order), which parse_source reads back
// to the same ids and pieces.
std::string write_source(const std::vector<SourceMessage>& messages, const std::string& heading);

// True if text is well-formed UTF-8.
bool is_valid_utf8(const std::string& text);

}  // namespace lexmsg_compile

#endif
