// The compiler's logic: reading sources and their errors, the round trip
// source -> catalog -> source -> catalog, code pages, the translation check,
// embedding, and the header of symbolic ids.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalog_compiler.h"
#include "catalog_reader.h"
#include "catalog_source.h"
#include "lexmsg.h"

namespace {

using namespace lexmsg_compile;

std::vector<SourceMessage> parse_ok(const std::string& text) {
    std::vector<std::string> errors;
    std::vector<SourceMessage> messages = parse_source(text, "t.msg", &errors);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    return messages;
}

std::vector<uint8_t> compile_ok(const std::vector<SourceMessage>& messages, CompileOptions options = {}) {
    std::vector<uint8_t> catalog;
    std::vector<std::string> errors;
    EXPECT_TRUE(compile_catalog(messages, options, "t.msg", &catalog, &errors)) << (errors.empty() ? "" : errors[0]);
    return catalog;
}

std::string narrow_message(const std::vector<uint8_t>& catalog, uint32_t id, const lexmsg_arg_list* args) {
    lexmsg_handle* handle = nullptr;
    if (lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), &handle) != 0) return "no handle";
    char* text = nullptr;
    const int rc = lexmsg_lgetMessageA_mf(handle, id, &text, 0, args);
    std::string out = rc == 0 ? std::string(text) : "rc " + std::to_string(rc);
    lexmsg_free(text);
    lexmsg_cleanupA_mf(handle);
    return out;
}

TEST(Source, TextsAndTheirEscapes) {
    const auto messages = parse_ok(
        "\xEF\xBB\xBF# heading\n"
        "\n"
        "1 = Hello, %1!\n"
        "  2 GREETING =   spaced out   \n"
        "3 = \\sedges\\s\n"
        "4 = tab\\tnewline\\ncr\\rback\\\\slash \\x41\r\n"
        "5 = 100%% of %01%2 and %12\n"
        "6 = a long text \\\n"
        "      continued\n"
        "7 =\n"
        "8 = caf\xC3\xA9 \xE2\x82\xAC\n");
    ASSERT_EQ(messages.size(), 8u);
    auto text_of = [](const SourceMessage& m) { return format_insertions(m.pieces); };
    EXPECT_EQ(text_of(messages[0]), "Hello, %1!");
    EXPECT_EQ(messages[1].symbol, "GREETING");
    EXPECT_EQ(text_of(messages[1]), "spaced out");
    EXPECT_EQ(text_of(messages[2]), " edges ");
    EXPECT_EQ(text_of(messages[3]), "tab\tnewline\ncr\rback\\slash A");
    EXPECT_EQ(messages[4].pieces.size(), 5u);
    EXPECT_EQ(messages[4].pieces[1].number, 1u);
    EXPECT_EQ(messages[4].pieces[2].number, 2u);
    EXPECT_EQ(messages[4].pieces[4].number, 12u);
    EXPECT_EQ(text_of(messages[5]), "a long text continued");
    EXPECT_EQ(messages[5].line, 8u);
    EXPECT_TRUE(messages[6].pieces.empty());
    EXPECT_EQ(messages[7].id, 8u);
}

TEST(Source, ErrorsNameFileAndLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"x = text\n", "t.msg:1: expected a message id"},
        {"\n1 text\n", "t.msg:2: expected '=' after the message id"},
        {"1 = a %0 b\n", "t.msg:1: message 1: argument numbers start at 1"},
        {"1 = 50%\n", "t.msg:1: message 1: '%' must be followed"},
        {"1 = %x\n", "t.msg:1: message 1: '%' must be followed"},
        {"1 = \\q\n", "t.msg:1: message 1: unknown escape \\q"},
        {"1 = \\x4\n", "t.msg:1: message 1: \\x must be followed"},
        {"1 = \\xFF\n", "t.msg:1: message 1: \\x escapes make the text invalid UTF-8"},
        {"1 = \xC3\n", "t.msg:1: the line is not valid UTF-8"},
        {"1 = a\n2 = b\n1 = c\n", "t.msg:3: message id 1 is already used on line 1"},
        {"1 A = a\n2 A = b\n", "t.msg:2: name A is already used on line 1"},
        {"1000001 = big\n", "t.msg:1: message id above 1000000"},
        {"1 = end \\", "t.msg:1: message 1: the last line ends in a continuation backslash"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> errors;
        parse_source(c.text, "t.msg", &errors);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(c.error, 0), 0u) << errors[0];
    }
}

