// Command lines and command strings that cross between programs: the uninstall command,
// its parsing in unZELK, Program Manager's commands, and the DLL comparison.
#include <gtest/gtest.h>

#include <string>

#include "common/command.h"
#include "common/progman.h"
#include "setup/dll_compare.h"

namespace {

TEST(UninstallCommand, QuotingRule) {
    const struct {
        const char *destination, *record, *expected;
    } cases[] = {
        {"C:\\Program Files\\App", "unZELK.dat",
         "\"C:\\Program Files\\App\\unZELK.exe\" *C:\\Program Files\\App\\unZELK.dat"},
        {"C:\\App", "unZELK.dat", "C:\\App\\unZELK.exe *C:\\App\\unZELK.dat"},
        {"C:\\", "my record.dat", "C:\\unZELK.exe *C:\\my record.dat"},
        {"C:\\ソフト", "表.dat", "C:\\ソフト\\unZELK.exe *C:\\ソフト\\表.dat"},
    };
    for (const auto& test : cases) {
        char out[260];
        EXPECT_TRUE(FormatUninstallCommand(out, sizeof out, test.destination, test.record));
        EXPECT_STREQ(out, test.expected);
        // unZELK finds the record path again behind the program name.
        EXPECT_STREQ(RecordPathFromArguments(SkipProgramName(out)),
                     (std::string(test.destination) + (test.destination[3] ? "\\" : "") + test.record).c_str());
    }
}

TEST(UninstallCommand, DoesNotFit) {
    std::string destination = "C:\\" + std::string(120, 'd');
    char out[260] = "old";
    EXPECT_FALSE(FormatUninstallCommand(out, sizeof out, destination.c_str(), "unZELK.dat"));
    EXPECT_STREQ(out, "");
    std::string longName(250, 'r');
    EXPECT_FALSE(FormatUninstallCommand(out, sizeof out, "C:\\App", longName.c_str()));
}

TEST(UninstallCommand, Arguments) {
    const struct {
        const char *commandLine, *arguments, *record;
    } cases[] = {
        {"\"C:\\Program Files\\A\\unZELK.exe\" *C:\\A B\\x.dat", "*C:\\A B\\x.dat", "C:\\A B\\x.dat"},
        {"C:\\A\\unZELK.exe *C:\\A\\x.dat", "*C:\\A\\x.dat", "C:\\A\\x.dat"},
        {"unZELK.exe \t ** \tC:\\x.dat ", "** \tC:\\x.dat ", "C:\\x.dat "},
        {"unZELK.exe", "", ""},
        {"\"unclosed name", "", ""},
        {"\"a\"b", "b", "b"},
        {"unZELK.exe C:\\x.dat", "C:\\x.dat", "C:\\x.dat"},
    };
    for (const auto& test : cases) {
        const char* arguments = SkipProgramName(test.commandLine);
        EXPECT_STREQ(arguments, test.arguments) << test.commandLine;
        EXPECT_STREQ(RecordPathFromArguments(arguments), test.record) << test.commandLine;
    }
}

TEST(ProgmanCommands, Strings) {
    char out[kProgmanCommandSize];
    EXPECT_TRUE(FormatCreateGroup(out, sizeof out, "Games", nullptr));
    EXPECT_STREQ(out, "[CreateGroup(Games)]");
    EXPECT_TRUE(FormatCreateGroup(out, sizeof out, "Games", ""));
    EXPECT_STREQ(out, "[CreateGroup(Games)]");
    EXPECT_TRUE(FormatCreateGroup(out, sizeof out, "Games", "GAMES.GRP"));
    EXPECT_STREQ(out, "[CreateGroup(Games,GAMES.GRP)]");
    EXPECT_TRUE(FormatShowGroup(out, sizeof out, "Games", 1));
    EXPECT_STREQ(out, "[ShowGroup(Games,1)]");
    EXPECT_TRUE(FormatShowGroup(out, sizeof out, "Games", 0x10005));
    EXPECT_STREQ(out, "[ShowGroup(Games,5)]");
    EXPECT_TRUE(FormatAddItem(out, sizeof out, "\"C:\\A\\a.exe\"", "Game", nullptr, 3));
    EXPECT_STREQ(out, "[AddItem(\"C:\\A\\a.exe\",Game)]");
    EXPECT_TRUE(FormatAddItem(out, sizeof out, "a.exe", "Game", "C:\\i.ico", 2));
    EXPECT_STREQ(out, "[AddItem(a.exe,Game,C:\\i.ico,2)]");
    EXPECT_TRUE(FormatDeleteItem(out, sizeof out, "Game"));
    EXPECT_STREQ(out, "[DeleteItem(Game)]");
    EXPECT_TRUE(FormatDeleteGroup(out, sizeof out, "Games"));
    EXPECT_STREQ(out, "[DeleteGroup(Games)]");
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        EXPECT_FALSE(FormatShowGroup(out, sizeof out, name, 1));
        EXPECT_FALSE(FormatDeleteItem(out, sizeof out, name));
        EXPECT_FALSE(FormatDeleteGroup(out, sizeof out, name));
    }
}

