// The remove mode against the fake platform: the order of the platform
// calls, the confirmation, the script's start, and every exit.
#include "modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_fixture.h"

namespace {

using fake::Call;
using flows::kInstance;
using flows::kInUse;
using flows::kNo;
using flows::kProductLink;
using flows::kScript;
using flows::kUninstallLink;
using flows::kYes;

const std::wstring kConfirm = L"\u00BFSeguro que desea desinstalar Ostrel Sweepkit del sistema?";
const std::wstring kInUseText = L"Ostrel Sweepkit no ha podido desinstalarse porque est\u00E1 en uso.";
const std::wstring kCommandLine = L"\"C:\\windows\\system32\\wscript.exe\" \"" + kScript + L"\" /uninstall";

// Both shortcuts on the desktop, and the answer the user will give.
void Install(fake::FakePlatform* platform, int32_t answer) {
    platform->files[kProductLink] = fake::Shortcut{};
    platform->files[kUninstallLink] = fake::Shortcut{};
    platform->answers = {answer};
}

TEST(RunRemoveMode, AsksVerifiesDeletesStartsThenReleases) {
    fake::FakePlatform platform;
    Install(&platform, kYes);
    EXPECT_EQ(installer::RunRemoveMode(platform), 0);
    const std::vector<Call> probes = platform.CallsOf({"OpenMutexW"});
    EXPECT_EQ(probes,
              (std::vector<Call>{{"OpenMutexW", L"1048576, FALSE, " + kInUse},
                                 {"OpenMutexW", L"1048576, FALSE, " + kInstance}}));
    EXPECT_EQ(flows::Milestones(platform),
              (std::vector<Call>{
                  {"CreateMutexW", L"FALSE, " + kInstance},
                  {"MessageBoxW", kConfirm},
                  {"VerifyFileSignature", kScript},
                  {"DeleteFileW", kUninstallLink},
                  {"DeleteFileW", kProductLink},
                  {"CreateProcessW", kCommandLine},
                  {"CloseHandle", L"process"},
                  {"CloseHandle", L"thread"},
                  {"CloseHandle", L"mutex " + kInstance},
              }));
    EXPECT_TRUE(platform.files.empty());
    EXPECT_EQ(platform.CallsOf({"GetSystemDirectoryW"}), (std::vector<Call>{{"GetSystemDirectoryW", L"259"}}));
    flows::ExpectAllReleased(platform, "remove");
}

TEST(RunRemoveMode, AsksWithTheQuestionBox) {
    fake::FakePlatform platform;
    Install(&platform, kYes);
    installer::RunRemoveMode(platform);
    EXPECT_EQ(platform.messageBoxes,
              (std::vector<fake::MessageBoxRecord>{{nullptr, kConfirm, L"Ostrel Sweepkit", 0x24}}));
}

TEST(RunRemoveMode, StartsTheScriptHostWithTheExactArguments) {
    fake::FakePlatform platform;
    Install(&platform, kYes);
    installer::RunRemoveMode(platform);
    ASSERT_EQ(platform.processes.size(), 1u);
    const fake::ProcessRecord& process = platform.processes[0];
    EXPECT_FALSE(process.applicationName.has_value());
    EXPECT_EQ(process.commandLine, kCommandLine);
    EXPECT_TRUE(process.processAttributesNull);
    EXPECT_TRUE(process.threadAttributesNull);
    EXPECT_FALSE(process.inheritHandles);
    EXPECT_EQ(process.creationFlags, 0u);
    EXPECT_TRUE(process.environmentNull);
    EXPECT_EQ(process.currentDirectory, L"C:\\windows\\system32");
    EXPECT_TRUE(process.informationZeroed);
}

TEST(RunRemoveMode, AnyAnswerButYesGivesTwoAndLeavesTheShortcuts) {
    for (int32_t answer : {kNo, 2, 1, 0, -1}) {
        fake::FakePlatform platform;
        Install(&platform, answer);
        EXPECT_EQ(installer::RunRemoveMode(platform), 2) << answer;
        EXPECT_EQ(platform.files.size(), 2u) << answer;
        EXPECT_TRUE(platform.verifications.empty()) << answer;
        EXPECT_TRUE(platform.processes.empty()) << answer;
        EXPECT_EQ(platform.calls.back(), (Call{"CloseHandle", L"mutex " + kInstance})) << answer;
        flows::ExpectAllReleased(platform, "not confirmed");
    }
}

TEST(RunRemoveMode, TheProductInUseGivesTheWarningAndFourEvenWithAnotherInstance) {
    for (bool otherInstance : {false, true}) {
        fake::FakePlatform platform;
        Install(&platform, kYes);
        platform.HoldMutex(kInUse);
        if (otherInstance) platform.HoldMutex(kInstance);
        EXPECT_EQ(installer::RunRemoveMode(platform), 4);
        EXPECT_EQ(platform.messageBoxes,
                  (std::vector<fake::MessageBoxRecord>{{nullptr, kInUseText, L"Ostrel Sweepkit", 0x30}}));
        EXPECT_EQ(platform.CallsOf({"OpenMutexW"}).size(), 1u) << "the instance mutex was probed";
        EXPECT_TRUE(platform.mutexCreations.empty());
        EXPECT_EQ(platform.files.size(), 2u);
        EXPECT_EQ(platform.OpenHandles(), 0u);
    }
}

TEST(RunRemoveMode, AnotherInstanceGivesThreeWithoutAWindow) {
    fake::FakePlatform platform;
    Install(&platform, kYes);
    platform.HoldMutex(kInstance);
    EXPECT_EQ(installer::RunRemoveMode(platform), 3);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.mutexCreations.empty());
    EXPECT_EQ(platform.files.size(), 2u);
}

