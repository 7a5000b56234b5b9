// Loading sections from files and memory, and finding embedded catalogs:
// good catalogs, every -1 and -3 path, and markers around window boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "catalog_fixture.h"
#include "catalog_loader.h"
#include "lexmsg.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg::Section;
using lexmsg_test::Bytes;
using lexmsg_test::TempFile;
using lexmsg_test::get32;
using lexmsg_test::set32;

const std::vector<lexmsg_test::Authored> kMessages = {{1, "one %1"}, {4, "four"}};

class Loader : public ::testing::Test {
protected:
    HeapWatch heap_;  // normal allocation again after every test

    // Loads a section of the bytes through a file at base 0.
    static int load_file(const Bytes& bytes, Section which, lexmsg::LoadedSection* out, uint64_t base = 0) {
        TempFile file("loader_test.cat", bytes);
        lexmsg::StdioFile f(std::fopen(file.path(), "rb"));
        return lexmsg::load_section_from_file(&f, base, which, out);
    }
};

TEST_F(Loader, BothSectionsFromFileAndMemory) {
    const Bytes catalog = lexmsg_test::both_catalog(kMessages);
    for (Section which : {Section::wide, Section::narrow}) {
        const Bytes expected =
            which == Section::wide ? lexmsg_test::wide_section(kMessages) : lexmsg_test::narrow_section(kMessages);
        lexmsg::LoadedSection loaded{};
        ASSERT_EQ(load_file(catalog, which, &loaded), 0);
        EXPECT_EQ(Bytes(loaded.data, loaded.data + loaded.size), expected);
        EXPECT_EQ(loaded.highest_id, 4u);
        lexmsg::mem_free(loaded.data);

        ASSERT_EQ(
            lexmsg::load_section_from_memory(catalog.data(), static_cast<uint32_t>(catalog.size()), which, &loaded), 0);
        EXPECT_EQ(Bytes(loaded.data, loaded.data + loaded.size), expected);
        lexmsg::mem_free(loaded.data);
    }
}

// A catalog with its narrow section changed by mutate.
template <class Mutate>
Bytes mutated(Mutate mutate) {
    Bytes catalog = lexmsg_test::narrow_catalog(kMessages);
    mutate(catalog);
    return catalog;
}

struct BrokenCase {
    const char* name;
    Bytes catalog;
    int file_rc;
    int memory_rc;
};

TEST_F(Loader, BrokenCatalogs) {
    const Bytes good = lexmsg_test::narrow_catalog(kMessages);
    const uint32_t expanded = get32(good, 32);
    const BrokenCase cases[] = {
        {"header of 35 bytes", Bytes(good.begin(), good.begin() + 35), LEXMSG_E_MALFORMED, LEXMSG_E_MALFORMED},
        {"wrong magic", mutated([](Bytes& c) { c[1] = 'z'; }), LEXMSG_E_MALFORMED, LEXMSG_E_MALFORMED},
        {"section absent", mutated([](Bytes& c) { set32(&c, 24, 0); }), LEXMSG_E_MALFORMED, LEXMSG_E_MALFORMED},
        {"stream truncated", Bytes(good.begin(), good.end() - 6), LEXMSG_E_FAIL, LEXMSG_E_MALFORMED},
        {"stored size beyond the image",
         mutated([](Bytes& c) { set32(&c, 28, get32(c, 28) + 1); }),
         0,
         LEXMSG_E_MALFORMED},
        {"expands to more than stated",
         mutated([&](Bytes& c) { set32(&c, 32, expanded - 1); }),
         LEXMSG_E_FAIL,
         LEXMSG_E_FAIL},
        {"expands to less than stated",
         mutated([&](Bytes& c) { set32(&c, 32, expanded + 1); }),
         LEXMSG_E_FAIL,
         LEXMSG_E_FAIL},
        {"corrupt deflate data",
         mutated([](Bytes& c) {
             c[40] ^= 0xFF;
             c[41] ^= 0x55;
         }),
         LEXMSG_E_FAIL,
         LEXMSG_E_FAIL},
        {"raw deflate without zlib header",
         mutated([](Bytes& c) { c.erase(c.begin() + 36, c.begin() + 38); }),
         LEXMSG_E_FAIL,
         LEXMSG_E_MALFORMED},
        {"section offset beyond the file",
         mutated([](Bytes& c) { set32(&c, 24, 100000); }),
         LEXMSG_E_FAIL,
         LEXMSG_E_MALFORMED},
        {"expanded size no stream could reach",
         mutated([](Bytes& c) { set32(&c, 32, 0xFFFFFFF0u); }),
         LEXMSG_E_FAIL,
         LEXMSG_E_FAIL},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        lexmsg::LoadedSection loaded{};
        const int file_rc = load_file(c.catalog, Section::narrow, &loaded);
        EXPECT_EQ(file_rc, c.file_rc);
        if (file_rc == 0) lexmsg::mem_free(loaded.data);
        const int memory_rc = lexmsg::load_section_from_memory(
            c.catalog.data(), static_cast<uint32_t>(c.catalog.size()), Section::narrow, &loaded);
        EXPECT_EQ(memory_rc, c.memory_rc);
        if (memory_rc == 0) lexmsg::mem_free(loaded.data);
    }
}

