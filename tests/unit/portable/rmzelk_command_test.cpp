// The companion's command line and the folder levels it may remove.
#include <gtest/gtest.h>

#include <string>

#include "rmzelk/rmzelk_command.h"

namespace {

struct ParseCase {
    const char* commandLine;
    bool accepted;
    int depth;
    const char* path;
};

TEST(CompanionCommand, ParsesDepthAndPathToTheEnd) {
    const ParseCase cases[] = {
        {"C:\\WINDOWS\\~rmZELK.~ 2 C:\\App\\unZELK.exe", true, 2, "C:\\App\\unZELK.exe"},
        {"\"C:\\My Windows\\~rmZELK.~\" 0 C:\\App\\unZELK.exe", true, 0, "C:\\App\\unZELK.exe"},
        {"~rmZELK.~ 3 C:\\Program Files\\ZELK\\Game\\unZELK.exe", true, 3,
         "C:\\Program Files\\ZELK\\Game\\unZELK.exe"},
        {"~rmZELK.~\t1\t\\\\server\\share\\App\\unZELK.exe", true, 1, "\\\\server\\share\\App\\unZELK.exe"},
        {"~rmZELK.~ 12   d:\\x y \\unZELK.exe", true, 12, "d:\\x y \\unZELK.exe"},
        {"~rmZELK.~", false, 0, nullptr},
        {"~rmZELK.~ C:\\App\\unZELK.exe", false, 0, nullptr},          // no number
        {"~rmZELK.~ -1 C:\\App\\unZELK.exe", false, 0, nullptr},       // negative
        {"~rmZELK.~ +1 C:\\App\\unZELK.exe", false, 0, nullptr},
        {"~rmZELK.~ 2", false, 0, nullptr},                            // no path
        {"~rmZELK.~ 2   ", false, 0, nullptr},
        {"~rmZELK.~ 2x C:\\App\\unZELK.exe", false, 0, nullptr},
        {"~rmZELK.~ 2 App\\unZELK.exe", false, 0, nullptr},            // relative
        {"~rmZELK.~ 2 C:App\\unZELK.exe", false, 0, nullptr},
        {"~rmZELK.~ 2 \\App\\unZELK.exe", false, 0, nullptr},
        {"~rmZELK.~ 2 \"C:\\App\\unZELK.exe\"", false, 0, nullptr},
        {"~rmZELK.~ 99999999999 C:\\App\\unZELK.exe", false, 0, nullptr},
        {"\"~rmZELK.~ 2 C:\\App\\unZELK.exe", false, 0, nullptr},       // quote never closed
    };
    for (const ParseCase& c : cases) {
        CompanionCommand command{-7, nullptr};
        bool accepted = ParseCompanionCommand(c.commandLine, &command);
        EXPECT_EQ(c.accepted, accepted) << c.commandLine;
        if (accepted && c.accepted) {
            EXPECT_EQ(c.depth, command.depth) << c.commandLine;
            EXPECT_STREQ(c.path, command.path) << c.commandLine;
        }
    }
}

TEST(CompanionCommand, RefusesAPathThatCannotBeAPath) {
    std::string line = "~rmZELK.~ 1 C:\\" + std::string(256, 'a');  // 259 bytes: fits
    CompanionCommand command;
    EXPECT_TRUE(ParseCompanionCommand(line.c_str(), &command));
    line += "b";
    EXPECT_FALSE(ParseCompanionCommand(line.c_str(), &command));
    EXPECT_FALSE(ParseCompanionCommand(nullptr, &command));
}

struct LevelCase {
    const char* file;
    int level;
    const char* folder;  // null: no such level
};

TEST(CompanionFolderLevel, CountsFromTheFilesFolderAndStopsAboveTheDrive) {
    const LevelCase cases[] = {
        {"C:\\Program Files\\ZELK\\Game\\unZELK.exe", 0, "C:\\Program Files\\ZELK\\Game"},
        {"C:\\Program Files\\ZELK\\Game\\unZELK.exe", 1, "C:\\Program Files\\ZELK"},
        {"C:\\Program Files\\ZELK\\Game\\unZELK.exe", 2, "C:\\Program Files"},
        {"C:\\Program Files\\ZELK\\Game\\unZELK.exe", 3, nullptr},   // the drive
        {"C:\\Program Files\\ZELK\\Game\\unZELK.exe", 40, nullptr},
        {"C:\\unZELK.exe", 0, nullptr},
        {"C:\\App\\unZELK.exe", -1, nullptr},
        // 0x95 0x5C is one character: its second byte is no separator.
        {"C:\\\x83\x5c\x83\x74\x83\x67\\\x95\x5c\\unZELK.exe", 0, "C:\\\x83\x5c\x83\x74\x83\x67\\\x95\x5c"},
        {"C:\\\x83\x5c\x83\x74\x83\x67\\\x95\x5c\\unZELK.exe", 1, "C:\\\x83\x5c\x83\x74\x83\x67"},
        {"C:\\\x83\x5c\x83\x74\x83\x67\\\x95\x5c\\unZELK.exe", 2, nullptr},
        {"\\\\server\\share\\App\\unZELK.exe", 0, "\\\\server\\share\\App"},
        {"\\\\server\\share\\App\\unZELK.exe", 1, "\\\\server\\share"},
        {"\\\\server\\share\\App\\unZELK.exe", 2, nullptr},
    };
    for (const LevelCase& c : cases) {
        char out[kCompanionPathSize] = "unchanged";
        bool found = CompanionFolderLevel(out, sizeof out, c.file, c.level);
        EXPECT_EQ(c.folder != nullptr, found) << c.file << " level " << c.level;
        if (found && c.folder != nullptr) {
            EXPECT_STREQ(c.folder, out) << c.file << " level " << c.level;
        }
    }
}

TEST(CompanionFolderLevel, ALevelThatDoesNotFitIsNotCut) {
    char out[8];
    EXPECT_FALSE(CompanionFolderLevel(out, sizeof out, "C:\\Program Files\\unZELK.exe", 0));
    EXPECT_TRUE(CompanionFolderLevel(out, sizeof out, "C:\\Prog\\unZELK.exe", 0));
    EXPECT_STREQ("C:\\Prog", out);
}

}  // namespace