TEST(ProgmanCommands, TooLongIsNotFormed) {
    std::string name(256 - sizeof("[DeleteGroup()]"), 'g');  // exactly fills the buffer
    char out[kProgmanCommandSize];
    EXPECT_TRUE(FormatDeleteGroup(out, sizeof out, name.c_str()));
    name += "g";
    EXPECT_FALSE(FormatDeleteGroup(out, sizeof out, name.c_str()));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(FormatAddItem(out, sizeof out, name.c_str(), "item name", nullptr, 0));
    EXPECT_STREQ(out, "");
}

TEST(ProgmanCommands, GroupDataIsEmpty) {
    const struct {
        const char* data;
        bool empty;
    } cases[] = {
        {"Games,C:\\WINNT\\GAMES.GRP,0,1,2\r\n", true},
        {"Games,GAMES.GRP,12\r\nitem", false},
        {"Games,GAMES.GRP,", false},
        {"Games,GAMES.GRP", false},
        {"", false},
        {",,0", true},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(GroupDataIsEmpty(test.data, strlen(test.data) + 1), test.empty) << test.data;
    }
    const char unterminated[] = {'G', ',', 'F', ',', '0'};
    EXPECT_TRUE(GroupDataIsEmpty(unterminated, sizeof unterminated));
    EXPECT_FALSE(GroupDataIsEmpty(unterminated, 4));  // the count lies beyond the data
    EXPECT_FALSE(GroupDataIsEmpty(nullptr, 0));
    std::string big = "G,F,0" + std::string(1100, ' ');
    EXPECT_FALSE(GroupDataIsEmpty(big.c_str(), big.size() + 1));
}

TEST(ProgmanCommands, GroupDataHoldsItem) {
    const char data[] = "Games,GAMES.GRP,3\r\n\"Solitaire\",\"SOL.EXE\",,SOL.EXE,0,0,0,0,0\r\n"
                        "\"Read me\"\r\n\"ZELKサンプルゲーム\"";
    const struct {
        const char* item;
        bool held;
    } cases[] = {
        {"Solitaire", true},
        {"solitaire", true},  // Program Manager ignores the case of names
        {"Read me", true},
        {"ZELKサンプルゲーム", true},  // the last line, without a line end
        {"Games", false},     // the group's own line names no item
        {"Solitair", false},
        {"Solitaire2", false},
        {"SOL.EXE", false},   // only the first field of a line is the name
        {"", false},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(test.held, GroupDataHoldsItem(data, sizeof data, test.item)) << test.item;
    }
    EXPECT_FALSE(GroupDataHoldsItem(data, 30, "Read me")) << "an item beyond the data";
    EXPECT_FALSE(GroupDataHoldsItem(nullptr, 0, "Read me"));
}

FixedFileInfo Version(uint32_t fileMS, uint32_t fileLS, uint32_t productMS, uint32_t productLS,
                      uint32_t dateMS = 0, uint32_t dateLS = 0) {
    FixedFileInfo info{};
    info.fileVersionMS = fileMS;
    info.fileVersionLS = fileLS;
    info.productVersionMS = productMS;
    info.productVersionLS = productLS;
    info.fileDateMS = dateMS;
    info.fileDateLS = dateLS;
    return info;
}

TEST(DllCompare, Rule) {
    const struct {
        const char* name;
        FixedFileInfo source, dest;
        int expected;
    } cases[] = {
        {"file version higher", Version(1, 2, 0, 0), Version(1, 1, 9, 9), 1},
        {"file version lower", Version(1, 1, 9, 9), Version(1, 2, 0, 0), 0},
        {"high half decides, unsigned", Version(0x80000000u, 0, 0, 0), Version(1, 0xFFFFFFFFu, 0, 0), 1},
        {"product version higher", Version(1, 0, 2, 0), Version(1, 0, 1, 5), 1},
        {"product version lower", Version(1, 0, 1, 5), Version(1, 0, 2, 0), 0},
        {"date later", Version(1, 0, 1, 0, 0, 5), Version(1, 0, 1, 0, 0, 4), 2},
        {"date earlier", Version(1, 0, 1, 0, 0, 4), Version(1, 0, 1, 0, 1, 0), 2},
        {"all equal", Version(1, 0, 1, 0, 3, 4), Version(1, 0, 1, 0, 3, 4), 0},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(CompareFixedFileInfo(test.source, test.dest), test.expected) << test.name;
    }
    EXPECT_EQ(Compare64(0, 0xFFFFFFFFu, 1, 0), -1);
    EXPECT_EQ(Compare64(2, 1, 2, 1), 0);
}

}  // namespace
