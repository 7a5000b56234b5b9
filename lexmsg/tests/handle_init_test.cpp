// Every initialiser and cleanup on explicit handles: files by 8-bit and wide
// paths, embedded catalogs, memory images, missing sections and failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalog_fixture.h"
#include "handle.h"
#include "lexmsg.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg_test::Bytes;
using lexmsg_test::Handle;
using lexmsg_test::TempFile;
using lexmsg_test::Text;
using lexmsg_test::widen;

const std::vector<lexmsg_test::Authored> kMessages = {{1, "first"}, {2, "second %1"}};

lexmsg_handle* const kUntouched = reinterpret_cast<lexmsg_handle*>(uintptr_t{0x1234});

class HandleInit : public ::testing::Test {
protected:
    HeapWatch heap_;  // normal allocation again after every test
};

std::string narrow_text(const lexmsg_handle* h, uint32_t id) {
    char* buffer = nullptr;
    const int rc = lexmsg_lgetMessageA_mf(h, id, &buffer, 0, nullptr);
    Text owned(buffer);
    return rc == 0 || rc == LEXMSG_E_ARG_COUNT ? std::string(buffer) : "rc " + std::to_string(rc);
}

TEST_F(HandleInit, FileInitialisersChooseTheirSection) {
    TempFile both("both.cat", lexmsg_test::both_catalog(kMessages));
    TempFile narrow_only("narrow_only.cat", lexmsg_test::narrow_catalog(kMessages));
    TempFile wide_only("wide_only.cat", lexmsg_test::wide_catalog(kMessages));
    struct Case {
        const char* name;
        int (*init)(const char*, lexmsg_handle**);
        const TempFile& file;
        int rc;
        uint32_t kind;
    } cases[] = {
        {"initW, both", lexmsg_initW_mf, both, 0, 1},
        {"initA, both", lexmsg_initA_mf, both, 0, 2},
        {"initW, narrow only", lexmsg_initW_mf, narrow_only, LEXMSG_E_MALFORMED, 0},
        {"initA, narrow only", lexmsg_initA_mf, narrow_only, 0, 2},
        {"initW, wide only", lexmsg_initW_mf, wide_only, 0, 1},
        {"initA, wide only", lexmsg_initA_mf, wide_only, LEXMSG_E_MALFORMED, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Handle h;
        *h.out() = kUntouched;
        ASSERT_EQ(c.init(c.file.path(), h.out()), c.rc);
        if (c.rc != 0) {
            EXPECT_EQ(h.get(), nullptr) << "a failed load stores a null handle";
            continue;
        }
        EXPECT_EQ(h.get()->kind, c.kind);
        EXPECT_EQ(h.get()->highest_id, 2u);
    }
}

TEST_F(HandleInit, MissingFileLeavesTheHandleOutAlone) {
    lexmsg_handle* h = kUntouched;
    EXPECT_EQ(lexmsg_initW_mf("no_such_file.cat", &h), LEXMSG_E_OPEN);
    EXPECT_EQ(lexmsg_initA_mf("no_such_file.cat", &h), LEXMSG_E_OPEN);
    const auto missing = widen(u"no_such_file.cat");
    EXPECT_EQ(lexmsg_wcsinitW_mf(missing.c_str(), &h), LEXMSG_E_OPEN);
    EXPECT_EQ(lexmsg_wcsinitA_mf(missing.c_str(), &h), LEXMSG_E_OPEN);
    EXPECT_EQ(lexmsg_initembA_mf("m.exe", "no_such_host.bin", &h, 0), LEXMSG_E_OPEN);
    EXPECT_EQ(h, kUntouched);
}

TEST_F(HandleInit, WidePathsOutsideAscii) {
    // The file is created under the name that the UTF-16 path stands for.
    const std::filesystem::path name = std::filesystem::u8path("cat\xC3\xA1logo_\xE2\x82\xAC.cat");
    const Bytes catalog = lexmsg_test::both_catalog(kMessages);
    {
        std::ofstream out(name, std::ios::binary);
        ASSERT_TRUE(out.good());
        out.write(reinterpret_cast<const char*>(catalog.data()), static_cast<std::streamsize>(catalog.size()));
    }
    const auto wide_name = widen(u"cat\u00E1logo_\u20AC.cat");
    Handle w;
    Handle a;
    EXPECT_EQ(lexmsg_wcsinitW_mf(wide_name.c_str(), w.out()), 0);
    EXPECT_EQ(lexmsg_wcsinitA_mf(wide_name.c_str(), a.out()), 0);
    EXPECT_EQ(narrow_text(a.get(), 1), "first");
    // With no memory the wide initialisers report a code: where the path is
    // converted to UTF-8 the file cannot be opened, where it is not the
    // section finds no memory. Nothing is thrown across the C interface.
    for (int wide_section = 0; wide_section < 2; ++wide_section) {
        Handle none;
        heap_.fail_at(0, true);
        const int rc = wide_section ? lexmsg_wcsinitW_mf(wide_name.c_str(), none.out())
                                    : lexmsg_wcsinitA_mf(wide_name.c_str(), none.out());
        heap_.fail_at(-1);
        EXPECT_TRUE(rc == LEXMSG_E_OPEN || rc == LEXMSG_E_FAIL) << rc;
        EXPECT_EQ(none.get(), nullptr);
    }
    std::filesystem::remove(name);

    const lexmsg_wchar lone_surrogate[] = {0xD800, 'x', 0};
    lexmsg_handle* untouched = kUntouched;
    EXPECT_EQ(lexmsg_wcsinitA_mf(lone_surrogate, &untouched), LEXMSG_E_OPEN);
    EXPECT_EQ(untouched, kUntouched);
}

TEST_F(HandleInit, MemoryImages) {
    const Bytes catalog = lexmsg_test::both_catalog(kMessages);
    Handle h;
    *h.out() = kUntouched;
    EXPECT_EQ(lexmsg_init_rawA_mf(nullptr, 100, h.out()), LEXMSG_E_MALFORMED);
    EXPECT_EQ(lexmsg_init_rawA_mf(catalog.data(), 35, h.out()), LEXMSG_E_MALFORMED);
    Bytes bad_magic = catalog;
    bad_magic[0] = 1;
    EXPECT_EQ(lexmsg_init_rawA_mf(bad_magic.data(), static_cast<uint32_t>(bad_magic.size()), h.out()),
              LEXMSG_E_MALFORMED);
    EXPECT_EQ(h.get(), kUntouched) << "checked before anything else";

    Bytes copy = catalog;
    ASSERT_EQ(lexmsg_init_rawA_mf(copy.data(), static_cast<uint32_t>(copy.size()), h.out()), 0);
    copy.assign(copy.size(), 0);  // the image is not referenced afterwards
    EXPECT_EQ(narrow_text(h.get(), 2), "second ");

    Handle cut;
    EXPECT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size() - 1), cut.out()),
              LEXMSG_E_MALFORMED);
    EXPECT_EQ(cut.get(), nullptr);
    const Bytes wide_only = lexmsg_test::wide_catalog(kMessages);
    EXPECT_EQ(lexmsg_init_rawA_mf(wide_only.data(), static_cast<uint32_t>(wide_only.size()), cut.out()),
              LEXMSG_E_MALFORMED);
}

