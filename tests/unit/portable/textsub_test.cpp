// Path and text helpers, the line reader and the tokenizer: the cases that decide where a
// path is cut, including Shift-JIS characters whose second byte is 0x5C.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/linereader.h"
#include "common/textsub.h"
#include "common/token.h"
#include "temp_file.h"

namespace {

// "ソ" and "表" end in the byte 0x5C in Shift-JIS.
const char kSoft[] = "C:\\ソフト\\表";
static_assert(sizeof("ソ") == 3 && "ソ"[1] == '\\', "tests are compiled to Shift-JIS");

TEST(TextSub, JoinPath) {
    const struct {
        const char *folder, *name, *expected;
    } cases[] = {
        {"C:\\", "A.TXT", "C:\\A.TXT"},
        {"C:", "A.TXT", "C:\\A.TXT"},
        {"C:\\GAME", "A.TXT", "C:\\GAME\\A.TXT"},
        {"", "A.TXT", "\\A.TXT"},
        {"C:\\表", "A", "C:\\表\\A"},
        {"C:\\ソ\\", "A", "C:\\ソ\\A"},
    };
    for (const auto& test : cases) {
        char out[kPathSize];
        EXPECT_TRUE(JoinPath(out, test.folder, test.name));
        EXPECT_STREQ(out, test.expected) << test.folder;
    }
}

TEST(TextSub, JoinPathOverflowAndAliasing) {
    std::string folder(200, 'f');
    std::string name(59, 'n');
    char out[kPathSize] = "old";
    EXPECT_FALSE(JoinPath(out, folder.c_str(), name.c_str()));  // 200 + 1 + 59 = 260 bytes
    EXPECT_STREQ(out, "");
    name.pop_back();
    EXPECT_TRUE(JoinPath(out, folder.c_str(), name.c_str()));
    EXPECT_EQ(strlen(out), 259u);

    char path[kPathSize] = "C:\\A";
    EXPECT_TRUE(JoinPath(path, path, "B"));
    EXPECT_STREQ(path, "C:\\A\\B");
}

TEST(TextSub, SplitPath) {
    const struct {
        const char *path, *folder, *name;
    } cases[] = {
        {"C:\\GAME\\A.TXT", "C:\\GAME", "A.TXT"},
        {"C:\\A.TXT", "C:", "A.TXT"},
        {"A.TXT", "", "A.TXT"},
        {"C:\\GAME\\", "C:\\GAME", ""},
        {kSoft, "C:\\ソフト", "表"},
        {"表", "", "表"},
    };
    for (const auto& test : cases) {
        char folder[kPathSize], name[kPathSize];
        EXPECT_TRUE(SplitPath(folder, name, test.path));
        EXPECT_STREQ(folder, test.folder) << test.path;
        EXPECT_STREQ(name, test.name) << test.path;
    }
    char small[4], name[kPathSize];
    EXPECT_FALSE(SplitPath(small, name, "C:\\GAME\\A"));
    EXPECT_STREQ(small, "");
}

TEST(TextSub, GetAncestorPath) {
    const struct {
        const char* path;
        int n;
        int result;
        const char* expected;
    } cases[] = {
        {"C:\\A\\B\\C", 0, 0, "C:\\A\\B\\C"}, {"C:\\A\\B\\C", 1, 0, "C:\\A\\B"},
        {"C:\\A\\B\\C", 2, 0, "C:\\A"},        {"C:\\A\\B\\C", 3, 0, "C:"},
        {"C:\\A\\B\\C", 4, -1, "unchanged"},   {"C:\\A\\", 1, 0, "C:\\A"},
        {"\\A", 1, -1, "unchanged"},           {kSoft, 1, 0, "C:\\ソフト"},
        {kSoft, 2, 0, "C:"},                   {kSoft, 3, -1, "unchanged"},
    };
    for (const auto& test : cases) {
        char out[kPathSize] = "unchanged";
        EXPECT_EQ(GetAncestorPath(out, test.path, test.n), test.result) << test.path << test.n;
        EXPECT_STREQ(out, test.expected) << test.path << " " << test.n;
    }
    char small[8] = "same";
    EXPECT_EQ(GetAncestorPath(small, "C:\\LONGER\\A", 0), -1);
    EXPECT_STREQ(small, "same");
    EXPECT_EQ(GetAncestorPath(small, "C:\\LONGER\\A", 1), -1);
    EXPECT_STREQ(small, "same");
}

TEST(TextSub, ReplaceExtension) {
    const struct {
        const char *path, *expected;
    } cases[] = {
        {"FONT.TTF", "FONT.fot"},
        {"C:\\V1.0\\FONT", "C:\\V1.fot"},
        {"FONT", "FONT.fot"},
        {"表.TTF", "表.fot"},
    };
    for (const auto& test : cases) {
        char out[kPathSize];
        EXPECT_TRUE(ReplaceExtension(out, test.path, ".fot"));
        EXPECT_STREQ(out, test.expected);
    }
    char small[8];
    EXPECT_FALSE(ReplaceExtension(small, "ABCD.TTF", ".fot1"));
    EXPECT_STREQ(small, "");
}

TEST(TextSub, TrimAndStrip) {
    const struct {
        const char *text, *trimmed;
    } cases[] = {
        {"\t  ABC D ", "ABC D"}, {"   ", ""}, {"", ""}, {"\tx", "x"}, {"表 ", "表"},
    };
    for (const auto& test : cases) {
        char s[kPathSize];
        strcpy(s, test.text);
        TrimBlanks(s);
        EXPECT_STREQ(s, test.trimmed);
    }
    char line[] = "abc\r\n\r\n";
    StripLineEnd(line);
    EXPECT_STREQ(line, "abc");
    char cr[] = "a\rb\r";
    StripLineEnd(cr);
    EXPECT_STREQ(cr, "a\rb");
}

// What a record line may name: a path in the product's folder, a name that stays in the
// folder it is joined to, a bare file name.
TEST(TextSub, WhatStaysWithinAFolder) {
    const struct {
        const char* path;
        const char* folder;
        bool within;
    } paths[] = {
        {"C:\\Game\\a.exe", "C:\\Game", true},
        {"c:\\GAME\\sub\\a.exe", "C:\\game", true},  // ASCII letters in either case
        {"C:\\Game", "C:\\Game", true},               // the folder itself
        {"C:\\a.exe", "C:\\", true},                  // a folder that ends in a backslash
        {"C:\\Game2\\a.exe", "C:\\Game", false},      // only a prefix of the name
        {"C:\\Gam", "C:\\Game", false},
        {"C:\\Other\\a.exe", "C:\\Game", false},
        {"C:\\Game\\", "C:\\Game", false},
        {"C:\\Game\\..\\Windows\\a.dll", "C:\\Game", false},
        {"C:\\Game\\sub\\..\\..\\a.dll", "C:\\Game", false},
        {"C:\\Game\\.../a.dll", "C:\\Game", false},
        {"C:\\Game/../a.dll", "C:\\Game", false},     // "/" is not the folder's backslash
        {"C:\\Game\\a/../../b", "C:\\Game", false},   // and separates components all the same
        {"C:\\Game\\\\a.exe", "C:\\Game", false},     // an empty component
        {"C:\\Game\\C:a.exe", "C:\\Game", false},
        {"C:\\Game\\a.exe", "", false},
        {"", "C:\\Game", false},
        // "ソ" and "表" end in 0x5C, "ｱ" is one byte; "ソa" and "ソA" are different names.
        {"C:\\ソフト\\表\\a.exe", "C:\\ソフト\\表", true},
        {"C:\\ソフト\\表", "C:\\ソフト", true},
        {"C:\\\x83\x61\\a.exe", "C:\\\x83\x41", false},
        {"C:\\ｱ\\a.exe", "C:\\ｱ", true},
    };
    for (const auto& test : paths) {
        EXPECT_EQ(IsPathWithin(test.path, test.folder), test.within) << test.path << " in " << test.folder;
    }
    EXPECT_FALSE(IsPathWithin(nullptr, "C:\\Game"));

    const struct {
        const char* name;
        bool within;
        bool bare;
    } names[] = {
        {"SAMPLE.DLL", true, true},
        {"表示.TTF", true, true},
        {"ZELK\\Sample", true, false},
        {"..", false, false},
        {"..\\Startup", false, false},
        {"a\\..\\..\\b", false, false},
        {"...", false, false},
        {". .", false, false},
        {"a\\", false, false},
        {"\\a", false, false},
        {"a/b", true, false},
        {"C:x.dll", false, false},
        {".profile", true, true},
        {"", false, false},
    };
    for (const auto& test : names) {
        EXPECT_EQ(IsNameWithin(test.name), test.within) << test.name;
        EXPECT_EQ(IsBareName(test.name), test.bare) << test.name;
    }
    EXPECT_FALSE(IsNameWithin(nullptr));
}

TEST(TextSub, DriveRootAndCopies) {
    char root[4] = "x";
    EXPECT_EQ(GetDriveRoot(root, "D:\\GAME"), 0);
    EXPECT_STREQ(root, "D:\\");
    EXPECT_EQ(GetDriveRoot(root, "1:"), 0);  // the first byte need not be a letter
    EXPECT_STREQ(root, "1:\\");
    strcpy(root, "x");
    EXPECT_EQ(GetDriveRoot(root, "\\\\server\\share"), -1);
    EXPECT_EQ(GetDriveRoot(root, ""), -1);
    EXPECT_EQ(GetDriveRoot(root, "C"), -1);
    EXPECT_STREQ(root, "x");

    char small[4];
    EXPECT_TRUE(CopyString(small, "abc"));
    EXPECT_FALSE(AppendString(small, "d"));
    EXPECT_STREQ(small, "");
    EXPECT_EQ(DuplicateString(nullptr), nullptr);
    EXPECT_EQ(ParseDecimal("  -12x"), -12);
    EXPECT_EQ(ParseDecimal("99999999999999"), 2147483647);
    char number[12];
    for (int value : {0, 47, -305, -2147483647 - 1}) {
        FormatDecimal(number, value);
        EXPECT_EQ(ParseDecimal(number), value) << number;
    }
}

// The pieces a text file is read in, each with the line it came from.
std::vector<std::string> ReadPieces(const std::string& bytes, std::vector<int>* numbers = nullptr) {
    TempFile file(bytes);
    LineReader reader;
    std::vector<std::string> pieces;
    if (!reader.Open(file.path())) return {"(cannot open)"};
    char line[kPathSize];
    while (reader.Next(line)) {
        pieces.push_back(line);
        if (numbers) numbers->push_back(reader.LineNumber());
    }
    return pieces;
}

TEST(LineReader, TextModeRules) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(ReadPieces("a\r\nb\nc"), (Pieces{"a\n", "b\n", "c"}));
    EXPECT_EQ(ReadPieces("a\rb\r\r\n"), (Pieces{"a\rb\r\n"}));
    EXPECT_EQ(ReadPieces("a\r"), (Pieces{"a\r"}));
    EXPECT_EQ(ReadPieces("a\n\x1A" "b\n"), (Pieces{"a\n"}));
    EXPECT_EQ(ReadPieces("a\r\x1A\n"), (Pieces{"a\r"}));
    EXPECT_EQ(ReadPieces(""), (Pieces{}));

