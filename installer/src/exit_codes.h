// The program's exit codes: its whole result.
#ifndef INSTALLER_EXIT_CODES_H
#define INSTALLER_EXIT_CODES_H

namespace installer {

enum ExitCode : int {
    kExitDone = 0,            // the start of the loader or the script was requested
    kExitBadCommandLine = 1,  // not exactly one known switch
    kExitNotConfirmed = 2,    // the user did not answer Yes to the removal
    kExitOtherInstance = 3,   // the instance mutex exists, or cannot be created
    kExitInUse = 4,           // the product is in use; the warning was shown
    kExitNotVerified = 5,     // the file to start did not verify, or memory ran out
};

}  // namespace installer

#endif
