// The try-out's bookkeeping, apart from any installation: snapshots survive the trip through
// their file, differences are named by kind, and Program Manager's groups are replayed from
// the recorded commands as Program Manager keeps them.
#include <gtest/gtest.h>

#include <windows.h>

#include "tryout.h"

namespace tryout {
namespace {

TEST(TryoutSnapshot, SurvivesItsFile) {
    Snapshot snapshot = {
        {"C:\\Program Files\\ZELK\\ソフト表\\a.txt", "12 bytes, 2026-12-07 09:45:52, read-only"},
        {"C:\\Program Files\\ZELK", "<folder>"},
        {"HKLM\\Software\\ZELK\\App : multi", "REG_SZ line one\r\nline two\tand a tab \x01 and 0x01"},
        {"HKCU\\Software\\ZELK : ", "REG_SZ "},
    };
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "tryout-snapshot.txt";
    ASSERT_TRUE(SaveSnapshot(snapshot, path));
    Snapshot read;
    ASSERT_TRUE(LoadSnapshot(path, read));
    DeleteFileA(path.c_str());
    EXPECT_EQ(snapshot, read);
}

TEST(TryoutSnapshot, DifferencesAreNamedByKind) {
    const Snapshot before = {{"C:\\a", "1 bytes"}, {"C:\\b", "2 bytes"}, {"C:\\c", "<folder>"}};
    const Snapshot after = {{"C:\\a", "1 bytes"}, {"C:\\b", "3 bytes"}, {"C:\\d", "4 bytes"}};
    std::vector<Difference> differences = Compare(before, after);
    ASSERT_EQ(3u, differences.size());
    EXPECT_EQ('~', differences[0].kind);
    EXPECT_EQ("C:\\b", differences[0].name);
    EXPECT_EQ("2 bytes", differences[0].before);
    EXPECT_EQ("3 bytes", differences[0].after);
    EXPECT_EQ('-', differences[1].kind);
    EXPECT_EQ("C:\\c", differences[1].name);
    EXPECT_EQ('+', differences[2].kind);
    EXPECT_EQ("C:\\d", differences[2].name);
    EXPECT_TRUE(Compare(after, after).empty());
}

std::string Describe(const std::vector<ProgmanGroup>& groups) {
    std::string text;
    for (const ProgmanGroup& group : groups) {
        text += group.name + ":";
        for (const std::string& item : group.items) text += " [" + item + "]";
        text += ";";
    }
    return text;
}

TEST(TryoutProgman, GroupsAreReplayedAsProgramManagerKeepsThem) {
    struct Case {
        const char* what;
        std::vector<std::string> commands;
        const char* groups;
    };
    const Case cases[] = {
        {"an installation",
         {"[CreateGroup(Game)]", "[ShowGroup(Game,1)]", "[AddItem(\"C:\\G,1\\g.exe\",Game)]",
          "[AddItem(\"C:\\G\\unZELK.exe\" *C:\\G\\unZELK.dat,Remove Game)]"},
         "Game: [Game  (\"C:\\G,1\\g.exe\")] [Remove Game  (\"C:\\G\\unZELK.exe\" *C:\\G\\unZELK.dat)];"},
        {"the removal that follows it",
         {"[CreateGroup(Game)]", "[AddItem(\"g.exe\",Game)]", "[AddItem(\"u.exe\",Remove Game)]",
          "[ShowGroup(Game,1)]", "[DeleteItem(Game)]", "[DeleteItem(Remove Game)]", "[DeleteGroup(Game)]"},
         ""},
        {"an item deleted from the group last shown, not the last created",
         {"[CreateGroup(A)]", "[AddItem(\"a.exe\",Same)]", "[CreateGroup(B)]", "[AddItem(\"b.exe\",Same)]",
          "[ShowGroup(A,1)]", "[DeleteItem(Same)]"},
         "A:;B: [Same  (\"b.exe\")];"},
        {"a group with an item left is still there",
         {"[CreateGroup(Game)]", "[AddItem(\"g.exe\",Game)]", "[AddItem(\"r.txt\",Read me)]", "[ShowGroup(Game,1)]",
          "[DeleteItem(Game)]"},
         "Game: [Read me  (\"r.txt\")];"},
        {"items without a group and malformed commands change nothing",
         {"[AddItem(\"g.exe\",Game)]", "CreateGroup(Game)", "[DeleteGroup(Other)]", ""},
         ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.groups, Describe(ReplayProgman(c.commands))) << c.what;
    }
}

}  // namespace
}  // namespace tryout

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
