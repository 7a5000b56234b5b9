// The process-wide slots: their state machine through every plain
// initialiser and cleanup, and the plain message functions on them.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "catalog_fixture.h"
#include "lexmsg.h"

namespace {

using lexmsg_test::Bytes;
using lexmsg_test::TempFile;
using lexmsg_test::Text;
using lexmsg_test::WideText;
using lexmsg_test::widen;

int v_narrow(uint32_t id, unsigned count, char** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageA(id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

int v_wide(uint32_t id, unsigned count, lexmsg_wchar** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageW(id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

// Every test leaves both slots empty.
class DefaultSlots : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(lexmsg_cleanupW(), LEXMSG_E_FAIL);
        ASSERT_EQ(lexmsg_cleanupA(), LEXMSG_E_FAIL);
    }
    void TearDown() override {
        lexmsg_cleanupW();
        lexmsg_cleanupA();
    }

    TempFile both_{"slots_both.cat", lexmsg_test::both_catalog({{1, "one %1"}, {2, "two"}})};
    TempFile other_{"slots_other.cat", lexmsg_test::both_catalog({{1, "uno %1"}, {2, "dos"}})};
    TempFile narrow_only_{"slots_narrow.cat", lexmsg_test::narrow_catalog({{1, "n %1"}})};
};

// An ASCII path as UTF-16.
std::u16string ascii16(const char* path) { return std::u16string(path, path + std::strlen(path)); }

std::string narrow_message(uint32_t id) {
    char* buffer = nullptr;
    const int rc = lexmsg_getMessageA(id, 1, &buffer, 0, LEXMSG_ARG_INT, 5);
    Text owned(buffer);
    return rc == 0 ? std::string(buffer) : "rc " + std::to_string(rc);
}

TEST_F(DefaultSlots, WideSlotStateMachine) {
    lexmsg_wchar* w = nullptr;
    EXPECT_EQ(lexmsg_getMessageW(2, 0, &w, 0), LEXMSG_E_FAIL) << "before initialisation";
    EXPECT_EQ(lexmsg_initW(narrow_only_.path()), LEXMSG_E_MALFORMED);
    EXPECT_EQ(lexmsg_cleanupW(), LEXMSG_E_FAIL) << "a failed initialisation leaves the slot empty";
    ASSERT_EQ(lexmsg_initW(both_.path()), 0);
    EXPECT_EQ(lexmsg_initW(other_.path()), LEXMSG_E_FAIL);
    const auto other_wide = widen(ascii16(other_.path()));
    EXPECT_EQ(lexmsg_wcsinitW(other_wide.c_str()), LEXMSG_E_FAIL);

    // The first catalog stays in use, through every plain W form.
    ASSERT_EQ(lexmsg_getMessageW(1, 1, &w, 0, LEXMSG_ARG_INT, 5), 0);
    WideText a(w);
    EXPECT_EQ(std::u16string(w, w + 5), u"one 5");
    lexmsg_wchar* x = nullptr;
    ASSERT_EQ(v_wide(2, 0, &x, 0), 0);
    WideText b(x);
    lexmsg_wchar* y = nullptr;
    ASSERT_EQ(lexmsg_lgetMessageW(1, &y, 0, nullptr), LEXMSG_E_ARG_COUNT);
    WideText c(y);
    EXPECT_EQ(lexmsg_lgetMessageW(7, &y, 0, nullptr), LEXMSG_E_NO_MESSAGE);

    EXPECT_EQ(lexmsg_cleanupW(), 0);
    EXPECT_EQ(lexmsg_cleanupW(), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_lgetMessageW(1, &y, 0, nullptr), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_wcsinitW(other_wide.c_str()), 0) << "initialised again after its cleanup";
}

TEST_F(DefaultSlots, NarrowSlotStateMachine) {
    EXPECT_EQ(lexmsg_initA("slots_missing.cat"), LEXMSG_E_OPEN);
    ASSERT_EQ(lexmsg_initA(both_.path()), 0) << "the slot stayed empty";
    EXPECT_EQ(narrow_message(1), "one 5");
    EXPECT_EQ(lexmsg_initA(other_.path()), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_initembA("x.exe", other_.path(), 0), LEXMSG_E_FAIL);
    EXPECT_EQ(narrow_message(1), "one 5");
    char small[2];
    char* buffer = small;
    EXPECT_EQ(v_narrow(2, 0, &buffer, 2), 4) << "needed size";
    EXPECT_EQ(lexmsg_lgetMessageA(2, &buffer, 2, nullptr), 4);
    EXPECT_EQ(lexmsg_cleanupA(), 0);

    const auto wide_path = widen(ascii16(other_.path()));
    ASSERT_EQ(lexmsg_wcsinitA(wide_path.c_str()), 0);
    EXPECT_EQ(narrow_message(1), "uno 5");
    EXPECT_EQ(lexmsg_cleanupA(), 0);

    ASSERT_EQ(lexmsg_initembA("C:\\dir\\", narrow_only_.path(), 0), 0) << "empty name: the host is the catalog";
    EXPECT_EQ(narrow_message(1), "n 5");
    EXPECT_EQ(lexmsg_cleanupA(), 0);
    EXPECT_EQ(narrow_message(1), "rc -1");
}

TEST_F(DefaultSlots, SlotsAreIndependent) {
    ASSERT_EQ(lexmsg_initA(both_.path()), 0);
    lexmsg_wchar* w = nullptr;
    EXPECT_EQ(lexmsg_lgetMessageW(2, &w, 0, nullptr), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_cleanupW(), LEXMSG_E_FAIL);
    EXPECT_EQ(lexmsg_cleanupA(), 0);
}

}  // namespace
