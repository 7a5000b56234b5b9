// The install and start modes against the fake platform: the order of the
// platform calls, the shortcuts and the shell request, and every exit.
#include "modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_fixture.h"

namespace {

using fake::Call;
using flows::kInstance;
using flows::kLoader;
using flows::kProductLink;
using flows::kProgram;
using flows::kProgramFolder;
using flows::kUninstallLink;

TEST(RunInstallMode, ProbesHoldsVerifiesWritesOpensThenReleases) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::RunInstallMode(platform, true), 0);
    EXPECT_EQ(platform.calls.front(), (Call{"OpenMutexW", L"1048576, FALSE, " + kInstance}));
    EXPECT_EQ(flows::Milestones(platform),
              (std::vector<Call>{
                  {"CreateMutexW", L"FALSE, " + kInstance},
                  {"VerifyFileSignature", kLoader},
                  {"PersistFileSave", kProductLink + L", TRUE"},
                  {"PersistFileSave", kUninstallLink + L", TRUE"},
                  {"ShellExecuteExW", L"\"" + kLoader + L"\""},
                  {"CloseHandle", L"mutex " + kInstance},
              }));
    const std::vector<Call> tail(platform.calls.end() - 2, platform.calls.end());
    EXPECT_EQ(tail, (std::vector<Call>{{"ReleaseMutex", kInstance}, {"CloseHandle", L"mutex " + kInstance}}));
    EXPECT_EQ(platform.CallsOf({"GetModuleFileNameW"}), (std::vector<Call>{{"GetModuleFileNameW", L"null, 259"}}));
    flows::ExpectAllReleased(platform, "install");
}

TEST(RunInstallMode, WritesBothShortcuts) {
    fake::FakePlatform platform;
    installer::RunInstallMode(platform, true);
    ASSERT_EQ(platform.files.size(), 2u);
    const fake::Shortcut& product = platform.files[kProductLink];
    EXPECT_EQ(product.target, kLoader);
    EXPECT_FALSE(product.arguments.has_value()) << "the product shortcut has arguments";
    EXPECT_EQ(product.icon, kProgramFolder + L"sweepkit.ico");
    EXPECT_EQ(product.iconIndex, 0);
    const fake::Shortcut& uninstall = platform.files[kUninstallLink];
    EXPECT_EQ(uninstall.target, kProgram);
    EXPECT_EQ(uninstall.arguments, L"/remove");
    EXPECT_EQ(uninstall.icon, kProgramFolder + L"sweepkit_uninstall.ico");
    EXPECT_EQ(uninstall.iconIndex, 0);
}

TEST(RunInstallMode, AsksTheShellToOpenTheQuotedLoaderInItsFolder) {
    for (bool shortcuts : {true, false}) {
        fake::FakePlatform platform;
        installer::RunInstallMode(platform, shortcuts);
        ASSERT_EQ(platform.shellExecutes.size(), 1u);
        const fake::ShellExecuteRecord& request = platform.shellExecutes[0];
        EXPECT_EQ(request.mask, 0u);
        EXPECT_EQ(request.window, nullptr);
        EXPECT_EQ(request.verb, L"open");
        EXPECT_EQ(request.file, L"\"" + kLoader + L"\"");
        EXPECT_FALSE(request.parameters.has_value());
        EXPECT_EQ(request.directory, kProgramFolder) << "with its trailing backslash";
        EXPECT_EQ(request.show, 5);
    }
}

TEST(RunInstallMode, StartModeWritesNoShortcut) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::RunInstallMode(platform, false), 0);
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(platform.CallsOf({"SHGetSpecialFolderPathW", "CoInitialize", "CoCreateInstance"}).empty());
    EXPECT_EQ(platform.shellExecutes.size(), 1u);
    flows::ExpectAllReleased(platform, "start");
}

TEST(RunInstallMode, AnotherInstanceGivesThreeWithNothingElse) {
    for (bool shortcuts : {true, false}) {
        fake::FakePlatform platform;
        platform.HoldMutex(kInstance);
        EXPECT_EQ(installer::RunInstallMode(platform, shortcuts), 3);
        EXPECT_EQ(platform.CallNames(), (std::vector<std::string>{"OpenMutexW", "CloseHandle"}));
        EXPECT_TRUE(platform.messageBoxes.empty());
        EXPECT_EQ(platform.OpenHandles(), 0u);
    }
}

