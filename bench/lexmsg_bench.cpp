// Message delivery and catalog loading, side by side with their peers:
// lexmsg_lgetMessageA_mf with a prepared list (and the variadic and wide
// forms) against glibc's dgettext + snprintf on the same texts from a .mo
// built by msgfmt; loading a 10,000-message catalog against zlib's own
// inflate of the same section.
#include <benchmark/benchmark.h>
#include <libintl.h>
#include <zlib.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalog_writer.h"
#include "lexmsg.h"

namespace {

constexpr uint32_t kMessages = 5000;
constexpr uint32_t kLoadMessages = 10000;
constexpr size_t kDraws = 4096;

const char* const kWords[] = {"archive", "backup", "catalog", "document", "export", "folder", "journal", "report"};

// About 60 characters with an int, a string and an unsigned inserted.
std::string authored_text(uint32_t id) {
    return "Item " + std::to_string(id) + ": moved %1 times, the " + kWords[id % 8] + " %2 has %3 bytes.";
}

// The same text in printf form for the gettext peer.
std::string printf_text(uint32_t id) {
    return "Item " + std::to_string(id) + ": moved %d times, the " + std::string(kWords[id % 8]) + " %s has %u bytes.";
}

std::vector<uint8_t> build_catalog(uint32_t count) {
    std::vector<lexmsg_compile::StoredMessage> wide;
    std::vector<lexmsg_compile::StoredMessage> narrow;
    for (uint32_t id = 1; id <= count; ++id) {
        std::vector<lexmsg_compile::Piece> pieces;
        std::string error;
        if (!lexmsg_compile::parse_insertions(authored_text(id), &pieces, &error)) throw std::runtime_error(error);
        wide.push_back(lexmsg_compile::wide_message(id, pieces));
        narrow.push_back(lexmsg_compile::narrow_message(id, pieces));
    }
    const std::vector<uint8_t> w = lexmsg_compile::build_section(wide, count);
    const std::vector<uint8_t> n = lexmsg_compile::build_section(narrow, count);
    return lexmsg_compile::build_catalog(count, 1252, &w, &n);
}

void write_bytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Everything the benchmarks share, made once.
struct Setup {
    std::filesystem::path dir;
    std::vector<uint8_t> catalog;       // 5,000 messages
    std::vector<uint8_t> load_catalog;  // 10,000 messages
    std::filesystem::path load_path;
    lexmsg_handle* narrow = nullptr;
    lexmsg_handle* wide = nullptr;
    std::vector<uint32_t> ids;
    std::vector<std::string> keys;  // gettext msgids, by id

    Setup() {
        dir = std::filesystem::temp_directory_path() / "lexmsg_bench";
        std::filesystem::create_directories(dir / "xx" / "LC_MESSAGES");
        catalog = build_catalog(kMessages);
        load_catalog = build_catalog(kLoadMessages);
        write_bytes(dir / "bench.cat", catalog);
        load_path = dir / "load.cat";
        write_bytes(load_path, load_catalog);
        if (lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), &narrow) != 0 ||
            lexmsg_initW_mf((dir / "bench.cat").c_str(), &wide) != 0) {
            throw std::runtime_error("cannot load the benchmark catalog");
        }

        // The peer: a .mo of the same texts, keyed by short message names.
        std::ofstream po(dir / "bench.po");
        po << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
        keys.resize(kMessages + 1);
        for (uint32_t id = 1; id <= kMessages; ++id) {
            keys[id] = "msg" + std::to_string(id);
            po << "#, c-format\nmsgid \"" << keys[id] << "\"\nmsgstr \"" << printf_text(id) << "\"\n\n";
        }
        po.close();
        const std::string command = "msgfmt -o '" + (dir / "xx" / "LC_MESSAGES" / "bench.mo").string() + "' '" +
                                    (dir / "bench.po").string() + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("msgfmt failed");
        std::setlocale(LC_ALL, "C.UTF-8");
        setenv("LANGUAGE", "xx", 1);
        bindtextdomain("bench", dir.c_str());
        if (std::string(dgettext("bench", keys[1].c_str())) != printf_text(1)) {
            throw std::runtime_error("gettext does not find the .mo");
        }

