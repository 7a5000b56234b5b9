// What the mode tests share: the fake program folder and desktop, and the
// check that a run left nothing open behind it.
#ifndef INSTALLER_TESTS_FLOW_FIXTURE_H
#define INSTALLER_TESTS_FLOW_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "installer_names.h"

namespace flows {

inline const std::wstring kProgramFolder = L"C:\\Program Files\\Ostrel Sweepkit\\";
inline const std::wstring kProgram = kProgramFolder + L"sweepkit-install.exe";
inline const std::wstring kLoader = kProgramFolder + L"zrfetchpad.exe";
inline const std::wstring kScript = kProgramFolder + L"Uninstall.vbs";
inline const std::wstring kProductLink = L"C:\\users\\tester\\Desktop\\Ostrel Sweepkit.lnk";
inline const std::wstring kUninstallLink = L"C:\\users\\tester\\Desktop\\Desinstalar Ostrel Sweepkit.lnk";
inline const std::wstring kInstance = installer::kInstanceMutexName;
inline const std::wstring kInUse = installer::kInUseMutexName;

constexpr int32_t kYes = 6;
constexpr int32_t kNo = 7;

// Every handle closed, every COM object released, COM uninitialised, the
// instance mutex gone.
inline void ExpectAllReleased(const fake::FakePlatform& platform, const std::string& label) {
    EXPECT_EQ(platform.OpenHandles(), 0u) << label;
    EXPECT_EQ(platform.LiveComObjects(), 0u) << label;
    EXPECT_EQ(platform.ComDepth(), 0) << label;
    EXPECT_FALSE(platform.NameExists(kInstance)) << label;
}

// The calls that matter for the order of a mode, with their details.
inline std::vector<fake::Call> Milestones(const fake::FakePlatform& platform) {
    return platform.CallsOf({"CreateMutexW",
                             "MessageBoxW",
                             "VerifyFileSignature",
                             "PersistFileSave",
                             "DeleteFileW",
                             "ShellExecuteExW",
                             "CreateProcessW",
                             "CloseHandle"});
}

}  // namespace flows

#endif
