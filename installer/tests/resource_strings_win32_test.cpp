// The string table built into the test program, as the program carries it,
// read through the Windows resource functions; the refusal text composed
// by the C runtime's formatting.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "not_authentic.h"
#include "platform_win32.h"
#include "resource_strings.h"

namespace {

TEST(ResourceStringsWin32, GivesEveryTextExactlyAndEmptyForIdsWithout) {
    installer::Win32Platform platform;
    for (const auto& [id, text] : fake::ProductStrings()) {
        EXPECT_EQ(installer::LoadResourceString(platform, id), text) << id;
    }
    for (unsigned id : {100u, 107u, 96u, 111u, 1u}) {
        EXPECT_EQ(installer::LoadResourceString(platform, id), L"") << id;
    }
}

TEST(ResourceStringsWin32, ComposesTheRefusalWithTheFileName) {
    installer::Win32Platform platform;
    for (const wchar_t* name : {L"zrfetchpad.exe", L"Uninstall.vbs"}) {
        std::wstring text;
        ASSERT_TRUE(installer::ComposeNotAuthentic(platform, name, &text)) << name;
        EXPECT_EQ(text,
                  L"No ha sido posible comprobar la autenticidad del archivo " + std::wstring(name) +
                      L". No es posible iniciar Ostrel Sweepkit.");
    }
}

}  // namespace