TEST_F(Loader, BytesAfterTheStreamAreIgnored) {
    Bytes catalog = lexmsg_test::narrow_catalog(kMessages);
    catalog.insert(catalog.end(), 5000, 0xAB);
    lexmsg::LoadedSection loaded{};
    ASSERT_EQ(load_file(catalog, Section::narrow, &loaded), 0);
    lexmsg::mem_free(loaded.data);
}

TEST_F(Loader, AllocationFailureOfTheSection) {
    const Bytes catalog = lexmsg_test::narrow_catalog(kMessages);
    lexmsg::LoadedSection loaded{};
    heap_.fail_at(0, true);
    EXPECT_EQ(load_file(catalog, Section::narrow, &loaded), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg::load_section_from_memory(
                  catalog.data(), static_cast<uint32_t>(catalog.size()), Section::narrow, &loaded),
              LEXMSG_E_FAIL);
    EXPECT_EQ(heap_.live_blocks(), 0u);
}

TEST_F(Loader, SectionAtABaseOffset) {
    Bytes host(777, 'h');
    const Bytes catalog = lexmsg_test::narrow_catalog(kMessages);
    host.insert(host.end(), catalog.begin(), catalog.end());
    lexmsg::LoadedSection loaded{};
    ASSERT_EQ(load_file(host, Section::narrow, &loaded, 777), 0);
    EXPECT_EQ(loaded.highest_id, 4u);
    lexmsg::mem_free(loaded.data);
    EXPECT_EQ(load_file(host, Section::narrow, &loaded, 776), LEXMSG_E_MALFORMED);
}

// The marker for name at offset marker_at in a host of size bytes of filler,
// with the catalog header gap bytes after the name's zero byte.
Bytes host_with_marker(size_t size, size_t marker_at, const std::string& name, size_t gap) {
    Bytes host(size, 'x');
    const std::string marker = "ZRR:" + name + std::string(1, '\0') + std::string(gap, 'g') + std::string("\0ZRR", 4);
    host.resize(std::max(size, marker_at + marker.size()));
    std::copy(marker.begin(), marker.end(), host.begin() + static_cast<long>(marker_at));
    host.resize(size);  // a marker may run past the end of the file
    return host;
}

uint64_t search(const Bytes& host, const char* name) {
    TempFile file("embedded_search.bin", host);
    lexmsg::StdioFile f(std::fopen(file.path(), "rb"));
    return lexmsg::find_embedded_catalog(&f, name);
}

struct SearchCase {
    const char* name;
    size_t host_size;
    size_t marker_at;
    size_t gap;
    bool found;
};

TEST(EmbeddedSearch, MarkersAcrossWindows) {
    const std::string name = "module.exe";  // the marker with its name and zero takes 15 bytes
    const SearchCase cases[] = {
        {"at the start", 200, 0, 0, true},
        {"header right after the name", 5000, 100, 0, true},
        {"header 63 bytes after the name", 5000, 100, 63, true},
        {"header 64 bytes after the name", 5000, 100, 64, false},
        {"last start position of the first window", 9000, 3071, 0, true},
        {"first start of the second window", 9000, 3072, 0, true},
        {"straddling the first 3072-byte step", 9000, 3070, 10, true},
        {"straddling the end of the first 4096 bytes", 9000, 4090, 0, true},
        {"in the third window", 12000, 6143 + 1000, 5, true},
        {"straddling the second step", 12000, 6140, 0, true},
        {"near the end of a short last window", 7000, 6960, 0, true},
        {"beyond 3071 in a host shorter than one window", 3600, 3500, 0, true},
        {"in the tail of a host of exactly 4096 bytes", 4096, 3500, 0, true},
        {"in the tail of a host of exactly two windows", 7168, 6500, 0, true},
        {"header cut off by the end of the file", 6000, 5990, 0, false},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes host = host_with_marker(c.host_size, c.marker_at, name, c.gap);
        const uint64_t expected = c.found ? c.marker_at + 4 + name.size() + 1 + c.gap : 0;
        EXPECT_EQ(search(host, name.c_str()), expected);
    }
}

TEST(EmbeddedSearch, NameRules) {
    const Bytes host = host_with_marker(3000, 500, "lexmsg.dl", 0);
    EXPECT_EQ(search(host, "lexmsg.dll"), 0u) << "a proper prefix of the name does not match";
    EXPECT_EQ(search(host, "lexmsg.d"), 0u) << "the name's zero byte is compared too";
    EXPECT_EQ(search(host, "lexmsg.dl"), 514u);
    EXPECT_EQ(search(host, "LEXMSG.DL"), 0u) << "names match case-sensitively";
    EXPECT_EQ(search(host, ""), 0u);
}

TEST(EmbeddedSearch, FirstMarkerWithAHeaderWins) {
    Bytes host = host_with_marker(4000, 2000, "a.exe", 0);
    // An earlier marker without a header in its gap is passed over.
    const Bytes lone = {'Z', 'R', 'R', ':', 'a', '.', 'e', 'x', 'e', 0};
    std::copy(lone.begin(), lone.end(), host.begin() + 100);
    EXPECT_EQ(search(host, "a.exe"), 2010u);
}

TEST(EmbeddedSearch, EmptyHost) { EXPECT_EQ(search(Bytes(), "a.exe"), 0u); }

}  // namespace