TEST(RunInstallMode, ALoaderThatDoesNotVerifyIsNotStartedAndNoShortcutIsWritten) {
    const fake::Verdict refusals[] = {{false, 9}, {false, 1}, {false, 7}, {false, 13}, {false, 3}};
    for (const fake::Verdict& refusal : refusals) {
        for (bool shortcuts : {true, false}) {
            fake::FakePlatform platform;
            platform.verdict = refusal;
            EXPECT_EQ(installer::RunInstallMode(platform, shortcuts), 5) << refusal.code;
            EXPECT_TRUE(platform.files.empty()) << refusal.code;
            EXPECT_TRUE(platform.shellExecutes.empty()) << refusal.code;
            EXPECT_TRUE(platform.messageBoxes.empty()) << refusal.code;
            EXPECT_TRUE(platform.CallsOf({"CoInitialize", "SHGetSpecialFolderPathW"}).empty()) << refusal.code;
            EXPECT_EQ(platform.debugOutput,
                      (std::vector<std::wstring>{L"No ha sido posible comprobar la autenticidad del archivo "
                                                 L"zrfetchpad.exe. No es posible iniciar Ostrel Sweepkit."}));
            EXPECT_EQ(platform.calls.back(), (Call{"CloseHandle", L"mutex " + kInstance})) << refusal.code;
            flows::ExpectAllReleased(platform, "refused");
        }
    }
}

TEST(RunInstallMode, ASecondaryKeyVerdictCountsAsVerified) {
    fake::FakePlatform platform;
    platform.verdict = {false, 11};
    EXPECT_EQ(installer::RunInstallMode(platform, true), 0);
    EXPECT_EQ(platform.files.size(), 2u);
    EXPECT_EQ(platform.shellExecutes.size(), 1u);
}

struct IgnoredFailure {
    const char* label;
    const char* call;
    int occurrence;
    size_t shortcuts;  // files written
};

TEST(RunInstallMode, FailedShortcutsAndAFailedStartRequestStillEndWithZero) {
    const IgnoredFailure cases[] = {
        {"first shell link object", "CoCreateInstance", 1, 1},
        {"second shell link object", "CoCreateInstance", 2, 1},
        {"first save", "PersistFileSave", 1, 1},
        {"desktop folder unknown", "SHGetSpecialFolderPathW", 1, 1},
        {"desktop folder unknown twice", "SHGetSpecialFolderPathW", 2, 1},
        {"string table unreadable", "FindResourceExW", 1, 2},  // a shortcut named ".lnk"
        {"shell cannot open the loader", "ShellExecuteExW", 1, 2},
    };
    for (const IgnoredFailure& c : cases) {
        fake::FakePlatform platform;
        platform.Fail(c.call, c.occurrence);
        EXPECT_EQ(installer::RunInstallMode(platform, true), 0) << c.label;
        EXPECT_EQ(platform.files.size(), c.shortcuts) << c.label;
        EXPECT_EQ(platform.shellExecutes.size(), 1u) << c.label;
        flows::ExpectAllReleased(platform, c.label);
    }
}

TEST(RunInstallMode, TheMissingFirstShortcutDoesNotKeepTheSecondFromBeingMade) {
    fake::FakePlatform platform;
    platform.Fail("PersistFileSave", 1);
    installer::RunInstallMode(platform, true);
    EXPECT_EQ(platform.files.count(kProductLink), 0u);
    EXPECT_EQ(platform.files.count(kUninstallLink), 1u);
}

TEST(RunInstallMode, RunTwiceWritesBothShortcutsAgain) {
    fake::FakePlatform platform;
    installer::RunInstallMode(platform, true);
    platform.files[kProductLink].target = L"stale";
    EXPECT_EQ(installer::RunInstallMode(platform, true), 0);
    EXPECT_EQ(platform.files.size(), 2u);
    EXPECT_EQ(platform.files[kProductLink].target, kLoader);
}

struct ModulePathCase {
    const char* label;
    std::wstring modulePath;
    std::wstring loader;     // the path verified and opened
    std::wstring directory;  // the shell request's directory
};

TEST(RunInstallMode, TheModuleDirectoryKeepsItsBackslashAndLongPathsStayTerminated) {
    const std::wstring longFolder = L"C:\\" + std::wstring(240, L'p') + L"\\";
    const std::wstring longPath = longFolder + std::wstring(30, L'x') + L".exe";  // beyond 259
    const ModulePathCase cases[] = {
        {"usual", kProgram, kLoader, kProgramFolder},
        {"no backslash at all",
         L"sweepkit-install.exe",
         L"sweepkit-install.exezrfetchpad.exe",
         L"sweepkit-install.exe"},
        {"module path cut without terminator", longPath, longFolder + L"zrfetchpad.exe", longFolder},
        {"module path unreadable", L"", L"zrfetchpad.exe", L""},
    };
    for (const ModulePathCase& c : cases) {
        fake::FakePlatform platform;
        platform.modulePath = c.modulePath;
        EXPECT_EQ(installer::RunInstallMode(platform, true), 0) << c.label;
        ASSERT_EQ(platform.verifications.size(), 1u) << c.label;
        EXPECT_EQ(platform.verifications[0].path, c.loader) << c.label;
        ASSERT_EQ(platform.shellExecutes.size(), 1u) << c.label;
        EXPECT_EQ(platform.shellExecutes[0].directory, c.directory) << c.label;
        EXPECT_EQ(platform.files[kUninstallLink].target, c.modulePath.substr(0, 259)) << c.label;
    }
}

}  // namespace
