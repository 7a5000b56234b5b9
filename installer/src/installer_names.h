// The fixed names the installer works with: mutexes, the files beside the
// program, the script host and the switches.
#ifndef INSTALLER_INSTALLER_NAMES_H
#define INSTALLER_INSTALLER_NAMES_H

namespace installer {

// Probed, then created, by every mode.
constexpr wchar_t kInstanceMutexName[] = L"{F0B336D4-3E88-4364-8249-3A2EABA64365}";
// Held by the product while it runs; only probed, by the remove mode.
constexpr wchar_t kInUseMutexName[] = L"{856D85EB-3BEF-48fb-BE9F-039EEB944369}";

// Files in the program's own directory.
constexpr wchar_t kLoaderFile[] = L"zrfetchpad.exe";
constexpr wchar_t kUninstallScript[] = L"Uninstall.vbs";
constexpr wchar_t kProductIcon[] = L"sweepkit.ico";
constexpr wchar_t kUninstallIcon[] = L"sweepkit_uninstall.ico";

// In the Windows system directory.
constexpr wchar_t kScriptHost[] = L"wscript.exe";

constexpr wchar_t kShellVerb[] = L"open";
constexpr wchar_t kInstallSwitch[] = L"/install";
constexpr wchar_t kRemoveSwitch[] = L"/remove";
constexpr wchar_t kStartSwitch[] = L"/start";
// The last argument of the script's command line.
constexpr wchar_t kScriptArgument[] = L"/uninstall";

}  // namespace installer

#endif
