// Helpers of the Windows API tests: programs beside the test, and a
// folder of their own.
#ifndef INSTALLER_TESTS_WIN32_TEST_SUPPORT_H
#define INSTALLER_TESTS_WIN32_TEST_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// The folder of the running test program, with its trailing backslash.
inline std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH - 1);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Runs a program of the test's folder with the arguments and returns its
// exit code, or -1 when it cannot be started or does not end in time.
inline long RunBeside(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command = L"\"" + OwnFolder() + program + L"\" " + arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    long result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code)) {
        result = static_cast<long>(code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// A new empty folder under the temporary folder, removed with its files.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* tag) {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH - 1, base);
        path_ = std::wstring(base) + L"sk-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((path_ + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace wintest

#endif