TEST(Compile, RoundTripGivesIdenticalBytes) {
    const std::string source =
        "1 = Hello, %1!\n"
        "2 = \\s lead and trail \\s\n"
        "3 = %1%2 adjacent, %01%% digits: %019\n"
        "5 = tab\\there\\nnewline \\x7F\n"
        "9 = caf\xC3\xA9 %2 \xE2\x82\xAC %1 \xC3\xBC\n"
        "10 = \n"
        "12 = % 1 is not an insertion? no: %%1 is text\n";
    for (CompileOptions options : {CompileOptions{true, true, 1252},
                                   CompileOptions{true, false, 1252},
                                   CompileOptions{false, true, 1252},
                                   CompileOptions{false, true, 1250}}) {
        SCOPED_TRACE(std::to_string(options.wide) + std::to_string(options.narrow));
        std::vector<std::string> errors;
        const auto messages = parse_source(source, "t.msg", &errors);
        // The stray "% 1" is an error; the reader drops that line and keeps
        // the other six for the round trip.
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind("t.msg:7:", 0), 0u) << errors[0];
        ASSERT_EQ(messages.size(), 6u);
        const std::vector<uint8_t> first = compile_ok(messages, options);
        CatalogContents contents;
        std::string error;
        ASSERT_TRUE(read_catalog(first, &contents, &error)) << error;
        std::vector<SourceMessage> dumped;
        ASSERT_TRUE(catalog_messages(contents, 0, &dumped, &error)) << error;
        const std::string text = write_source(dumped, "dumped");
        const std::vector<uint8_t> second = compile_ok(parse_ok(text), options);
        EXPECT_EQ(first, second) << text;
        EXPECT_EQ(write_source(parse_ok(text), "dumped"), text);
    }
}

TEST(Compile, NarrowSectionInTheCodePage) {
    const auto messages = parse_ok("1 = caf\xC3\xA9 %1 \xE2\x82\xAC\n2 = plain\n");
    const std::vector<uint8_t> catalog = compile_ok(messages);
    lexmsg_arg_list* args = lexmsg_arg_list_new();
    lexmsg_arg_list_add_int(args, 7);
    EXPECT_EQ(narrow_message(catalog, 1, args), "caf\xE9 7 \x80");
    lexmsg_arg_list_free(args);

    CompileOptions utf8{false, true, 65001};
    const std::vector<uint8_t> in_utf8 = compile_ok(messages, utf8);
    EXPECT_EQ(narrow_message(in_utf8, 2, nullptr), "plain");
}

TEST(Compile, UnrepresentableTextNamesItsLine) {
    const auto messages = parse_ok("1 = fine\n\n3 = \xE4\xB8\xAD text\n");
    std::vector<uint8_t> catalog;
    std::vector<std::string> errors;
    EXPECT_FALSE(compile_catalog(messages, CompileOptions{}, "t.msg", &catalog, &errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "t.msg:3: message 3: U+4E2D '\xE4\xB8\xAD' cannot be represented in code page 1252");
    errors.clear();
    EXPECT_TRUE(compile_catalog(messages, CompileOptions{true, false, 1252}, "t.msg", &catalog, &errors))
        << "the wide section holds any text";
}

TEST(Check, InsertionNumbersPerId) {
    const auto original = parse_ok("1 = %1 and %2\n2 = %1\n3 = none\n4 = only here\n");
    const auto translation = parse_ok("1 = %2 und %1 und %2\n2 = %1 %3\n3 = %1\n5 = extra\n");
    const std::vector<std::string> lines = compare_insertions(insertion_sets(original), insertion_sets(translation));
    const std::vector<std::string> expected = {
        "message 2: the translation adds %3",
        "message 3: the translation adds %1",
        "message 4: missing from the translation",
        "message 5: not in the original",
    };
    EXPECT_EQ(lines, expected);
    const auto dropped = parse_ok("1 = %1 only\n2 = %1\n3 = none\n4 = x\n");
    EXPECT_EQ(compare_insertions(insertion_sets(original), insertion_sets(dropped)),
              std::vector<std::string>{"message 1: the translation drops %2"});
    EXPECT_TRUE(compare_insertions(insertion_sets(original), insertion_sets(original)).empty());
}

TEST(Embed, TheLibraryFindsTheEmbeddedCatalog) {
    const std::vector<uint8_t> catalog = compile_ok(parse_ok("1 = embedded\n"));
    const std::vector<uint8_t> host(9000, 0x90);
    std::vector<uint8_t> out;
    std::string error;
    ASSERT_TRUE(embed_catalog(host, "tool.exe", catalog, &out, &error)) << error;
    const char* path = "embed_test_host.bin";
    std::FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    lexmsg_handle* handle = nullptr;
    ASSERT_EQ(lexmsg_initembA_mf("C:\\apps\\tool.exe", path, &handle, 0), 0);
    char* text = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(handle, 1, &text, 0, nullptr), 0);
    EXPECT_STREQ(text, "embedded");
    lexmsg_free(text);
    lexmsg_cleanupA_mf(handle);
    std::remove(path);

    // Embedding twice under one name would leave the second unreachable.
    std::vector<uint8_t> twice;
    EXPECT_FALSE(embed_catalog(out, "tool.exe", catalog, &twice, &error));
    EXPECT_TRUE(embed_catalog(out, "other.exe", catalog, &twice, &error));
    EXPECT_FALSE(embed_catalog(host, "dir\\tool.exe", catalog, &twice, &error));
    EXPECT_FALSE(embed_catalog(host, "", catalog, &twice, &error));
    EXPECT_FALSE(embed_catalog(host, "tool.exe", host, &twice, &error)) << "not a catalog";
}

TEST(Header, NamedIdsOnly) {
    const auto messages = parse_ok("1 FIRST = a\n2 = b\n30 THIRTY = c\n");
    EXPECT_EQ(write_header(messages, "msg-ids.h", "app.msg"),
              "/* Message ids of app.msg, written by lexmsg-compile. */\n"
              "#ifndef MSG_IDS_H\n#define MSG_IDS_H\n\n"
              "#define FIRST 1\n#define THIRTY 30\n\n#endif\n");
}

}  // namespace
