// The switch table: which arguments select which mode.
#include "modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_fixture.h"

namespace {

// What a mode leaves in the fake: install writes shortcuts and opens the
// loader, start only opens it, remove asks first.
enum class Ran { Nothing, Install, Start, Remove };

Ran WhatRan(const fake::FakePlatform& platform) {
    if (!platform.messageBoxes.empty()) return Ran::Remove;
    if (platform.shellExecutes.empty()) return Ran::Nothing;
    return platform.files.empty() ? Ran::Start : Ran::Install;
}

struct SwitchCase {
    const char* label;
    std::vector<std::wstring> arguments;  // after the program's name
    int expected;
    Ran ran;
};

TEST(DispatchCommandLine, SelectsModesByTheSwitchWithoutRegardToCase) {
    const SwitchCase cases[] = {
        {"install", {L"/install"}, 0, Ran::Install},
        {"upper case", {L"/INSTALL"}, 0, Ran::Install},
        {"mixed case", {L"/InStAlL"}, 0, Ran::Install},
        {"start", {L"/start"}, 0, Ran::Start},
        {"start upper case", {L"/START"}, 0, Ran::Start},
        {"remove (answered No)", {L"/remove"}, 2, Ran::Remove},
        {"remove mixed case", {L"/Remove"}, 2, Ran::Remove},
        {"no argument", {}, 1, Ran::Nothing},
        {"two arguments", {L"/install", L"/start"}, 1, Ran::Nothing},
        {"the script's argument", {L"/uninstall"}, 1, Ran::Nothing},
        {"without the slash", {L"install"}, 1, Ran::Nothing},
        {"a prefix", {L"/inst"}, 1, Ran::Nothing},
        {"longer", {L"/installs"}, 1, Ran::Nothing},
        {"trailing space", {L"/start "}, 1, Ran::Nothing},
        {"empty", {L""}, 1, Ran::Nothing},
        {"dash", {L"-install"}, 1, Ran::Nothing},
        {"non-ASCII folding is not done", {L"/\u0130nstall"}, 1, Ran::Nothing},
    };
    for (const SwitchCase& c : cases) {
        fake::FakePlatform platform;
        platform.answers = {flows::kNo};
        std::vector<std::wstring> words{flows::kProgram};
        words.insert(words.end(), c.arguments.begin(), c.arguments.end());
        std::vector<wchar_t*> argv;
        for (std::wstring& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        EXPECT_EQ(installer::DispatchCommandLine(platform, static_cast<int>(words.size()), argv.data()), c.expected)
            << c.label;
        EXPECT_EQ(WhatRan(platform), c.ran) << c.label;
        if (c.ran == Ran::Nothing) {
            EXPECT_TRUE(platform.calls.empty()) << c.label;
        }
    }
}

TEST(DispatchCommandLine, ACountOfZeroOrNoArrayIsOne) {
    fake::FakePlatform platform;
    EXPECT_EQ(installer::DispatchCommandLine(platform, 0, nullptr), 1);
    EXPECT_EQ(installer::DispatchCommandLine(platform, 2, nullptr), 1);
    EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
