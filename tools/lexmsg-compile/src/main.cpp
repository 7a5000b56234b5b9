// lexmsg-compile: builds message catalogs from readable sources, dumps them
// back, embeds them into host files and checks translations.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "catalog_compiler.h"
#include "catalog_reader.h"
#include "catalog_source.h"
#include "code_page.h"

namespace {

using lexmsg_compile::CatalogContents;
using lexmsg_compile::SourceMessage;

constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;  // source errors, or a check that found differences
constexpr int kExitUsage = 2;     // usage or I/O error

const char kUsage[] =
    "usage:\n"
    "  lexmsg-compile compile [--wide | --narrow | --both] [--codepage N] [--header FILE] -o CATALOG SOURCE\n"
    "  lexmsg-compile dump [--codepage N] [-o SOURCE] CATALOG\n"
    "  lexmsg-compile embed [--name NAME] [-o OUTPUT] HOST CATALOG\n"
    "  lexmsg-compile check ORIGINAL TRANSLATION\n"
    "  lexmsg-compile --help | --version\n"
    "Sources are UTF-8 text, one message a line: ID [NAME] = text with %1 to %99.\n"
    "The narrow section is converted to code page N (default 1252); --both is the default.\n"
    "embed appends the catalog behind the marker for NAME (default: HOST's base name),\n"
    "writing OUTPUT (default: HOST itself). check compares catalogs or sources and\n"
    "exits 1 when a message's insertion numbers differ. See lexmsg-compile(1).\n";

int usage_error(const std::string& what) {
    std::cerr << "lexmsg-compile: " << what << "\n" << kUsage;
    return kExitUsage;
}

bool read_file(const std::string& path, std::vector<uint8_t>* out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    out->clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + got);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

bool write_file(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return out.good();
}

int io_error(const std::string& verb, const std::string& path) {
    std::cerr << "lexmsg-compile: cannot " << verb << " " << path << "\n";
    return kExitUsage;
}

bool parse_code_page(const std::string& text, uint32_t* code_page) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value == 0 || value > 65535) return false;
    *code_page = static_cast<uint32_t>(value);
    return lexmsg_compile::code_page_known(*code_page);
}

// Options and operands of one command line.
struct Arguments {
    std::vector<std::string> operands;
    std::string output;
    std::string header;
    std::string name;
    std::string code_page;
    std::string sections;  // "wide", "narrow" or "both"
};

bool parse_arguments(int argc, char** argv, Arguments* args, std::string* error) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* into) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *into = argv[++i];
            return true;
        };
        if (arg == "-o") {
            if (!value(&args->output)) return false;
        } else if (arg == "--header") {
            if (!value(&args->header)) return false;
        } else if (arg == "--name") {
            if (!value(&args->name)) return false;
        } else if (arg == "--codepage") {
            if (!value(&args->code_page)) return false;
        } else if (arg == "--wide" || arg == "--narrow" || arg == "--both") {
            args->sections = arg.substr(2);
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else {
            args->operands.push_back(arg);
        }
    }
    return true;
}

// The messages of a source or a catalog file; false after reporting.
bool load_messages(const std::string& path, uint32_t code_page, std::vector<SourceMessage>* messages, int* rc) {
    std::vector<uint8_t> bytes;
    if (!read_file(path, &bytes)) {
        *rc = io_error("read", path);
        return false;
    }
    std::string error;
    if (lexmsg_compile::is_catalog(bytes)) {
        CatalogContents contents;
        if (!lexmsg_compile::read_catalog(bytes, &contents, &error) ||
            !lexmsg_compile::catalog_messages(contents, code_page, messages, &error)) {
            std::cerr << path << ": " << error << "\n";
            *rc = kExitUsage;
            return false;
        }
        return true;
    }
    std::vector<std::string> errors;
    *messages = lexmsg_compile::parse_source(std::string(bytes.begin(), bytes.end()), path, &errors);
    for (const std::string& e : errors) std::cerr << e << "\n";
    if (!errors.empty()) {
        *rc = kExitFindings;
        return false;
    }
    return true;
}

int command_compile(const Arguments& args) {
    if (args.operands.size() != 1 || args.output.empty()) return usage_error("compile needs -o CATALOG and one SOURCE");
    lexmsg_compile::CompileOptions options;
    if (args.sections == "wide") options.narrow = false;
    if (args.sections == "narrow") options.wide = false;
    if (!args.code_page.empty() && !parse_code_page(args.code_page, &options.code_page)) {
        return usage_error("unknown code page " + args.code_page);
    }
    const std::string& source = args.operands[0];
    std::vector<uint8_t> bytes;
    if (!read_file(source, &bytes)) return io_error("read", source);
    std::vector<std::string> errors;
    const std::vector<SourceMessage> messages =
        lexmsg_compile::parse_source(std::string(bytes.begin(), bytes.end()), source, &errors);
    std::vector<uint8_t> catalog;
    if (errors.empty()) lexmsg_compile::compile_catalog(messages, options, source, &catalog, &errors);
    for (const std::string& e : errors) std::cerr << e << "\n";
    if (!errors.empty()) return kExitFindings;
    if (!write_file(args.output, catalog.data(), catalog.size())) return io_error("write", args.output);
    if (!args.header.empty()) {
        std::string base = args.header.substr(args.header.find_last_of("/\\") + 1);
        const std::string header = lexmsg_compile::write_header(messages, base, source);
        if (!write_file(args.header, header.data(), header.size())) return io_error("write", args.header);
    }
    return kExitOk;
}

