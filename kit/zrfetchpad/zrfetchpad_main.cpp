// zrfetchpad: the kit's demo loader. A small window that shows Spanish
// messages from the catalog embedded in its own file, through lexmsg.dll
// from its own folder: the narrow section through lexmsg_initembA_mf on its
// own path, and the wide section from a copy of that catalog (the library
// reads a wide section from catalog files only). While it runs it holds the
// in-use mutex, so the installer's remove mode tells the user that the
// product is in use.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "embedded_copy.h"
#include "lexmsg.h"

namespace {

// Held while the product runs; sweepkit-install /remove looks for it.
constexpr wchar_t kInUseMutex[] = L"{856D85EB-3BEF-48fb-BE9F-039EEB944369}";
constexpr char kModuleName[] = "zrfetchpad.exe";

enum Message : uint32_t { kTitle = 1, kWelcome, kFolder, kFiles, kDrive, kForm, kClose };

std::vector<std::wstring> g_lines;

std::wstring from_code_page(const char* text, UINT code_page) {
    const int needed = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
    if (needed <= 0) return L"";
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(code_page, 0, text, -1, &out[0], needed);
    out.resize(static_cast<size_t>(needed - 1));
    return out;
}

std::wstring failure(const wchar_t* what, int rc) {
    wchar_t line[128];
    std::swprintf(line, 128, L"[%ls: %d]", what, rc);
    return line;
}

// A narrow message, delivered in code page 1252, shown as UTF-16.
template <typename... Pairs>
std::wstring narrow(const lexmsg_handle* handle, uint32_t id, unsigned count, Pairs... pairs) {
    char* text = nullptr;
    const int rc = lexmsg_getMessageA_mf(handle, id, count, &text, 0, pairs...);
    std::wstring line = rc == 0 ? from_code_page(text, 1252) : failure(L"lexmsg_getMessageA_mf", rc);
    lexmsg_free(text);
    return line;
}

template <typename... Pairs>
std::wstring wide(const lexmsg_handle* handle, uint32_t id, unsigned count, Pairs... pairs) {
    lexmsg_wchar* text = nullptr;
    const int rc = lexmsg_getMessageW_mf(handle, id, count, &text, 0, pairs...);
    std::wstring line = rc == 0 ? std::wstring(text) : failure(L"lexmsg_getMessageW_mf", rc);
    lexmsg_free(text);
    return line;
}

int count_signed_files(const std::wstring& folder) {
    int count = 0;
    for (const wchar_t* name : {L"sweepkit-install.exe", L"lexmsg.dll", L"zrfetchpad.exe", L"Uninstall.vbs"}) {
        if (GetFileAttributesW((folder + name).c_str()) != INVALID_FILE_ATTRIBUTES) ++count;
    }
    return count;
}

std::wstring build_lines(std::wstring* title) {
    char module_path[MAX_PATH] = {};
    wchar_t wide_path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module_path, MAX_PATH - 1);
    GetModuleFileNameW(nullptr, wide_path, MAX_PATH - 1);
    std::wstring folder(wide_path);
    folder.erase(folder.find_last_of(L'\\') + 1);

    lexmsg_handle* narrow_handle = nullptr;
    const int rc = lexmsg_initembA_mf(module_path, module_path, &narrow_handle, 0);
    if (rc != 0) return failure(L"lexmsg_initembA_mf", rc);
    *title = narrow(narrow_handle, kTitle, 0);
    wchar_t user[128] = L"usuario";
    DWORD user_size = 128;
    GetUserNameW(user, &user_size);

    g_lines.push_back(narrow(narrow_handle, kWelcome, 1, LEXMSG_ARG_CHARP, "Ana"));
    g_lines.push_back(narrow(narrow_handle, kFiles, 1, LEXMSG_ARG_INT, count_signed_files(folder)));
    g_lines.push_back(narrow(narrow_handle, kDrive, 1, LEXMSG_ARG_CHAR, module_path[0]));
    g_lines.push_back(narrow(narrow_handle, kForm, 2, LEXMSG_ARG_CHARP, "estrecha", LEXMSG_ARG_INT, 1));

    // The wide section, from a copy of the embedded catalog in a file of its own.
    const std::wstring copy = sweepkit_kit::copy_embedded_catalog(wide_path, kModuleName);
    lexmsg_handle* wide_handle = nullptr;
    const int wide_rc = copy.empty() ? -2 : lexmsg_wcsinitW_mf(copy.c_str(), &wide_handle);
    if (!copy.empty()) DeleteFileW(copy.c_str());
    if (wide_rc == 0) {
        g_lines.push_back(wide(wide_handle, kFolder, 1, LEXMSG_ARG_WCHARP, folder.c_str()));
        g_lines.push_back(wide(wide_handle, kForm, 2, LEXMSG_ARG_WCHARP, L"ancha", LEXMSG_ARG_INT, 2));
        lexmsg_cleanupW_mf(wide_handle);
    } else {
        g_lines.push_back(failure(L"lexmsg_wcsinitW_mf", wide_rc));
    }
    g_lines.push_back(narrow(narrow_handle, kClose, 0));
    lexmsg_cleanupA_mf(narrow_handle);
    return L"";
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            SetBkMode(dc, TRANSPARENT);
            int y = 16;
            for (const std::wstring& line : g_lines) {
                TextOutW(dc, 16, y, line.c_str(), static_cast<int>(line.size()));
                y += 24;
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HANDLE in_use = CreateMutexW(nullptr, FALSE, kInUseMutex);
    std::wstring title = L"zrfetchpad";
    const std::wstring error = build_lines(&title);
    if (!error.empty()) g_lines.push_back(error);

    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"ZrFetchPad";
    RegisterClassW(&window_class);
    HWND window = CreateWindowExW(0,
                                  window_class.lpszClassName,
                                  title.c_str(),
                                  WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT,
                                  CW_USEDEFAULT,
                                  720,
                                  260,
                                  nullptr,
                                  nullptr,
                                  instance,
                                  nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (in_use != nullptr) CloseHandle(in_use);
    return 0;
}