    std::vector<int> numbers;
    Pieces pieces = ReadPieces(std::string(259, 'x') + "\r\n" + std::string(300, 'y') + "\nz", &numbers);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0], std::string(259, 'x'));
    EXPECT_EQ(pieces[1], "\n");
    EXPECT_EQ(pieces[2], std::string(259, 'y'));
    EXPECT_EQ(pieces[3], std::string(41, 'y') + "\n");
    EXPECT_EQ(numbers, (std::vector<int>{1, 1, 2, 2, 3}));
}

TEST(Tokenizer, SplitLikeStrtok) {
    const struct {
        const char *line, *separators;
        int count;
        const char *first, *second;
    } cases[] = {
        {"a=b", "=", 2, "a", "b"},       {" key = some value ", "=", 2, "key", "some value"},
        {"a=b=c", "=", 2, "a", "b"},     {"a==b", "=", 2, "a", "b"},
        {"=a", "=", 1, "a", ""},         {"a=", "=", 1, "a", ""},
        {"a= ", "=", 2, "a", ""},        {"   ", ",", 1, "", ""},
        {",,,", ",", 0, "", ""},         {"", ",", 0, "", ""},
        {"表=ソ", "=", 2, "表", "ソ"},
    };
    Tokenizer tokens;
    for (const auto& test : cases) {
        EXPECT_EQ(tokens.Split(test.line, test.separators), test.count) << test.line;
        EXPECT_STREQ(tokens.FieldText(0), test.first) << test.line;
        EXPECT_STREQ(tokens.FieldText(1), test.second) << test.line;
    }
}