        std::mt19937 random(12345);
        std::uniform_int_distribution<uint32_t> pick(1, kMessages);
        for (size_t i = 0; i < kDraws; ++i) ids.push_back(pick(random));
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

const char kName[] = "quarterly.txt";

void BM_lexmsg_lgetMessageA_mf_prepared_list(benchmark::State& state) {
    Setup& s = setup();
    lexmsg_arg_list* args = lexmsg_arg_list_new();
    lexmsg_arg_list_add_int(args, 42);
    lexmsg_arg_list_add_charp(args, kName);
    lexmsg_arg_list_add_uint(args, 3000000000u);
    char out[256];
    size_t i = 0;
    for (auto _ : state) {
        char* buffer = out;
        const int rc = lexmsg_lgetMessageA_mf(s.narrow, s.ids[i++ % kDraws], &buffer, sizeof out, args);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    lexmsg_arg_list_free(args);
}

void BM_lexmsg_getMessageA_mf_variadic(benchmark::State& state) {
    Setup& s = setup();
    char out[256];
    size_t i = 0;
    for (auto _ : state) {
        char* buffer = out;
        const int rc = lexmsg_getMessageA_mf(s.narrow,
                                             s.ids[i++ % kDraws],
                                             3,
                                             &buffer,
                                             sizeof out,
                                             LEXMSG_ARG_INT,
                                             42,
                                             LEXMSG_ARG_CHARP,
                                             kName,
                                             LEXMSG_ARG_UINT,
                                             3000000000u);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_lexmsg_lgetMessageW_mf_prepared_list(benchmark::State& state) {
    Setup& s = setup();
    lexmsg_arg_list* args = lexmsg_arg_list_new();
    lexmsg_arg_list_add_int(args, 42);
    lexmsg_arg_list_add_charp(args, kName);
    lexmsg_arg_list_add_uint(args, 3000000000u);
    lexmsg_wchar out[256];
    size_t i = 0;
    for (auto _ : state) {
        lexmsg_wchar* buffer = out;
        const int rc = lexmsg_lgetMessageW_mf(s.wide, s.ids[i++ % kDraws], &buffer, sizeof out, args);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    lexmsg_arg_list_free(args);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void BM_glibc_dgettext_snprintf(benchmark::State& state) {
    Setup& s = setup();
    char out[256];
    size_t i = 0;
    for (auto _ : state) {
        const char* format = dgettext("bench", s.keys[s.ids[i++ % kDraws]].c_str());
        const int n = std::snprintf(out, sizeof out, format, 42, kName, 3000000000u);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
#pragma GCC diagnostic pop

void BM_lexmsg_initA_mf_10000_messages(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        lexmsg_handle* handle = nullptr;
        if (lexmsg_initA_mf(s.load_path.c_str(), &handle) != 0) state.SkipWithError("load failed");
        lexmsg_cleanupA_mf(handle);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * le32(s.load_catalog, 32));
}

void BM_lexmsg_init_rawA_mf_10000_messages(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        lexmsg_handle* handle = nullptr;
        if (lexmsg_init_rawA_mf(s.load_catalog.data(), static_cast<uint32_t>(s.load_catalog.size()), &handle) != 0) {
            state.SkipWithError("load failed");
        }
        lexmsg_cleanupA_mf(handle);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * le32(s.load_catalog, 32));
}

// zlib alone: inflating the narrow section's stream, already in memory, into
// a block of its expanded size allocated for each run.
void BM_zlib_inflate_section_10000_messages(benchmark::State& state) {
    Setup& s = setup();
    const uint32_t offset = le32(s.load_catalog, 24);
    const uint32_t stored = le32(s.load_catalog, 28);
    const uint32_t expanded = le32(s.load_catalog, 32);
    for (auto _ : state) {
        auto* out = static_cast<Bytef*>(std::malloc(expanded));
        uLongf length = expanded;
        if (out == nullptr || uncompress(out, &length, s.load_catalog.data() + offset, stored) != Z_OK) {
            state.SkipWithError("inflate failed");
        }
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * expanded);
}

}  // namespace

BENCHMARK(BM_lexmsg_lgetMessageA_mf_prepared_list);
BENCHMARK(BM_lexmsg_getMessageA_mf_variadic);
BENCHMARK(BM_lexmsg_lgetMessageW_mf_prepared_list);
BENCHMARK(BM_glibc_dgettext_snprintf);
BENCHMARK(BM_lexmsg_initA_mf_10000_messages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_lexmsg_init_rawA_mf_10000_messages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_zlib_inflate_section_10000_messages)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
