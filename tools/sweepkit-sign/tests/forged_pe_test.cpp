// A real program signed by sweepkit-sign, then changed as a forger would
// while the signed content stays the same sequence of bytes: its block moved
// into the header padding with its free room laid over the sections' raw
// data, or a small block there followed by a certificate table inside the
// file that holds the replacement sections and the signature value. The
// verification refuses both with 8 in modes 0 and 2, while Wine runs the
// changed program with another text and exit code: the change is real.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "sig_bytes.h"
#include "sig_format.h"
#include "tool_runner.h"

namespace {

using bytes = std::vector<uint8_t>;
using tooltest::quote;
using tooltest::run;
using tooltest::tool;

// The text and the exit code live in the data section, where a forger
// changes them.
const char kProgram[] =
    "#include <stdio.h>\n"
    "struct config { char text[24]; int result; };\n"
    "struct config config = {\"original program\", 0};\n"
    "int main(void) { puts(config.text); return config.result; }\n";

struct Toolchain {
    const char* name;
    const char* compiler;
    const char* runner;  // Wine's loader for programs of this kind
};

// The compilers of the win32 and win64 builds (cmake/toolchain-mingw.cmake).
const Toolchain kToolchains[] = {
    {"pe32", "i686-w64-mingw32-gcc-posix", "wine"},
    {"pe32_plus", "x86_64-w64-mingw32-gcc-posix", "/usr/lib/wine/wine64"},
};

uint32_t le32(const bytes& b, size_t at) { return sigverify::load_le32(b.data() + at); }
uint16_t le16(const bytes& b, size_t at) { return sigverify::load_le16(b.data() + at); }

struct ImageLayout {
    uint32_t section_table_end;
    uint32_t first_raw;  // the first section's raw data
    uint32_t directory;  // the certificate-table directory entry
};

ImageLayout layout_of(const bytes& image) {
    const uint32_t e_lfanew = le32(image, 60);
    const uint32_t optional = e_lfanew + 24;
    const uint32_t sections = optional + le16(image, e_lfanew + 20);
    const uint32_t count = le16(image, e_lfanew + 6);
    uint32_t first_raw = UINT32_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t raw = le32(image, sections + 40 * i + 20);
        if (raw != 0) first_raw = std::min(first_raw, raw);
    }
    const bool pe32 = le16(image, optional) == sigverify::kPe32Magic;
    return {sections + 40 * count,
            first_raw,
            e_lfanew + (pe32 ? sigverify::kPeCertDirectory32 : sigverify::kPeCertDirectory64)};
}

// The program with another text and exit code.
bytes changed_program(const bytes& image) {
    const std::string original = "original program";
    const auto text = std::search(image.begin(), image.end(), original.begin(), original.end());
    if (text == image.end()) return {};
    bytes changed = image;
    const auto at = static_cast<size_t>(text - image.begin());
    std::memcpy(changed.data() + at, "replaced program", original.size());
    sigverify::store_le32(changed.data() + at + 24, 7);
    return changed;
}

// A binary block with one signature record whose value lies at
// value_offset, and `inner` bytes between the record table and the trailer.
bytes binary_block(uint32_t value_offset, const bytes& inner) {
    const sigverify::BlockLayout& layout = sigverify::kBinaryLayout;
    const auto end_offset =
        static_cast<uint32_t>(layout.header_size + layout.record_size + inner.size() + layout.trailer_size);
    bytes block(layout.header_size + layout.record_size, 0);
    std::memcpy(block.data(), sigverify::kStartMarker, sigverify::kMarkerSize);
    block[layout.header_lead_pad_tag] = sigverify::kTypeTag;
    block[layout.header_span_tag] = sigverify::kTypeTag;
    sigverify::store_le32(block.data() + layout.header_span, end_offset + sigverify::kMarkerSize);
    block[layout.header_record_count] = 1;
    uint8_t* record = block.data() + layout.header_size;
    record[layout.record_type] = sigverify::kSignatureRecordType;
    record[layout.record_value_offset_tag] = sigverify::kTypeTag;
    sigverify::store_le32(record + layout.record_value_offset, value_offset);
    record[layout.record_value_length_tag] = sigverify::kTypeTag;
    sigverify::store_le32(record + layout.record_value_length, sigverify::kSignatureSize);
    record[layout.record_key_selector] = static_cast<uint8_t>(sigverify::kKeyPrimary);
    block.insert(block.end(), inner.begin(), inner.end());
    uint8_t trailer[11] = {};
    sigverify::store_le32(trailer, end_offset);
    trailer[4] = sigverify::kTypeTag;
    trailer[9] = sigverify::kTypeTag;
    trailer[10] = static_cast<uint8_t>(sigverify::kEncodingBinary);
    block.insert(block.end(), trailer, trailer + sizeof trailer);
    block.insert(block.end(), sigverify::kEndMarker, sigverify::kEndMarker + sigverify::kMarkerSize);
    return block;
}

struct Forgery {
    const char* name;
    bytes file;
};

