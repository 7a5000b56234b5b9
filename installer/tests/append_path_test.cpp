// AppendPath: the join with its backslash rules and the cut at the capacity.
#include "append_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "path_buffer.h"

namespace {

struct JoinCase {
    const char* label;
    std::wstring path;
    std::wstring name;
    std::wstring expected;
};

TEST(AppendPath, JoinsWithOneBackslashUnlessOneIsThere) {
    const JoinCase cases[] = {
        {"plain join", L"C:\\Desktop", L"a.lnk", L"C:\\Desktop\\a.lnk"},
        {"folder ends with a backslash", L"C:\\Desktop\\", L"a.lnk", L"C:\\Desktop\\a.lnk"},
        {"name begins with a backslash", L"C:\\Desktop", L"\\a.lnk", L"C:\\Desktop\\a.lnk"},
        {"both keep their backslash", L"C:\\Desktop\\", L"\\a.lnk", L"C:\\Desktop\\\\a.lnk"},
        {"empty path stays empty", L"", L"wscript.exe", L""},
        {"empty name adds the separator", L"C:\\windows", L"", L"C:\\windows\\"},
        {"a drive root", L"C:\\", L"wscript.exe", L"C:\\wscript.exe"},
    };
    for (const JoinCase& c : cases) {
        installer::PathBuffer buffer;
        c.path.copy(buffer.text, c.path.size());
        installer::AppendPath(buffer.text, installer::kPathBufferSize, c.name.c_str());
        EXPECT_EQ(std::wstring(buffer.text), c.expected) << c.label;
    }
}

struct CutCase {
    const char* label;
    size_t folderLength;  // a folder of 'd's
    std::wstring name;
};

TEST(AppendPath, CutsAtTheCapacityAndStaysTerminated) {
    const CutCase cases[] = {
        {"fits exactly", 253, L"a.lnk"},
        {"one too long", 254, L"a.lnk"},
        {"room for the backslash only", 258, L"a.lnk"},
        {"full folder: nothing added", 259, L"a.lnk"},
        {"short folder, long name", 10, std::wstring(300, L'n')},
    };
    for (const CutCase& c : cases) {
        wchar_t buffer[installer::kPathBufferSize + 8];
        std::fill(std::begin(buffer), std::end(buffer), L'#');  // shows a write beyond the capacity
        std::fill(buffer, buffer + c.folderLength, L'd');
        buffer[c.folderLength] = L'\0';
        installer::AppendPath(buffer, installer::kPathBufferSize, c.name.c_str());
        const std::wstring whole = std::wstring(c.folderLength, L'd') + L"\\" + c.name;
        EXPECT_EQ(std::wstring(buffer), whole.substr(0, 259)) << c.label;
        for (size_t i = installer::kPathBufferSize; i < std::size(buffer); ++i) {
            EXPECT_EQ(buffer[i], L'#') << c.label << ": written at " << i;
        }
    }
}

TEST(AppendPath, NoBufferNoNameOrNoCapacityChangesNothing) {
    wchar_t buffer[8] = L"C:";
    installer::AppendPath(nullptr, 8, L"x");
    installer::AppendPath(buffer, 8, nullptr);
    installer::AppendPath(buffer, 0, L"x");
    EXPECT_EQ(std::wstring(buffer), L"C:");
}

TEST(AppendPath, AnUnterminatedTextIsCutToFit) {
    wchar_t buffer[4] = {L'a', L'b', L'c', L'd'};
    installer::AppendPath(buffer, 4, L"x");
    EXPECT_EQ(std::wstring(buffer), L"abc");
}

}  // namespace
