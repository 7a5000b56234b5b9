// The desktop shortcut files: their paths, and writing one through the
// shell link object.
#ifndef INSTALLER_SHORTCUTS_H
#define INSTALLER_SHORTCUTS_H

#include <string>

#include "platform.h"

namespace installer {

// The shell link object and its two interfaces.
extern const Guid CLSID_ShellLink;
extern const Guid IID_IShellLinkW;
extern const Guid IID_IPersistFile;

// The per-user desktop folder joined with the text of stringId and ".lnk".
// When the folder cannot be looked up the result is empty.
std::wstring DesktopShortcutPath(Platform& platform, unsigned stringId);

// Writes the shortcut file at linkPath: target, icon (index 0) when iconPath
// is given, arguments only when given. Initialises and uninitialises COM
// around itself. An empty linkPath (the desktop folder unknown) writes
// nothing and gives kInvalidArgument without reaching COM.
HResult CreateShortcut(Platform& platform,
                       const wchar_t* arguments,
                       const wchar_t* iconPath,
                       const wchar_t* targetPath,
                       const wchar_t* linkPath);

}  // namespace installer

#endif
