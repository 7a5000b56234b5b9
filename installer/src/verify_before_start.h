// The check of a file before the program starts it.
#ifndef INSTALLER_VERIFY_BEFORE_START_H
#define INSTALLER_VERIFY_BEFORE_START_H

#include "platform.h"

namespace installer {

// 0 when the file's signature verifies (mode 2, with the legacy fallback),
// or verifies with the secondary key (code 11); otherwise a non-zero value
// by the verification's code: 1 -> 2, 2 and 3 -> 4, 4 -> 8, 7 -> 6,
// 8 to 10 -> 5, 13 -> 1, any other -> 10; no path -> 8. Callers test only
// for zero.
int VerifyFileBeforeStart(Platform& platform, const wchar_t* path);

}  // namespace installer

#endif
