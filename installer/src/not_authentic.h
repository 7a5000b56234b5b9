// The text composed when a file to be started does not verify (string 106
// with the file's name), and where it goes.
#ifndef INSTALLER_NOT_AUTHENTIC_H
#define INSTALLER_NOT_AUTHENTIC_H

#include <string>

#include "platform.h"

namespace installer {

// String 106 formatted with fileName in place of its %s: the length is
// measured first, then the text is formatted into exactly that length plus
// the terminator. False, with *text untouched, when the format text holds
// any conversion other than one %s (and %%), or cannot be measured or
// formatted.
bool ComposeNotAuthentic(Platform& platform, const wchar_t* fileName, std::wstring* text);

// Composes the text and hands it to a watching debugger; it is never shown.
void ReportNotAuthentic(Platform& platform, const wchar_t* fileName);

}  // namespace installer

#endif
