// The ids of the program's string table, and the lookup of its texts.
#ifndef INSTALLER_RESOURCE_STRINGS_H
#define INSTALLER_RESOURCE_STRINGS_H

#include <string>

#include "platform.h"

namespace installer {

enum StringId : unsigned {
    IDS_CAPTION = 101,             // caption of both message boxes
    IDS_CONFIRM_REMOVE = 102,      // text of the uninstall confirmation
    IDS_SHORTCUT_PRODUCT = 103,    // base name of the product shortcut file
    IDS_SHORTCUT_UNINSTALL = 104,  // base name of the uninstall shortcut file
    IDS_IN_USE = 105,              // text of the in-use warning
    IDS_NOT_AUTHENTIC = 106,       // format: one %s, the name of a file that did not verify
};

// The text of that id from the program's own string table, or an empty
// text when the table has none for it.
std::wstring LoadResourceString(Platform& platform, unsigned id);

}  // namespace installer

#endif
