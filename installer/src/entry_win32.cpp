// The program's Windows entry: its own parameters are not used.
#include <windows.h>

#include "platform_win32.h"
#include "program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    installer::Win32Platform platform;
    return installer::RunProgram(platform);
}
