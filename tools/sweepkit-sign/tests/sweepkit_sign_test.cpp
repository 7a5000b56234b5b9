// The signing tool end to end: what it signs the kit's verification accepts,
// what it refuses it leaves untouched, and verify's line and exit code.
#include <gtest/gtest.h>

#include <string>

#include "tool_runner.h"

namespace {

using tooltest::run;
using tooltest::tool;
using bytes = std::vector<uint8_t>;

bytes pe_image(size_t size) {
    bytes pe(size, 0x90);
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[60] = 0x80;
    pe[61] = pe[62] = pe[63] = 0;
    pe[0x80] = 'P';
    pe[0x81] = 'E';
    pe[0x80 + 24] = 0x0B;
    pe[0x80 + 25] = 0x01;
    for (size_t i = 0x80 + 152; i < 0x80 + 160; ++i) pe[i] = 0;
    return pe;
}

bytes script() {
    const std::string text = "WScript.Echo \"hello\"\r\n";
    return bytes(text.begin(), text.end());
}

struct SignCase {
    const char* name;
    std::vector<std::string> options;
    bool pe;
    std::string expected;  // verify's first words, mode 2
    int exit_code;
};

TEST(SweepkitSign, SignThenVerify) {
    const SignCase cases[] = {
        {"binary_primary", {}, true, "accepted 3: ", 0},
        {"hex_text_primary", {"--encoding", "T"}, true, "accepted 3: ", 0},
        {"binary_secondary", {"--key", "secondary"}, true, "rejected 11: ", 1},
        {"hex_text_secondary", {"--encoding", "T", "--key", "secondary"}, false, "rejected 11: ", 1},
        {"script_with_comment_mark",
         {"--encoding", "T", "--lead-pad", "2", "--lead-text", "' "},
         false,
         "accepted 3: ",
         0},
        {"paddings_and_extra_records",
         {"--lead-pad", "32", "--tail-pad", "32", "--extra-records", "3"},
         true,
         "accepted 3: ",
         0},
        {"script_paddings_and_extra_records",
         {"--encoding", "T", "--lead-pad", "32", "--lead-text", "' --", "--tail-pad", "0", "--extra-records", "2"},
         false,
         "accepted 3: ",
         0},
        {"letters_in_the_lead_text_of_a_pe_image",
         {"--lead-pad", "8", "--lead-text", "Any text"},
         true,
         "accepted 3: ",
         0},
    };
    for (const SignCase& c : cases) {
        const std::string file = tooltest::test_file(std::string(c.name) + ".bin");
        const bytes original = c.pe ? pe_image(0x600) : script();
        tooltest::write_bytes(file, original);
        std::vector<std::string> args = {"sign"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(file);
        ASSERT_EQ(run(tool(args)).exit_code, 0) << c.name;
        const bytes signed_file = tooltest::read_bytes(file);
        EXPECT_EQ(bytes(signed_file.begin(), signed_file.begin() + static_cast<std::ptrdiff_t>(original.size())),
                  original)
            << c.name;
        const auto verified = run(tool({"verify", "--mode", "2", file}));
        EXPECT_EQ(verified.output.rfind(c.expected, 0), 0u) << c.name << ": " << verified.output;
        EXPECT_EQ(verified.exit_code, c.exit_code) << c.name;
        EXPECT_EQ(verified.output.find('\n'), verified.output.size() - 1) << "one line";
        if (c.options.empty()) {
            // Default tail padding aligns the end of the block to 8 bytes.
            EXPECT_EQ(signed_file.size() % 8, 0u);
        }
        std::remove(file.c_str());
    }
}

TEST(SweepkitSign, LegacyTrailers) {
    for (const char* encoding : {"B", "T"}) {
        const std::string file = tooltest::test_file(std::string(encoding) + ".vbs");
        tooltest::write_bytes(file, script());
        ASSERT_EQ(run(tool({"sign-legacy", "--encoding", encoding, file})).exit_code, 0);
        EXPECT_EQ(tooltest::read_bytes(file).size(), script().size() + (encoding[0] == 'T' ? 513 : 257));
        const auto fallback = run(tool({"verify", "--mode", "2", file}));
        EXPECT_EQ(fallback.output.rfind("accepted 2: ", 0), 0u) << fallback.output;
        EXPECT_EQ(fallback.exit_code, 0);
        const auto strict = run(tool({"verify", file}));
        EXPECT_EQ(strict.output.rfind("rejected 7: ", 0), 0u) << strict.output;
        EXPECT_EQ(strict.exit_code, 1);
        std::remove(file.c_str());
    }
}

TEST(SweepkitSign, RefusesAndLeavesTheFileAlone) {
    const std::string signed_file = tooltest::test_file("signed.bin");
    tooltest::write_bytes(signed_file, pe_image(0x400));
    ASSERT_EQ(run(tool({"sign", signed_file})).exit_code, 0);
    const bytes once = tooltest::read_bytes(signed_file);
    EXPECT_EQ(run(tool({"sign", signed_file})).exit_code, 2);
    EXPECT_EQ(tooltest::read_bytes(signed_file), once);

    bytes with_table = pe_image(0x400);
    with_table[0x80 + 152] = 0x00;
    with_table[0x80 + 153] = 0x04;  // address 0x400
    with_table[0x80 + 156] = 0x10;  // size 16
    with_table.resize(0x410, 0);
    const std::string table_file = tooltest::test_file("table.bin");
    tooltest::write_bytes(table_file, with_table);
    EXPECT_EQ(run(tool({"sign", table_file})).exit_code, 2);
    EXPECT_EQ(tooltest::read_bytes(table_file), with_table);

    // A script host reads a script's padding: lead text that it could run
    // is refused with the option named, and nothing is written.
    const std::string script_file = tooltest::test_file("script.vbs");
    tooltest::write_bytes(script_file, script());
    for (const char* lead_text : {"Run ", "'\xC3\xA9"}) {
        const auto refused = run(tool({"sign", "--lead-pad", "4", "--lead-text", lead_text, script_file}) + " 2>&1");
        EXPECT_EQ(refused.exit_code, 2) << lead_text;
        EXPECT_NE(refused.output.find("--lead-text"), std::string::npos) << refused.output;
        EXPECT_EQ(tooltest::read_bytes(script_file), script()) << lead_text;
    }
    std::remove(script_file.c_str());

    const std::string missing = tooltest::test_file("missing.bin");
    EXPECT_EQ(run(tool({"sign", missing})).exit_code, 2);
    const auto not_there = run(tool({"verify", missing}));
    EXPECT_EQ(not_there.output.rfind("rejected 1: ", 0), 0u);
    EXPECT_EQ(not_there.exit_code, 2);
    // An empty file gives code 13, which says the file could not be read,
    // not that its signature is wrong.
    const std::string empty = tooltest::test_file("empty.bin");
    tooltest::write_bytes(empty, bytes());
    const auto unreadable = run(tool({"verify", empty}));
    EXPECT_EQ(unreadable.output.rfind("rejected 13: ", 0), 0u) << unreadable.output;
    EXPECT_EQ(unreadable.exit_code, 2);
    std::remove(empty.c_str());

    EXPECT_EQ(run(tool({"sign", "--encoding", "X", signed_file})).exit_code, 2);
    EXPECT_EQ(run(tool({"sign", "--lead-pad", "33", table_file})).exit_code, 2);
    EXPECT_EQ(run(tool({"frobnicate"})).exit_code, 2);
    EXPECT_EQ(tooltest::read_bytes(table_file), with_table);
    std::remove(signed_file.c_str());
    std::remove(table_file.c_str());
}

TEST(SweepkitSign, VerifyRejectsAChangedFile) {
    const std::string file = tooltest::test_file("changed.bin");
    tooltest::write_bytes(file, pe_image(0x400));
    ASSERT_EQ(run(tool({"sign", file})).exit_code, 0);
    bytes content = tooltest::read_bytes(file);
    content[0x300] ^= 1;
    tooltest::write_bytes(file, content);
    const auto result = run(tool({"verify", file}));
    EXPECT_EQ(result.output.rfind("rejected 9: ", 0), 0u) << result.output;
    EXPECT_EQ(result.exit_code, 1);
    std::remove(file.c_str());
}

}  // namespace
