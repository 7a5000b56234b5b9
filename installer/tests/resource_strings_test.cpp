// The string table lookup and the composition of the refusal text, against
// the fake platform's string table.
#include "resource_strings.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_platform.h"
#include "not_authentic.h"

namespace {

TEST(LoadResourceString, GivesEveryTextOfTheTableAndEmptyForIdsWithout) {
    fake::FakePlatform platform;
    for (const auto& [id, text] : fake::ProductStrings()) {
        EXPECT_EQ(installer::LoadResourceString(platform, id), text) << id;
    }
    for (unsigned id : {96u, 100u, 107u, 111u, 112u, 0u, 65535u}) {
        EXPECT_EQ(installer::LoadResourceString(platform, id), L"") << id;
    }
}

TEST(LoadResourceString, AsksForBlockIdOver16PlusOneInTheNeutralLanguage) {
    fake::FakePlatform platform;
    installer::LoadResourceString(platform, 105);
    EXPECT_EQ(platform.CallsOf({"FindResourceExW"}), (std::vector<fake::Call>{{"FindResourceExW", L"null, 6, 7, 0"}}));
}

// A block of raw 16-bit units.
std::vector<uint8_t> Block(const std::vector<uint16_t>& units) {
    std::vector<uint8_t> bytes;
    for (uint16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

struct BlockCase {
    const char* label;
    std::vector<uint16_t> units;  // block 1: ids 0 to 15
    unsigned id;
    std::wstring expected;
};

TEST(LoadResourceString, StopsWhereTheWalkLeavesTheBlock) {
    const BlockCase cases[] = {
        {"first entry", {2, 'h', 'i'}, 0, L"hi"},
        {"third entry after two skips", {0, 1, 'a', 2, 'b', 'c'}, 2, L"bc"},
        {"entry of count 0 is absent", {0, 0, 1, 'x'}, 1, L""},
        {"the walk runs past the end", {1, 'a'}, 5, L""},
        {"a skipped count reaches past the end", {40, 'a', 'b'}, 1, L""},
        {"the count reaches past the end", {0, 5, 'a', 'b'}, 1, L""},
        {"the count fills the block exactly", {0, 2, 'a', 'b'}, 1, L"ab"},
        {"empty block", {}, 0, L""},
    };
    for (const BlockCase& c : cases) {
        fake::FakePlatform platform;
        platform.SetStringBlock(1, Block(c.units));
        EXPECT_EQ(installer::LoadResourceString(platform, c.id), c.expected) << c.label;
    }
}

TEST(LoadResourceString, AnyFailingResourceCallGivesAnEmptyText) {
    for (const char* call : {"FindResourceExW", "LoadResource", "LockResource", "SizeofResource"}) {
        fake::FakePlatform platform;
        platform.Fail(call);
        EXPECT_EQ(installer::LoadResourceString(platform, 101), L"") << call;
    }
}

TEST(ComposeNotAuthentic, PutsTheFileNameInPlaceOfTheConversion) {
    fake::FakePlatform platform;
    std::wstring text;
    ASSERT_TRUE(installer::ComposeNotAuthentic(platform, L"zrfetchpad.exe", &text));
    EXPECT_EQ(text,
              L"No ha sido posible comprobar la autenticidad del archivo zrfetchpad.exe. "
              L"No es posible iniciar Ostrel Sweepkit.");
    // Measured first, then formatted into exactly that length and the terminator.
    const std::vector<fake::Call> formatting = platform.CallsOf({"MeasureFormat", "FormatText"});
    ASSERT_EQ(formatting.size(), 2u);
    EXPECT_EQ(formatting[0].name, "MeasureFormat");
    EXPECT_EQ(formatting[1], (fake::Call{"FormatText", std::to_wstring(text.size() + 1)}));
}

struct ComposeFailure {
    const char* label;
    const wchar_t* format;  // text 106; null: the table lacks it
    const char* failingCall;
};

TEST(ComposeNotAuthentic, FailsWithoutFormattingAnythingElse) {
    const ComposeFailure cases[] = {
        {"text missing", nullptr, nullptr},
        {"no conversion", L"archivo", nullptr},
        {"two conversions", L"%s y %s", nullptr},
        {"a conversion that takes another argument", L"%s %d", nullptr},
        {"a lone percent sign at the end", L"%s %", nullptr},
        {"cannot be measured", L"%s", "MeasureFormat"},
        {"cannot be formatted", L"%s", "FormatText"},
    };
    for (const ComposeFailure& c : cases) {
        fake::FakePlatform platform;
        if (c.format == nullptr) {
            platform.RemoveString(106);
        } else {
            platform.SetString(106, c.format);
        }
        if (c.failingCall != nullptr) {
            platform.Fail(c.failingCall, 1);
            platform.Fail(c.failingCall, 2);  // in the report as well
        }
        std::wstring text = L"untouched";
        EXPECT_FALSE(installer::ComposeNotAuthentic(platform, L"Uninstall.vbs", &text)) << c.label;
        EXPECT_EQ(text, L"untouched") << c.label;
        installer::ReportNotAuthentic(platform, L"Uninstall.vbs");
        EXPECT_TRUE(platform.debugOutput.empty()) << c.label;
    }
}

TEST(ComposeNotAuthentic, KeepsADoubledPercentSign) {
    fake::FakePlatform platform;
    platform.SetString(106, L"100%% %s");
    std::wstring text;
    ASSERT_TRUE(installer::ComposeNotAuthentic(platform, L"x", &text));
    EXPECT_EQ(text, L"100% x");
}

}  // namespace
