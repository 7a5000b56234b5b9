// A stand-in for the product's loader in the end-to-end tests: records its
// command line and its working directory, one a line in UTF-8, in
// "loader-ran.txt" beside itself.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(
            CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    }
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH - 1);
    std::wstring record(own);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"loader-ran.txt";
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH - 1, directory);
    const std::string text = Utf8(GetCommandLineW()) + "\n" + Utf8(directory) + "\n";
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