// A host file with the catalog embedded behind the marker for name.
Bytes host_with(const std::string& name, const Bytes& catalog, size_t filler) {
    Bytes host(filler, 0x90);
    const std::string marker = "ZRR:" + name;
    host.insert(host.end(), marker.begin(), marker.end());
    host.push_back(0);
    host.insert(host.end(), catalog.begin(), catalog.end());
    host.insert(host.end(), 300, 0xCC);
    return host;
}

TEST_F(HandleInit, EmbeddedCatalogs) {
    const Bytes catalog = lexmsg_test::narrow_catalog(kMessages);
    TempFile host("host.bin", host_with("tool.exe", catalog, 5000));
    Handle h;
    ASSERT_EQ(lexmsg_initembA_mf("C:\\Program Files\\Ostrel\\tool.exe", host.path(), h.out(), 77), 0);
    EXPECT_EQ(narrow_text(h.get(), 1), "first");
    Handle plain;
    ASSERT_EQ(lexmsg_initembA_mf("tool.exe", host.path(), plain.out(), 0), 0) << "no backslash: the whole path";

    Handle other;
    *other.out() = kUntouched;
    EXPECT_EQ(lexmsg_initembA_mf("C:\\other.exe", host.path(), other.out(), 0), LEXMSG_E_MALFORMED)
        << "no marker: the host is read as a catalog from its first byte";
    EXPECT_EQ(other.get(), nullptr);

    // A path ending in a backslash has an empty name: the host must itself be a catalog.
    TempFile bare("bare.cat", catalog);
    Handle empty_name;
    EXPECT_EQ(lexmsg_initembA_mf("C:\\dir\\", bare.path(), empty_name.out(), 0), 0);
    Handle empty_name_host;
    EXPECT_EQ(lexmsg_initembA_mf("C:\\dir\\", host.path(), empty_name_host.out(), 0), LEXMSG_E_MALFORMED);
}

