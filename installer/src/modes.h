// The program's modes and the switch table that selects one.
#ifndef INSTALLER_MODES_H
#define INSTALLER_MODES_H

#include "platform.h"

namespace installer {

// count counts the program's name at position 0. Exactly one argument,
// compared whole with ASCII case folding against "/install", "/remove" and
// "/start" in that order, selects a mode whose result is returned;
// anything else gives 1.
int DispatchCommandLine(Platform& platform, int count, wchar_t** arguments);

// The install mode (true: shortcuts written) and the start mode (false):
// verifies the loader beside the program and asks the shell to open it.
// Returns 0, 3 or 5.
int RunInstallMode(Platform& platform, bool createShortcuts);

// The remove mode: asks for confirmation, verifies the uninstall script,
// deletes the shortcuts and starts the script through the script host.
// Returns 0, 2, 3, 4 or 5.
int RunRemoveMode(Platform& platform);

}  // namespace installer

#endif
