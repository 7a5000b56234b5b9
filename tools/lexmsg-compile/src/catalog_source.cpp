// Reading and writing catalog sources: ids, names, escapes, continuation
// lines and insertion points, with errors that name file and line.
#include "catalog_source.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace lexmsg_compile {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ident_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool is_ident(char c) { return is_ident_start(c) || is_digit(c); }

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string trim_right(const std::string& s) {
    size_t end = s.size();
    while (end > 0 && is_blank(s[end - 1])) --end;
    return s.substr(0, end);
}

size_t skip_blanks(const std::string& s, size_t at) {
    while (at < s.size() && is_blank(s[at])) ++at;
    return at;
}

// Decodes the escapes of one line's text into out (with '%' kept for the
// insertion syntax). Sets *continues for a final lone backslash.
bool unescape(const std::string& text, std::string* out, bool* continues, std::string* error) {
    *continues = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (i + 1 == text.size()) {
            *continues = true;
            return true;
        }
        const char e = text[++i];
        switch (e) {
            case 'n':
                out->push_back('\n');
                break;
            case 't':
                out->push_back('\t');
                break;
            case 'r':
                out->push_back('\r');
                break;
            case 's':
                out->push_back(' ');
                break;
            case '\\':
                out->push_back('\\');
                break;
            case 'x': {
                const int hi = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
                const int lo = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    *error = "\\x must be followed by two hexadecimal digits";
                    return false;
                }
                out->push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                break;
            }
            default:
                *error = std::string("unknown escape \\") + e + " (use \\n, \\t, \\r, \\s, \\\\ or \\xHH)";
                return false;
        }
    }
    return true;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Escapes a literal piece for a source line; a space at the start or end of
// the whole text is marked, since blanks there are dropped when read.
std::string escape_text(const std::string& text, bool starts_text, bool ends_text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            case ' ':
                out += ((i == 0 && starts_text) || (i + 1 == text.size() && ends_text)) ? "\\s" : " ";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    static const char kHex[] = "0123456789ABCDEF";
                    out += "\\x";
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 15]);
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out;
}

}  // namespace

bool is_valid_utf8(const std::string& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char lead = s[i++];
        if (lead < 0x80) continue;
        size_t trail;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        for (size_t k = 0; k < trail; ++k, ++i) {
            if (i >= n || s[i] < low || s[i] > high) return false;
            low = 0x80;
            high = 0xBF;
        }
    }
    return true;
}

std::vector<SourceMessage> parse_source(const std::string& text,
                                        const std::string& file_name,
                                        std::vector<std::string>* errors) {
    std::vector<SourceMessage> messages;
    std::map<uint32_t, size_t> id_lines;
    std::map<std::string, size_t> symbol_lines;
    std::vector<std::string> lines = split_lines(text);
    if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0) lines[0].erase(0, 3);
    auto fail = [&](size_t line, const std::string& what) {
        errors->push_back(file_name + ":" + std::to_string(line) + ": " + what);
    };

    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t line_number = i + 1;
        const std::string line = trim_right(lines[i]);
        size_t at = skip_blanks(line, 0);
        if (at == line.size() || line[at] == '#') continue;
        if (!is_valid_utf8(line)) {
            fail(line_number, "the line is not valid UTF-8");
            continue;
        }
        SourceMessage message;
        message.line = line_number;
        if (!is_digit(line[at])) {
            fail(line_number, "expected a message id (a decimal number) at the start of the line");
            continue;
        }
        uint64_t id = 0;
        while (at < line.size() && is_digit(line[at])) {
            id = id * 10 + static_cast<uint64_t>(line[at] - '0');
            if (id > kMaxMessageId) break;
            ++at;
        }
        if (id > kMaxMessageId) {
            fail(line_number, "message id above " + std::to_string(kMaxMessageId));
            continue;
        }
        message.id = static_cast<uint32_t>(id);
        at = skip_blanks(line, at);
        if (at < line.size() && is_ident_start(line[at])) {
            const size_t start = at;
            while (at < line.size() && is_ident(line[at])) ++at;
            message.symbol = line.substr(start, at - start);
            at = skip_blanks(line, at);
        }
        if (at >= line.size() || line[at] != '=') {
            fail(line_number,
                 "expected '=' after the message id" + std::string(message.symbol.empty() ? "" : " and name"));
            continue;
        }
        at = skip_blanks(line, at + 1);

        // The text, with its continuation lines.
        std::string authored;
        std::string error;
        bool continues = false;
        bool ok = unescape(line.substr(at), &authored, &continues, &error);
        while (ok && continues) {
            if (i + 1 >= lines.size()) {
                error = "the last line ends in a continuation backslash";
                ok = false;
                break;
            }
            const std::string next = trim_right(lines[++i]);
            if (!is_valid_utf8(next)) {
                error = "continuation line " + std::to_string(i + 1) + " is not valid UTF-8";
                ok = false;
                break;
            }
            ok = unescape(next.substr(skip_blanks(next, 0)), &authored, &continues, &error);
        }
        if (ok && !is_valid_utf8(authored)) {
            error = "\\x escapes make the text invalid UTF-8";
            ok = false;
        }
        if (ok) ok = parse_insertions(authored, &message.pieces, &error);
        if (!ok) {
            fail(line_number, "message " + std::to_string(message.id) + ": " + error);
            continue;
        }
        const auto seen = id_lines.find(message.id);
        if (seen != id_lines.end()) {
            fail(line_number,
                 "message id " + std::to_string(message.id) + " is already used on line " +
                     std::to_string(seen->second));
            continue;
        }
        if (!message.symbol.empty()) {
            const auto named = symbol_lines.find(message.symbol);
            if (named != symbol_lines.end()) {
                fail(line_number,
                     "name " + message.symbol + " is already used on line " + std::to_string(named->second));
                continue;
            }
            symbol_lines[message.symbol] = line_number;
        }
        id_lines[message.id] = line_number;
        messages.push_back(std::move(message));
    }
    return messages;
}

std::string write_source(const std::vector<SourceMessage>& messages, const std::string& heading) {
    std::vector<const SourceMessage*> ordered;
    for (const SourceMessage& m : messages) ordered.push_back(&m);
    std::sort(
        ordered.begin(), ordered.end(), [](const SourceMessage* a, const SourceMessage* b) { return a->id < b->id; });
    std::ostringstream out;
    if (!heading.empty()) out << "# " << heading << "\n";
    for (const SourceMessage* m : ordered) {
        std::vector<Piece> escaped = m->pieces;
        for (size_t k = 0; k < escaped.size(); ++k) {
            if (escaped[k].number == 0) escaped[k].text = escape_text(escaped[k].text, k == 0, k + 1 == escaped.size());
        }
        out << m->id;
        if (!m->symbol.empty()) out << ' ' << m->symbol;
        out << " = " << format_insertions(escaped) << "\n";
    }
    return out.str();
}

}  // namespace lexmsg_compile