// A host that never ends is not searched for ever: /dev/zero has no size,
// so it is read as a catalog from its first byte, which has no magic.
TEST_F(HandleInit, EmbeddedSearchOfAHostWithoutEnd) {
    if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero on this system";
    Handle h;
    *h.out() = kUntouched;
    EXPECT_EQ(lexmsg_initembA_mf("C:\\dir\\tool.exe", "/dev/zero", h.out(), 0), LEXMSG_E_MALFORMED);
    EXPECT_EQ(h.get(), nullptr);
}

TEST_F(HandleInit, CleanupChecksTheKind) {
    const Bytes catalog = lexmsg_test::both_catalog(kMessages);
    lexmsg_handle* narrow = nullptr;
    ASSERT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), &narrow), 0);
    EXPECT_EQ(lexmsg_cleanupW_mf(narrow), LEXMSG_E_HANDLE);
    EXPECT_EQ(narrow_text(narrow, 1), "first") << "still usable";
    EXPECT_EQ(lexmsg_cleanupW_mf(nullptr), LEXMSG_E_HANDLE);
    EXPECT_EQ(lexmsg_cleanupA_mf(nullptr), LEXMSG_E_HANDLE);
    lexmsg_handle no_section = {2, nullptr, 0, 0};
    EXPECT_EQ(lexmsg_cleanupA_mf(&no_section), LEXMSG_E_HANDLE);
    char* buffer = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageA_mf(&no_section, 1, &buffer, 0, nullptr), LEXMSG_E_HANDLE);
    EXPECT_EQ(lexmsg_cleanupA_mf(narrow), 0);
}

TEST_F(HandleInit, AllocationFailures) {
    const Bytes catalog = lexmsg_test::both_catalog(kMessages);
    TempFile file("alloc.cat", catalog);
    // The section block, then the handle record.
    for (long successes : {0L, 1L}) {
        SCOPED_TRACE(successes);
        Handle h;
        heap_.fail_at(successes, true);
        EXPECT_EQ(lexmsg_initA_mf(file.path(), h.out()), LEXMSG_E_FAIL);
        EXPECT_EQ(h.get(), nullptr);
        heap_.fail_at(successes, true);
        EXPECT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), h.out()), LEXMSG_E_FAIL);
        EXPECT_EQ(h.get(), nullptr);
        EXPECT_EQ(heap_.live_blocks(), 0u);
        heap_.fail_at(-1);
    }
}

TEST_F(HandleInit, FreeAcceptsNull) { lexmsg_free(nullptr); }

TEST_F(HandleInit, NullHandleOut) {
    TempFile file("nullout.cat", lexmsg_test::both_catalog(kMessages));
    EXPECT_EQ(lexmsg_initA_mf(file.path(), nullptr), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_initW_mf(nullptr, nullptr), LEXMSG_E_FAIL);
}

}  // namespace
