// The shortcut operations against the Windows shell: the desktop path, and
// the link files that the shell link object writes, read back through it.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform_win32.h"
#include "shortcuts.h"
#include "win32_test_support.h"

namespace {

struct LinkValues {
    HRESULT loaded = E_FAIL;
    std::wstring target, arguments, icon;
    int iconIndex = -1;
};

// Loads a link file through the shell link object.
LinkValues ReadLink(const std::wstring& path) {
    LinkValues values;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(
            CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            values.loaded = file->Load(path.c_str(), STGM_READ);
            file->Release();
        }
        wchar_t text[MAX_PATH] = {};
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) values.target = text;
        text[0] = L'\0';
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) values.arguments = text;
        text[0] = L'\0';
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &values.iconIndex))) values.icon = text;
        link->Release();
    }
    CoUninitialize();
    return values;
}

void Touch(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST(ShortcutsWin32, TheDesktopPathIsTheDesktopFolderAndTheText) {
    installer::Win32Platform platform;
    wchar_t folder[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE));
    std::wstring expected(folder);
    if (expected.back() != L'\\') expected += L'\\';
    EXPECT_EQ(installer::DesktopShortcutPath(platform, 103), expected + L"Ostrel Sweepkit.lnk");
    EXPECT_EQ(installer::DesktopShortcutPath(platform, 104), expected + L"Desinstalar Ostrel Sweepkit.lnk");
}

TEST(ShortcutsWin32, WritesTargetArgumentsAndIconAndOverwritesOnASecondSave) {
    installer::Win32Platform platform;
    const wintest::TempFolder folder(L"links");
    const std::wstring target = folder.path() + L"zrfetchpad.exe";
    const std::wstring other = folder.path() + L"other.exe";
    const std::wstring icon = folder.path() + L"sweepkit.ico";
    const std::wstring link = folder.path() + L"Desinstalar Ostrel Sweepkit.lnk";
    Touch(target);
    Touch(other);

    ASSERT_EQ(installer::CreateShortcut(platform, L"/remove", icon.c_str(), target.c_str(), link.c_str()), S_OK);
    LinkValues values = ReadLink(link);
    ASSERT_EQ(values.loaded, S_OK);
    EXPECT_EQ(values.target, target);
    EXPECT_EQ(values.arguments, L"/remove");
    EXPECT_EQ(values.icon, icon);
    EXPECT_EQ(values.iconIndex, 0);

    ASSERT_EQ(installer::CreateShortcut(platform, nullptr, icon.c_str(), other.c_str(), link.c_str()), S_OK);
    values = ReadLink(link);
    ASSERT_EQ(values.loaded, S_OK);
    EXPECT_EQ(values.target, other);
    EXPECT_EQ(values.arguments, L"");
}

TEST(ShortcutsWin32, ASaveIntoAMissingFolderFailsAndWritesNothing) {
    installer::Win32Platform platform;
    const wintest::TempFolder folder(L"missing");
    const std::wstring link = folder.path() + L"no such folder\\x.lnk";
    EXPECT_FALSE(SUCCEEDED(installer::CreateShortcut(platform, nullptr, nullptr, L"C:\\x.exe", link.c_str())));
    EXPECT_FALSE(wintest::FileExists(link));
}

}  // namespace
