// Desktop shortcut paths and the shell link writer against the fake
// platform: the joins, the COM calls in order, and their release on every
// path.
#include "shortcuts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace {

using fake::Call;

struct PathCase {
    const char* label;
    std::wstring desktop;
    const wchar_t* baseName;  // text 103; null: the table lacks it
    std::wstring expected;
};

TEST(DesktopShortcutPath, JoinsTheDesktopFolderAndTheTextWithLnk) {
    const std::wstring longFolder = L"C:\\" + std::wstring(250, L'd');
    const PathCase cases[] = {
        {"product",
         L"C:\\users\\tester\\Desktop",
         L"Ostrel Sweepkit",
         L"C:\\users\\tester\\Desktop\\Ostrel Sweepkit.lnk"},
        {"folder ends with a backslash", L"C:\\Desktop\\", L"Ostrel Sweepkit", L"C:\\Desktop\\Ostrel Sweepkit.lnk"},
        {"name begins with a backslash", L"C:\\Desktop", L"\\X", L"C:\\Desktop\\X.lnk"},
        {"text missing", L"C:\\Desktop", nullptr, L"C:\\Desktop\\.lnk"},
        {"cut at 259 characters",
         longFolder,
         L"Ostrel Sweepkit",
         (longFolder + L"\\Ostrel Sweepkit.lnk").substr(0, 259)},
    };
    for (const PathCase& c : cases) {
        fake::FakePlatform platform;
        platform.desktopDirectory = c.desktop;
        if (c.baseName == nullptr) {
            platform.RemoveString(103);
        } else {
            platform.SetString(103, c.baseName);
        }
        EXPECT_EQ(installer::DesktopShortcutPath(platform, 103), c.expected) << c.label;
        EXPECT_EQ(platform.calls.front(), (Call{"SHGetSpecialFolderPathW", L"null, 16, FALSE"})) << c.label;
    }
}

TEST(DesktopShortcutPath, AFolderThatCannotBeLookedUpGivesAnEmptyPath) {
    fake::FakePlatform platform;
    platform.Fail("SHGetSpecialFolderPathW");
    EXPECT_EQ(installer::DesktopShortcutPath(platform, 104), L"");
}

const wchar_t kTarget[] = L"C:\\P\\zrfetchpad.exe";
const wchar_t kIcon[] = L"C:\\P\\sweepkit.ico";
const wchar_t kLink[] = L"C:\\D\\Ostrel Sweepkit.lnk";

TEST(CreateShortcut, SetsTargetAndIconSavesAndReleasesInOrder) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::CreateShortcut(platform, nullptr, kIcon, kTarget, kLink), installer::kOk);
    EXPECT_EQ(platform.calls,
              (std::vector<Call>{
                  {"CoInitialize", L"null"},
                  {"CoCreateInstance", L"null, 1"},
                  {"ShellLinkSetPath", kTarget},
                  {"ShellLinkSetIconLocation", std::wstring(kIcon) + L", 0"},
                  {"QueryInterface", L"IPersistFile"},
                  {"PersistFileSave", std::wstring(kLink) + L", TRUE"},
                  {"Release", L"IPersistFile"},
                  {"Release", L"IShellLinkW"},
                  {"CoUninitialize", L""},
              }));
    ASSERT_EQ(platform.files.count(kLink), 1u);
    const fake::Shortcut& saved = platform.files[kLink];
    EXPECT_EQ(saved.target, kTarget);
    EXPECT_EQ(saved.icon, kIcon);
    EXPECT_EQ(saved.iconIndex, 0);
    EXPECT_FALSE(saved.arguments.has_value()) << "arguments were set at all";
}

TEST(CreateShortcut, SetsOnlyTheValuesGiven) {
    fake::FakePlatform platform;
    installer::CreateShortcut(platform, L"/remove", nullptr, kTarget, kLink);
    EXPECT_EQ(platform.CallsOf({"ShellLinkSetIconLocation"}).size(), 0u);
    EXPECT_EQ(platform.CallsOf({"ShellLinkSetArguments"}), (std::vector<Call>{{"ShellLinkSetArguments", L"/remove"}}));
    EXPECT_EQ(platform.files[kLink].arguments, L"/remove");
    EXPECT_FALSE(platform.files[kLink].icon.has_value());
}

TEST(CreateShortcut, ASecondSaveReplacesTheFile) {
    fake::FakePlatform platform;
    installer::CreateShortcut(platform, nullptr, kIcon, L"C:\\old.exe", kLink);
    installer::CreateShortcut(platform, nullptr, kIcon, kTarget, kLink);
    EXPECT_EQ(platform.files.size(), 1u);
    EXPECT_EQ(platform.files[kLink].target, kTarget);
}

struct FailureCase {
    const char* label;
    const char* failingCall;
    bool failed;  // the result is a failure
    bool saved;
};

TEST(CreateShortcut, ReleasesEverythingAndUninitialisesOnEveryPath) {
    const FailureCase cases[] = {
        {"COM not initialised", "CoInitialize", true, false},  // the object then cannot be created
        {"no shell link object", "CoCreateInstance", true, false},
        {"target not set", "ShellLinkSetPath", false, true},
        {"icon not set", "ShellLinkSetIconLocation", false, true},
        {"arguments not set", "ShellLinkSetArguments", false, true},
        {"no IPersistFile", "QueryInterface", true, false},
        {"save fails", "PersistFileSave", true, false},
    };
    for (const FailureCase& c : cases) {
        fake::FakePlatform platform;
        platform.Fail(c.failingCall);
        const installer::HResult result = installer::CreateShortcut(platform, L"/remove", kIcon, kTarget, kLink);
        EXPECT_EQ(!installer::Succeeded(result), c.failed) << c.label;
        EXPECT_EQ(platform.files.count(kLink), c.saved ? 1u : 0u) << c.label;
        EXPECT_EQ(platform.LiveComObjects(), 0u) << c.label;
        EXPECT_EQ(platform.CallsOf({"CoUninitialize"}).size(), 1u) << c.label;
        EXPECT_EQ(platform.calls.back().name, "CoUninitialize") << c.label;
    }
}

TEST(CreateShortcut, AnEmptyLinkPathWritesNothingAndLeavesComAlone) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::CreateShortcut(platform, nullptr, kIcon, kTarget, L""), installer::kInvalidArgument);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(platform.files.empty());
}

}  // namespace
