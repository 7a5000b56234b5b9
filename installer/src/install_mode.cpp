// The install and start modes: verify the loader, write the shortcuts
// (install only), ask the shell to open the loader.
#include <string>

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

constexpr int32_t kShowNormal = 5;  // SW_SHOW

}  // namespace

int RunInstallMode(Platform& platform, bool createShortcuts) {
    if (zrcplib::MutexExists(platform, kInstanceMutexName)) return kExitOtherInstance;
    // Held until the mode returns, so other instances see this one running.
    const zrcplib::CZRMutex instance(platform, kInstanceMutexName);

    PathBuffer modulePath;
    platform.GetModuleFileNameW(nullptr, modulePath.text, kPathCapacity);
    PathBuffer moduleDirectory;
    CopyPath(&moduleDirectory, modulePath);
    CutAfterLastBackslash(&moduleDirectory);

    const std::wstring loaderPath = std::wstring(moduleDirectory.text) + kLoaderFile;
    if (VerifyFileBeforeStart(platform, loaderPath.c_str()) != 0) {
        ReportNotAuthentic(platform, kLoaderFile);
        return kExitNotVerified;
    }

    if (createShortcuts) {
        // The results are ignored: a failed first shortcut does not keep
        // the second from being made.
        const std::wstring productIcon = std::wstring(moduleDirectory.text) + kProductIcon;
        const std::wstring productLink = DesktopShortcutPath(platform, IDS_SHORTCUT_PRODUCT);
        CreateShortcut(platform, nullptr, productIcon.c_str(), loaderPath.c_str(), productLink.c_str());
        const std::wstring uninstallIcon = std::wstring(moduleDirectory.text) + kUninstallIcon;
        const std::wstring uninstallLink = DesktopShortcutPath(platform, IDS_SHORTCUT_UNINSTALL);
        CreateShortcut(platform, kRemoveSwitch, uninstallIcon.c_str(), modulePath.text, uninstallLink.c_str());
    }

    const std::wstring quotedLoader = L"\"" + loaderPath + L"\"";
    ShellExecuteRequest request{};
    request.mask = 0;  // no process handle: the program never waits for the loader
    request.window = nullptr;
    request.verb = kShellVerb;
    request.file = quotedLoader.c_str();
    request.parameters = nullptr;
    request.directory = moduleDirectory.text;
    request.show = kShowNormal;
    platform.ShellExecuteExW(request);
    return kExitDone;
}

}  // namespace installer
