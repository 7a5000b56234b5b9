// The remove mode: confirmation, verification of the uninstall script,
// deletion of the shortcuts, the script started through the script host.
#include <string>
#include <vector>

#include "append_path.h"
#include "exit_codes.h"
#include "installer_names.h"
#include "modes.h"
#include "not_authentic.h"
#include "path_buffer.h"
#include "shortcuts.h"
#include "resource_strings.h"
#include "verify_before_start.h"
#include "zrcplib_mutex.h"

namespace installer {
namespace {

constexpr uint32_t kWarningBox = 0x30;   // MB_OK | MB_ICONWARNING
constexpr uint32_t kQuestionBox = 0x24;  // MB_YESNO | MB_ICONQUESTION
constexpr int32_t kAnswerYes = 6;        // IDYES

}  // namespace

int RunRemoveMode(Platform& platform) {
    if (zrcplib::MutexExists(platform, kInUseMutexName)) {
        const std::wstring text = LoadResourceString(platform, IDS_IN_USE);
        const std::wstring caption = LoadResourceString(platform, IDS_CAPTION);
        platform.MessageBoxW(nullptr, text.c_str(), caption.c_str(), kWarningBox);
        return kExitInUse;
    }
    if (zrcplib::MutexExists(platform, kInstanceMutexName)) return kExitOtherInstance;
    // Held until the mode returns, on every path from here.
    const zrcplib::CZRMutex instance(platform, kInstanceMutexName);

    {
        const std::wstring text = LoadResourceString(platform, IDS_CONFIRM_REMOVE);
        const std::wstring caption = LoadResourceString(platform, IDS_CAPTION);
        if (platform.MessageBoxW(nullptr, text.c_str(), caption.c_str(), kQuestionBox) != kAnswerYes) {
            return kExitNotConfirmed;
        }
    }

    PathBuffer moduleDirectory;
    platform.GetModuleFileNameW(nullptr, moduleDirectory.text, kPathCapacity);
    CutAfterLastBackslash(&moduleDirectory);
    const std::wstring scriptPath = std::wstring(moduleDirectory.text) + kUninstallScript;
    if (VerifyFileBeforeStart(platform, scriptPath.c_str()) != 0) {
        ReportNotAuthentic(platform, kUninstallScript);
        return kExitNotVerified;
    }

    // Results ignored: a shortcut that is already gone changes nothing.
    const std::wstring uninstallLink = DesktopShortcutPath(platform, IDS_SHORTCUT_UNINSTALL);
    platform.DeleteFileW(uninstallLink.c_str());
    const std::wstring productLink = DesktopShortcutPath(platform, IDS_SHORTCUT_PRODUCT);
    platform.DeleteFileW(productLink.c_str());

    PathBuffer systemDirectory;
    platform.GetSystemDirectoryW(systemDirectory.text, kPathCapacity);
    PathBuffer hostPath;
    CopyPath(&hostPath, systemDirectory);
    AppendPath(hostPath.text, kPathBufferSize, kScriptHost);

    const std::wstring command = L"\"" + std::wstring(hostPath.text) + L"\" \"" + scriptPath + L"\" " + kScriptArgument;
    std::vector<wchar_t> commandLine(command.begin(), command.end());
    commandLine.push_back(L'\0');  // the platform may write into the command line

    ProcessInformation information{};
    platform.CreateProcessW(
        nullptr, commandLine.data(), nullptr, nullptr, false, 0, nullptr, systemDirectory.text, &information);
    if (information.process != nullptr && information.thread != nullptr) {
        platform.CloseHandle(information.process);
        platform.CloseHandle(information.thread);
    }
    return kExitDone;
}

}  // namespace installer
