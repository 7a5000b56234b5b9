// Desktop shortcut paths and the shell link writer.
#include "shortcuts.h"

#include "append_path.h"
#include "path_buffer.h"
#include "resource_strings.h"

namespace installer {

const Guid CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const Guid IID_IShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const Guid IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

constexpr int32_t kDesktopDirectory = 0x0010;  // CSIDL_DESKTOPDIRECTORY
constexpr uint32_t kInprocServer = 1;          // CLSCTX_INPROC_SERVER

}  // namespace

std::wstring DesktopShortcutPath(Platform& platform, unsigned stringId) {
    // The result of the lookup is not examined: a failed lookup leaves the
    // buffer empty, and nothing is appended to an empty path.
    PathBuffer buffer;
    platform.SHGetSpecialFolderPathW(nullptr, buffer.text, kDesktopDirectory, false);
    const std::wstring baseName = LoadResourceString(platform, stringId) + L".lnk";
    AppendPath(buffer.text, kPathBufferSize, baseName.c_str());
    return std::wstring(buffer.text);
}

HResult CreateShortcut(Platform& platform,
                       const wchar_t* arguments,
                       const wchar_t* iconPath,
                       const wchar_t* targetPath,
                       const wchar_t* linkPath) {
    if (linkPath == nullptr || linkPath[0] == L'\0') return kInvalidArgument;

    platform.CoInitialize(nullptr);
    ComObject link = nullptr;
    HResult result = platform.CoCreateInstance(CLSID_ShellLink, nullptr, kInprocServer, IID_IShellLinkW, &link);
    if (Succeeded(result)) {
        // A shortcut is saved even when one of its values could not be set.
        platform.ShellLinkSetPath(link, targetPath);
        if (iconPath != nullptr) platform.ShellLinkSetIconLocation(link, iconPath, 0);
        if (arguments != nullptr) platform.ShellLinkSetArguments(link, arguments);
        ComObject file = nullptr;
        result = platform.QueryInterface(link, IID_IPersistFile, &file);
        if (Succeeded(result)) {
            result = platform.PersistFileSave(file, linkPath, true);
            platform.Release(file);
        }
        platform.Release(link);
    }
    platform.CoUninitialize();
    return result;
}

}  // namespace installer
