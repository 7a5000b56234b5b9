// Composition of the refusal text and its one reader, a debugger.
#include "not_authentic.h"

#include <vector>

#include "resource_strings.h"

namespace installer {
namespace {

// The format takes exactly one wide-string argument: one %s, and %% for
// a percent sign. Anything else would read an argument that is not there.
bool TakesOneString(const std::wstring& format) {
    int strings = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') continue;
        if (i + 1 == format.size()) return false;
        const wchar_t next = format[++i];
        if (next == L's') {
            ++strings;
        } else if (next != L'%') {
            return false;
        }
    }
    return strings == 1;
}

}  // namespace

bool ComposeNotAuthentic(Platform& platform, const wchar_t* fileName, std::wstring* text) {
    const std::wstring format = LoadResourceString(platform, IDS_NOT_AUTHENTIC);
    if (!TakesOneString(format)) return false;
    const int length = platform.MeasureFormat(format.c_str(), fileName);
    if (length < 0) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    if (platform.FormatText(buffer.data(), buffer.size(), format.c_str(), fileName) != length) return false;
    text->assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

void ReportNotAuthentic(Platform& platform, const wchar_t* fileName) {
    std::wstring text;
    if (ComposeNotAuthentic(platform, fileName, &text)) platform.OutputDebugStringW(text.c_str());
}

}  // namespace installer
