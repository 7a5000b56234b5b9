// The variadic and va_list message forms on explicit handles: they build a
// temporary list from (tag, value) pairs and give the list form's results.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "catalog_fixture.h"
#include "lexmsg.h"
#include "memory.h"
#include "heap_watch.h"

namespace {

using lexmsg_test::Bytes;
using lexmsg_test::Handle;
using lexmsg_test::TempFile;
using lexmsg_test::Text;
using lexmsg_test::WideText;

int v_narrow(const lexmsg_handle* h, uint32_t id, unsigned count, char** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageA_mf(h, id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

int v_wide(const lexmsg_handle* h, uint32_t id, unsigned count, lexmsg_wchar** buffer, uint32_t size, ...) {
    va_list pairs;
    va_start(pairs, size);
    const int rc = lexmsg_vgetMessageW_mf(h, id, count, buffer, size, pairs);
    va_end(pairs);
    return rc;
}

std::u16string u16(const lexmsg_wchar* text) {
    std::u16string out;
    for (; *text != 0; ++text) out.push_back(static_cast<char16_t>(*text));
    return out;
}

class MessageFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes catalog = lexmsg_test::both_catalog({{1, "%1 is %2 (%3)"}, {2, "plain"}});
        ASSERT_EQ(lexmsg_init_rawA_mf(catalog.data(), static_cast<uint32_t>(catalog.size()), narrow_.out()), 0);
        TempFile file("message_functions_test.cat", catalog);
        ASSERT_EQ(lexmsg_initW_mf(file.path(), wide_.out()), 0);
    }
    HeapWatch heap_;  // normal allocation again after every test

    Handle narrow_;
    Handle wide_;
};

TEST_F(MessageFunctions, VariadicAndVaListForms) {
    const lexmsg_wchar name[] = {'K', 'i', 0};
    char* a = nullptr;
    ASSERT_EQ(lexmsg_getMessageA_mf(
                  narrow_.get(), 1, 3, &a, 0, LEXMSG_ARG_CHARP, "x", LEXMSG_ARG_UINT, 7u, LEXMSG_ARG_CHAR, 'c'),
              0);
    Text a_owned(a);
    EXPECT_STREQ(a, "x is 7 (c)");

    char* b = nullptr;
    ASSERT_EQ(
        v_narrow(narrow_.get(), 1, 3, &b, 0, LEXMSG_ARG_LONG, -1L, LEXMSG_ARG_ULONG, 2UL, LEXMSG_ARG_WCHARP, name), 0);
    Text b_owned(b);
    EXPECT_STREQ(b, "-1 is 2 (Ki)");

    lexmsg_wchar* w = nullptr;
    ASSERT_EQ(lexmsg_getMessageW_mf(
                  wide_.get(), 1, 3, &w, 0, LEXMSG_ARG_WCHAR, 0x20AC, LEXMSG_ARG_INT, 5, LEXMSG_ARG_WCHARP, name),
              0);
    WideText w_owned(w);
    EXPECT_EQ(u16(w), u"\u20AC is 5 (Ki)");

    lexmsg_wchar* x = nullptr;
    ASSERT_EQ(v_wide(wide_.get(), 1, 2, &x, 0, LEXMSG_ARG_CHARP, "s", LEXMSG_ARG_INT, 5), LEXMSG_E_ARG_COUNT);
    WideText x_owned(x);
    EXPECT_EQ(u16(x), u"s is 5 ()");
}

TEST_F(MessageFunctions, ResultsOfTheListForm) {
    char* a = nullptr;
    EXPECT_EQ(lexmsg_getMessageA_mf(narrow_.get(), 2, 1, &a, 0, 42), LEXMSG_E_ARG) << "tag 42 cannot be rendered";
    EXPECT_EQ(lexmsg_getMessageA_mf(wide_.get(), 2, 0, &a, 0), LEXMSG_E_HANDLE);
    char small[1];
    char* into = small;
    EXPECT_EQ(lexmsg_getMessageA_mf(narrow_.get(), 2, 0, &into, 1), 6) << "needed size";
    EXPECT_EQ(a, nullptr);
    heap_.fail_at(0, true);
    EXPECT_EQ(lexmsg_getMessageA_mf(narrow_.get(), 2, 0, &a, 0), LEXMSG_E_FAIL) << "no memory for the list";
    lexmsg_wchar* w = nullptr;
    EXPECT_EQ(lexmsg_getMessageW_mf(wide_.get(), 2, 0, &w, 0), LEXMSG_E_FAIL);
}

}  // namespace