TEST(Tokenizer, Keywords) {
    Tokenizer tokens;
    tokens.Split("MenuGroup = Games", "=");
    EXPECT_TRUE(tokens.IsKeyword("MENUGROUP"));
    EXPECT_FALSE(tokens.IsKeyword("MENU"));
    EXPECT_FALSE(tokens.IsKeyword("MENUGROUPS"));
    char* value = DuplicateString("old");
    EXPECT_TRUE(tokens.AssignKeyword("menugroup", &value));
    EXPECT_STREQ(value, "Games");
    free(value);
    char buffer[kPathSize] = "";
    EXPECT_FALSE(tokens.CopyKeyword("BASENAME", buffer, sizeof buffer));
    EXPECT_TRUE(tokens.CopyKeyword("MENUgroup", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Games");
    // A field can be split again in place.
    tokens.Split("DLL = a.dl_>a.dll", "=");
    EXPECT_EQ(tokens.Split(tokens.FieldText(1), ">"), 2);
    EXPECT_STREQ(tokens.FieldText(0), "a.dl_");
    EXPECT_STREQ(tokens.FieldText(1), "a.dll");
    EXPECT_TRUE(SameTextAnyCase("", ""));
    EXPECT_FALSE(SameTextAnyCase("[", "{"));  // only letters are folded
}

}  // namespace
