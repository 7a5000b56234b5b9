// The switch table.
#include "installer_names.h"
#include "exit_codes.h"
#include "modes.h"

namespace installer {
namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualsFolded(const wchar_t* argument, const wchar_t* switchText) {
    size_t i = 0;
    for (; argument[i] != L'\0' && switchText[i] != L'\0'; ++i) {
        if (FoldAscii(argument[i]) != FoldAscii(switchText[i])) return false;
    }
    return argument[i] == switchText[i];
}

}  // namespace

int DispatchCommandLine(Platform& platform, int count, wchar_t** arguments) {
    if (count != 2 || arguments == nullptr || arguments[1] == nullptr) return kExitBadCommandLine;
    const wchar_t* argument = arguments[1];
    if (EqualsFolded(argument, kInstallSwitch)) return RunInstallMode(platform, true);
    if (EqualsFolded(argument, kRemoveSwitch)) return RunRemoveMode(platform);
    if (EqualsFolded(argument, kStartSwitch)) return RunInstallMode(platform, false);
    return kExitBadCommandLine;
}

}  // namespace installer