int command_dump(const Arguments& args) {
    if (args.operands.size() != 1) return usage_error("dump needs one CATALOG");
    uint32_t code_page = 0;
    if (!args.code_page.empty() && !parse_code_page(args.code_page, &code_page)) {
        return usage_error("unknown code page " + args.code_page);
    }
    const std::string& path = args.operands[0];
    std::vector<uint8_t> bytes;
    if (!read_file(path, &bytes)) return io_error("read", path);
    CatalogContents contents;
    std::vector<SourceMessage> messages;
    std::string error;
    if (!lexmsg_compile::read_catalog(bytes, &contents, &error) ||
        !lexmsg_compile::catalog_messages(contents, code_page, &messages, &error)) {
        std::cerr << path << ": " << error << "\n";
        return kExitUsage;
    }
    const std::string heading = "Messages of " + path.substr(path.find_last_of("/\\") + 1) + ", from its " +
                                (contents.has_wide ? "wide" : "narrow") + " section.";
    const std::string source = lexmsg_compile::write_source(messages, heading);
    if (args.output.empty()) {
        std::cout << source;
        return std::cout.good() ? kExitOk : kExitUsage;
    }
    if (!write_file(args.output, source.data(), source.size())) return io_error("write", args.output);
    return kExitOk;
}

int command_embed(const Arguments& args) {
    if (args.operands.size() != 2) return usage_error("embed needs HOST and CATALOG");
    const std::string& host_path = args.operands[0];
    const std::string& catalog_path = args.operands[1];
    const std::string name = args.name.empty() ? host_path.substr(host_path.find_last_of("/\\") + 1) : args.name;
    std::vector<uint8_t> host;
    std::vector<uint8_t> catalog;
    if (!read_file(host_path, &host)) return io_error("read", host_path);
    if (!read_file(catalog_path, &catalog)) return io_error("read", catalog_path);
    std::vector<uint8_t> out;
    std::string error;
    if (!lexmsg_compile::embed_catalog(host, name, catalog, &out, &error)) {
        std::cerr << "lexmsg-compile: " << error << "\n";
        return kExitUsage;
    }
    const std::string& output = args.output.empty() ? host_path : args.output;
    if (!write_file(output, out.data(), out.size())) return io_error("write", output);
    return kExitOk;
}

int command_check(const Arguments& args) {
    if (args.operands.size() != 2) return usage_error("check needs ORIGINAL and TRANSLATION");
    int rc = kExitOk;
    std::vector<SourceMessage> original;
    std::vector<SourceMessage> translation;
    if (!load_messages(args.operands[0], 0, &original, &rc)) return rc;
    if (!load_messages(args.operands[1], 0, &translation, &rc)) return rc;
    const std::vector<std::string> differences = lexmsg_compile::compare_insertions(
        lexmsg_compile::insertion_sets(original), lexmsg_compile::insertion_sets(translation));
    for (const std::string& line : differences) std::cout << args.operands[1] << ": " << line << "\n";
    return differences.empty() ? kExitOk : kExitFindings;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage_error("no command");
    const std::string command = argv[1];
    if (argc == 2 && command == "--help") {
        std::cout << kUsage;
        return std::cout.good() ? kExitOk : kExitUsage;
    }
    if (argc == 2 && command == "--version") {
        std::cout << "lexmsg-compile (lexmsg) " << SK_TOOL_VERSION << "\n";
        return std::cout.good() ? kExitOk : kExitUsage;
    }
    Arguments args;
    std::string error;
    if (!parse_arguments(argc, argv, &args, &error)) return usage_error(error);
    enum { kCompile, kDump, kEmbed, kCheck, kUnknown } which = kUnknown;
    if (command == "compile") which = kCompile;
    if (command == "dump") which = kDump;
    if (command == "embed") which = kEmbed;
    if (command == "check") which = kCheck;
    switch (which) {
        case kCompile:
            return command_compile(args);
        case kDump:
            return command_dump(args);
        case kEmbed:
            return command_embed(args);
        case kCheck:
            return command_check(args);
        case kUnknown:
            break;
    }
    return usage_error("unknown command " + command);
}