TEST(RunRemoveMode, AScriptThatDoesNotVerifyIsNotStartedAndTheShortcutsStay) {
    for (const fake::Verdict& refusal : {fake::Verdict{false, 9}, fake::Verdict{false, 1}, fake::Verdict{false, 8}}) {
        fake::FakePlatform platform;
        Install(&platform, kYes);
        platform.verdict = refusal;
        EXPECT_EQ(installer::RunRemoveMode(platform), 5) << refusal.code;
        EXPECT_EQ(platform.files.size(), 2u) << refusal.code;
        EXPECT_TRUE(platform.CallsOf({"DeleteFileW", "CreateProcessW"}).empty()) << refusal.code;
        EXPECT_EQ(platform.messageBoxes.size(), 1u) << "only the confirmation";
        EXPECT_EQ(platform.debugOutput,
                  (std::vector<std::wstring>{L"No ha sido posible comprobar la autenticidad del archivo "
                                             L"Uninstall.vbs. No es posible iniciar Ostrel Sweepkit."}));
        EXPECT_EQ(platform.calls.back(), (Call{"CloseHandle", L"mutex " + kInstance})) << refusal.code;
        flows::ExpectAllReleased(platform, "refused");
    }
}

struct IgnoredFailure {
    const char* label;
    const char* call;  // null: nothing fails
    bool shortcutsThere;
    std::wstring commandLine;
    std::wstring directory;
    size_t handlesClosed;  // process and thread
};

TEST(RunRemoveMode, FailedDeletesAFailedStartAndAnUnreadableSystemDirectoryStillEndWithZero) {
    const std::wstring emptyHost = L"\"\" \"" + kScript + L"\" /uninstall";
    const IgnoredFailure cases[] = {
        {"shortcuts already gone", nullptr, false, kCommandLine, L"C:\\windows\\system32", 2},
        {"delete fails", "DeleteFileW", true, kCommandLine, L"C:\\windows\\system32", 2},
        {"process not started", "CreateProcessW", true, kCommandLine, L"C:\\windows\\system32", 0},
        {"system directory unreadable", "GetSystemDirectoryW", true, emptyHost, L"", 2},
    };
    for (const IgnoredFailure& c : cases) {
        fake::FakePlatform platform;
        Install(&platform, kYes);
        if (!c.shortcutsThere) platform.files.clear();
        if (c.call != nullptr) platform.Fail(c.call);
        EXPECT_EQ(installer::RunRemoveMode(platform), 0) << c.label;
        ASSERT_EQ(platform.processes.size(), 1u) << c.label;
        EXPECT_EQ(platform.processes[0].commandLine, c.commandLine) << c.label;
        EXPECT_EQ(platform.processes[0].currentDirectory, c.directory) << c.label;
        EXPECT_EQ(platform.CallsOf({"CloseHandle"}).size(), c.handlesClosed + 1) << c.label;
        flows::ExpectAllReleased(platform, c.label);
    }
}

TEST(RunRemoveMode, ASystemDirectoryTooLongForTheBufferLeavesTheHostPathEmpty) {
    fake::FakePlatform platform;
    Install(&platform, kYes);
    platform.systemDirectory = L"C:\\" + std::wstring(300, L's');
    EXPECT_EQ(installer::RunRemoveMode(platform), 0);
    ASSERT_EQ(platform.processes.size(), 1u);
    EXPECT_EQ(platform.processes[0].commandLine.substr(0, 3), L"\"\" ");
}

}  // namespace