// Both forgeries of a program of `length` bytes whose signed copy is
// `signed_file`; the block goes at `at`, in the header padding.
std::vector<Forgery> forge(
    const bytes& signed_file, size_t length, const bytes& changed, uint32_t at, const ImageLayout& layout) {
    const uint32_t table_end = sigverify::kBinaryLayout.header_size + sigverify::kBinaryLayout.record_size;
    const bytes signature(signed_file.begin() + static_cast<std::ptrdiff_t>(length + table_end),
                          signed_file.begin() + static_cast<std::ptrdiff_t>(length + table_end + 256));
    const auto head = signed_file.begin() + at;
    const auto content_end = signed_file.begin() + static_cast<std::ptrdiff_t>(length);
    // The value follows the replacement bytes, which end where the program did.
    const auto value_offset = static_cast<uint32_t>(length - at);

    bytes room(changed.begin() + at + table_end, changed.begin() + static_cast<std::ptrdiff_t>(length));
    room.insert(room.end(), signature.begin(), signature.end());
    bytes over_sections(signed_file.begin(), head);
    const bytes large = binary_block(value_offset, room);
    over_sections.insert(over_sections.end(), large.begin(), large.end());
    over_sections.insert(over_sections.end(), head, content_end);

    const bytes small = binary_block(value_offset, {});
    bytes table(changed.begin() + static_cast<std::ptrdiff_t>(at + small.size()),
                changed.begin() + static_cast<std::ptrdiff_t>(length));
    table.insert(table.end(), signature.begin(), signature.end());
    bytes inner_table(signed_file.begin(), head);
    sigverify::store_le32(inner_table.data() + layout.directory, static_cast<uint32_t>(at + small.size()));
    sigverify::store_le32(inner_table.data() + layout.directory + 4, static_cast<uint32_t>(table.size()));
    inner_table.insert(inner_table.end(), small.begin(), small.end());
    inner_table.insert(inner_table.end(), table.begin(), table.end());
    inner_table.insert(inner_table.end(), head, content_end);
    return {{"block_over_sections", over_sections}, {"certificate_table_inside_the_file", inner_table}};
}

// Runs a Windows program under Wine in a prefix of the test's own.
tooltest::RunResult run_under_wine(const Toolchain& t, const std::string& program) {
    const std::string root = (std::filesystem::current_path() / "forged_pe_wine").string();
    std::filesystem::create_directories(root + "/home");
    return run("HOME=" + quote(root + "/home") + " WINEPREFIX=" + quote(root + "/prefix") +
               " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' timeout 300 " +
               quote(t.runner) + " " + quote(program) + " 2>/dev/null");
}

TEST(ForgedPe, ChangedSectionsBehindAMovedBlockAreRefused) {
    std::string not_shown;  // what this machine could not build or run
    for (const Toolchain& t : kToolchains) {
        SCOPED_TRACE(t.name);
        if (run(std::string("command -v ") + t.compiler + " >/dev/null 2>&1").exit_code != 0) {
            not_shown += std::string(" ") + t.compiler + " is not installed (scripts/setup.sh installs it);";
            continue;
        }
        const std::string source = tooltest::test_file(std::string(t.name) + ".c");
        const std::string program = tooltest::test_file(std::string(t.name) + ".exe");
        const std::string signed_program = tooltest::test_file(std::string(t.name) + "-signed.exe");
        tooltest::write_bytes(source, bytes(kProgram, kProgram + sizeof kProgram - 1));
        ASSERT_EQ(run(std::string(t.compiler) + " -O2 -s -o " + quote(program) + " " + quote(source)).exit_code, 0);
        ASSERT_EQ(run(tool({"sign", "--output", signed_program, program})).exit_code, 0);
        const bytes image = tooltest::read_bytes(program);
        const bytes signed_file = tooltest::read_bytes(signed_program);
        const bytes changed = changed_program(image);
        ASSERT_FALSE(changed.empty()) << "the program's text was not found";
        const ImageLayout layout = layout_of(image);
        // The block's header goes right after the section table, 16-aligned.
        const uint32_t at = (layout.section_table_end + 15) / 16 * 16;
        ASSERT_LE(at + binary_block(0, {}).size(), layout.first_raw) << "no room in the header padding";

        const auto signed_verdict = run(tool({"verify", signed_program}));
        EXPECT_EQ(signed_verdict.output.rfind("accepted 3: ", 0), 0u) << signed_verdict.output;

        std::vector<std::string> files = {source, program, signed_program};
        std::vector<std::string> forged_programs;
        for (const Forgery& f : forge(signed_file, image.size(), changed, at, layout)) {
            const std::string path = tooltest::test_file(std::string(t.name) + "-" + f.name + ".exe");
            tooltest::write_bytes(path, f.file);
            files.push_back(path);
            forged_programs.push_back(path);
            for (const char* mode : {"0", "2"}) {
                const auto verdict = run(tool({"verify", "--mode", mode, path}));
                EXPECT_EQ(verdict.output.rfind("rejected 8: ", 0), 0u)
                    << f.name << " mode " << mode << ": " << verdict.output;
                EXPECT_EQ(verdict.exit_code, 1) << f.name;
            }
        }

        // The first start in a new prefix sets the prefix up and loses the
        // program's output; the runs that count come after it.
        run_under_wine(t, signed_program);
        const auto original = run_under_wine(t, signed_program);
        if (original.output.rfind("original program", 0) != 0) {
            not_shown += std::string(" ") + t.runner + " does not run " + t.name + " programs here;";
        } else {
            EXPECT_EQ(original.exit_code, 0);
            for (const std::string& path : forged_programs) {
                const auto forged = run_under_wine(t, path);
                EXPECT_EQ(forged.output.rfind("replaced program", 0), 0u) << path << ": " << forged.output;
                EXPECT_EQ(forged.exit_code, 7) << path;
            }
        }
        for (const std::string& f : files) std::remove(f.c_str());
    }
    if (!not_shown.empty()) GTEST_SKIP() << "not shown:" << not_shown;
}

}  // namespace
