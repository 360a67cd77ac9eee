// The name rules of zelk-check: what Windows and the uninstall record cannot hold, scanned by
// Shift-JIS character.
#include <gtest/gtest.h>

#include <string>

#include "names.h"

namespace {

struct NameCase {
    const char* name;  // Shift-JIS (this file is compiled with code page 932 literals)
    NameUse use;
    const char* problem;  // a part of the reason, or "" when the name is fine
};

const NameCase kNameCases[] = {
    {"readme.txt", NameUse::kInstalledFile, ""},
    {"ソフト.txt", NameUse::kInstalledFile, ""},  // ソ ends in 0x5C: not a backslash
    {"表\\a.txt", NameUse::kInstalledFile, "backslash"},
    {"sub\\a.txt", NameUse::kRelativeFile, ""},
    {"sub\\a:b", NameUse::kRelativeFile, "\":\""},
    {"a*.txt", NameUse::kInstalledFile, "\"*\""},
    {"a/b", NameUse::kShortcut, "\"/\""},
    {"a|b", NameUse::kGroup, "\"|\""},
    {"tab\there", NameUse::kInstalledFile, "control character"},
    {"", NameUse::kInstalledFile, "empty"},
    {"CON", NameUse::kInstalledFile, "device"},
    {"con.txt", NameUse::kInstalledFile, "device"},
    {"Com1.log", NameUse::kShortcut, "device"},
    {"LPT9", NameUse::kGroup, "device"},
    {"COM10", NameUse::kInstalledFile, ""},
    {"CONSOLE", NameUse::kInstalledFile, ""},
    {"readme.", NameUse::kInstalledFile, "trailing"},
    {"Read me ", NameUse::kShortcut, "trailing"},
    {"a,b.txt", NameUse::kInstalledFile, "uninstall record"},
    {"a,b", NameUse::kShortcut, ""},
    {"a=b.txt", NameUse::kRelativeFile, "uninstall record"},
    {"\x83", NameUse::kInstalledFile, "cut in half"},
    {"..\\data\\x.ex_", NameUse::kSource, ""},
    {"data\\\\x.txt", NameUse::kSource, ""},
    {"x?.txt", NameUse::kSource, "\"?\""},
    {"Game\\Sub", NameUse::kFolder, ""},
    {"Game.", NameUse::kFolder, "trailing"},
};

TEST(CheckerNames, Rules) {
    for (const NameCase& test : kNameCases) {
        SCOPED_TRACE(test.name);
        std::string problem = NameProblem(test.name, test.use);
        if (test.problem[0] == '\0') {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(test.problem), std::string::npos) << problem;
        }
    }
    EXPECT_NE(NameProblem(std::string(256, 'n'), NameUse::kInstalledFile).find("255"), std::string::npos);
    EXPECT_EQ(NameProblem(std::string(255, 'n'), NameUse::kInstalledFile), "");
}

TEST(CheckerNames, CompressedNames) {
    EXPECT_TRUE(IsCompressedName("GAME.EX_"));
    EXPECT_TRUE(IsCompressedName("sub\\x_"));
    EXPECT_FALSE(IsCompressedName("GAME.EXE"));
    EXPECT_FALSE(IsCompressedName("_\\x"));
    EXPECT_FALSE(IsCompressedName("ダ"));  // 0x83 0x5F: a trail byte, not "_"
    EXPECT_EQ(LastComponent("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(LastComponent("ソ"), "ソ");
}

}  // namespace
