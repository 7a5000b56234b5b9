// A process of its own that probes or holds a named mutex, for the tests.
//   installer_mutex_tool probe NAME       exit 0 when a mutex NAME can be opened, 1 otherwise
//   installer_mutex_tool hold NAME FILE   creates the mutex, then writes FILE and waits to be ended
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"probe") == 0) {
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, argv[2]);
        if (mutex == nullptr) return 1;
        CloseHandle(mutex);
        return 0;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"hold") == 0) {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, argv[2]);
        if (mutex == nullptr) return 2;
        HANDLE ready = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
        Sleep(600000);  // ended by the test long before
        CloseHandle(mutex);
        return 0;
    }
    return 3;
}
