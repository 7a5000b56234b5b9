// The program's body against the fake platform: the split of the command
// line, its release, and the two catches (a mutex that cannot be created,
// memory running out).
#include "program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "flow_fixture.h"

namespace {

// Fails the allocation with the chosen index among those made outside the
// fake, while armed.
bool armed = false;
long allocationIndex = 0;
long failAt = -1;
bool failed = false;

void Arm(long index) {
    allocationIndex = 0;
    failAt = index;
    failed = false;
    armed = true;
}

}  // namespace

void* operator new(std::size_t size) {
    if (armed && !fake::InsideFake() && allocationIndex++ == failAt) {
        failed = true;
        throw std::bad_alloc();
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}
// The replaced pair allocates with malloc; the compiler cannot see that.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace {

using fake::Call;
using flows::kInstance;

TEST(RunProgram, SplitsDispatchesAndFreesTheSplitLast) {
    fake::FakePlatform platform;
    platform.commandLine = L"\"C:\\P\\sweepkit-install.exe\" /start";
    platform.arguments = {L"C:\\P\\sweepkit-install.exe", L"/start"};
    EXPECT_EQ(installer::RunProgram(platform), 0);
    EXPECT_EQ(platform.calls[0].name, "GetCommandLineW");
    EXPECT_EQ(platform.calls[1], (Call{"CommandLineToArgvW", platform.commandLine}));
    EXPECT_EQ(platform.calls.back(), (Call{"LocalFree", L"arguments"}));
    EXPECT_FALSE(platform.ArgumentArrayLive());
    EXPECT_EQ(platform.shellExecutes.size(), 1u);
}

struct ExitCase {
    const char* label;
    std::vector<std::wstring> arguments;
    int expected;
};

TEST(RunProgram, ABadCommandLineIsOneAndTheSplitIsFreed) {
    const ExitCase cases[] = {
        {"no argument", {L"sweepkit-install.exe"}, 1},
        {"two arguments", {L"sweepkit-install.exe", L"/start", L"/start"}, 1},
        {"unknown switch", {L"sweepkit-install.exe", L"/uninstall"}, 1},
    };
    for (const ExitCase& c : cases) {
        fake::FakePlatform platform;
        platform.arguments = c.arguments;
        EXPECT_EQ(installer::RunProgram(platform), c.expected) << c.label;
        EXPECT_FALSE(platform.ArgumentArrayLive()) << c.label;
        EXPECT_TRUE(platform.shellExecutes.empty()) << c.label;
    }
}

TEST(RunProgram, AFailedSplitIsOneWithNothingToFree) {
    fake::FakePlatform platform;
    platform.Fail("CommandLineToArgvW");
    EXPECT_EQ(installer::RunProgram(platform), 1);
    EXPECT_TRUE(platform.CallsOf({"LocalFree"}).empty());
}

TEST(RunProgram, AnInstanceMutexThatCannotBeCreatedEndsWithThreeAndNoWindow) {
    for (const wchar_t* mode : {L"/install", L"/start", L"/remove"}) {
        fake::FakePlatform platform;
        platform.arguments = {flows::kProgram, mode};
        platform.answers = {flows::kYes};
        platform.Fail("CreateMutexW");
        EXPECT_EQ(installer::RunProgram(platform), 3) << mode;
        EXPECT_TRUE(platform.messageBoxes.empty()) << mode;
        EXPECT_TRUE(platform.verifications.empty()) << mode;
        EXPECT_FALSE(platform.ArgumentArrayLive()) << mode;
        EXPECT_EQ(platform.OpenHandles(), 0u) << mode;
    }
}

TEST(RunProgram, ANameHeldByAnEventEndsWithThree) {
    fake::FakePlatform platform;
    platform.HoldEvent(kInstance);
    EXPECT_EQ(installer::RunProgram(platform), 3);
    EXPECT_EQ(platform.CallsOf({"GetLastError"}), (std::vector<Call>{{"GetLastError", L"6"}}));
}

// Every allocation of a run, failed in turn: each run ends with 5, starts
// nothing and leaves nothing open.
TEST(RunProgram, MemoryRunningOutEndsWithFiveAndStartsNothing) {
    for (const wchar_t* mode : {L"/install", L"/start", L"/remove"}) {
        long index = 0;
        for (;; ++index) {
            fake::FakePlatform platform;
            platform.arguments = {flows::kProgram, mode};
            platform.answers = {flows::kYes};
            platform.files[flows::kProductLink] = fake::Shortcut{};
            Arm(index);
            const int result = installer::RunProgram(platform);
            armed = false;
            if (!failed) {
                EXPECT_EQ(result, 0) << "the run without a failure";
                break;
            }
            EXPECT_EQ(result, 5) << "allocation " << index;
            EXPECT_TRUE(platform.shellExecutes.empty()) << "allocation " << index;
            EXPECT_TRUE(platform.processes.empty()) << "allocation " << index;
            EXPECT_FALSE(platform.ArgumentArrayLive()) << "allocation " << index;
            flows::ExpectAllReleased(platform, "allocation " + std::to_string(index));
        }
        EXPECT_GT(index, 3) << "the run made hardly any allocation";
    }
}

}  // namespace
