// Catalogs for the tests: built from authored texts with the compiler's
// writer, or assembled by hand when a test needs a broken one; temporary
// files; handles that clean themselves up.
#ifndef LEXMSG_TESTS_CATALOG_FIXTURE_H
#define LEXMSG_TESTS_CATALOG_FIXTURE_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalog_writer.h"
#include "lexmsg.h"

namespace lexmsg_test {

using Bytes = std::vector<uint8_t>;
using WideString = std::basic_string<lexmsg_wchar>;

struct Authored {
    uint32_t id;
    std::string text;  // with %N insertion points
};

inline std::vector<lexmsg_compile::Piece> pieces_of(const std::string& authored) {
    std::vector<lexmsg_compile::Piece> pieces;
    std::string error;
    if (!lexmsg_compile::parse_insertions(authored, &pieces, &error)) throw std::invalid_argument(error);
    return pieces;
}

inline std::vector<lexmsg_compile::StoredMessage> stored(const std::vector<Authored>& messages, bool wide) {
    std::vector<lexmsg_compile::StoredMessage> out;
    for (const Authored& m : messages) {
        out.push_back(wide ? lexmsg_compile::wide_message(m.id, pieces_of(m.text))
                           : lexmsg_compile::narrow_message(m.id, pieces_of(m.text)));
    }
    return out;
}

inline uint32_t highest_of(const std::vector<Authored>& messages) {
    uint32_t highest = 0;
    for (const Authored& m : messages) highest = m.id > highest ? m.id : highest;
    return highest;
}

inline Bytes wide_section(const std::vector<Authored>& messages) {
    return lexmsg_compile::build_section(stored(messages, true), highest_of(messages));
}

inline Bytes narrow_section(const std::vector<Authored>& messages) {
    return lexmsg_compile::build_section(stored(messages, false), highest_of(messages));
}

// A catalog with both sections holding the same texts.
inline Bytes both_catalog(const std::vector<Authored>& messages) {
    const Bytes wide = wide_section(messages);
    const Bytes narrow = narrow_section(messages);
    return lexmsg_compile::build_catalog(highest_of(messages), 0, &wide, &narrow);
}

inline Bytes narrow_catalog(const std::vector<Authored>& messages) {
    const Bytes narrow = narrow_section(messages);
    return lexmsg_compile::build_catalog(highest_of(messages), 0, nullptr, &narrow);
}

inline Bytes wide_catalog(const std::vector<Authored>& messages) {
    const Bytes wide = wide_section(messages);
    return lexmsg_compile::build_catalog(highest_of(messages), 0, &wide, nullptr);
}

// A catalog whose one section (wide or narrow) holds the given messages.
inline Bytes catalog_of(const std::vector<lexmsg_compile::StoredMessage>& messages, uint32_t highest, bool wide) {
    const Bytes section = lexmsg_compile::build_section(messages, highest);
    return lexmsg_compile::build_catalog(highest, 0, wide ? &section : nullptr, wide ? nullptr : &section);
}

inline uint32_t get32(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

inline void set32(Bytes* b, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void put32(Bytes* b, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A file in the working directory, removed when the test ends. A random part
// goes before the name's extension, so tests running side by side in other
// processes never share a file.
class TempFile {
public:
    explicit TempFile(const std::string& name) : name_(unique(name)) {}
    TempFile(const std::string& name, const Bytes& content) : name_(unique(name)) { write(content); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { std::remove(name_.c_str()); }

    void write(const Bytes& content) const {
        std::FILE* f = std::fopen(name_.c_str(), "wb");
        if (f == nullptr) throw std::runtime_error("cannot write " + name_);
        if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    const char* path() const { return name_.c_str(); }

private:
    static std::string unique(const std::string& name) {
        const std::string tag = "." + std::to_string(std::random_device{}());
        const size_t dot = name.rfind('.');
        return dot == std::string::npos ? name + tag : name.substr(0, dot) + tag + name.substr(dot);
    }

    std::string name_;
};

inline WideString widen(const std::u16string& text) { return WideString(text.begin(), text.end()); }

// Owns a handle and cleans it up with the function of its kind.
class Handle {
public:
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    lexmsg_handle** out() { return &handle_; }
    lexmsg_handle* get() const { return handle_; }
    void reset() {
        if (handle_ != nullptr && lexmsg_cleanupW_mf(handle_) != 0) lexmsg_cleanupA_mf(handle_);
        handle_ = nullptr;
    }
    lexmsg_handle* release() { return std::exchange(handle_, nullptr); }

private:
    lexmsg_handle* handle_ = nullptr;
};

struct FreeDeleter {
    void operator()(void* block) const { lexmsg_free(block); }
};
using Text = std::unique_ptr<char, FreeDeleter>;
using WideText = std::unique_ptr<lexmsg_wchar, FreeDeleter>;

}  // namespace lexmsg_test

#endif
