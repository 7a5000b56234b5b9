// The program's body behind its Windows entry.
#ifndef INSTALLER_PROGRAM_H
#define INSTALLER_PROGRAM_H

#include "platform.h"

namespace installer {

// Splits the process command line, dispatches it and frees the split; the
// result is the process exit code. The only place where anything is
// caught: an instance mutex that cannot be created ends the program with 3,
// as if another instance held the name; running out of memory ends it with
// 5. Neither shows a window.
int RunProgram(Platform& platform);

}  // namespace installer

#endif
