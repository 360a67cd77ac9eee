// Start-menu entries: the Program Manager client against the stand-in server, and
// CreateMenuItems as Windows 95 (shortcut files) and as Windows NT (Program Manager).
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "actions_support.h"
#include "common/progman.h"
#include "common/uninst.h"
#include "common/system.h"
#include "setup/journal.h"
#include "tests/support/files.h"
#include "tests/tools/progman_standin.h"

using namespace unit;

namespace {

const char kGroup[] = "ZELKテストグループ";

class ProgmanClient : public testing::Test {
protected:
    void StartStandin(const std::string& extra = "") {
        CreateDirectoryA("C:\\zelk-unit", nullptr);
        ASSERT_TRUE(standin_.Start(TestDataPath("progman_standin.exe"), "C:\\zelk-unit\\progman.rec", extra))
            << "progman_standin.exe did not start";
    }
    ProgmanStandin standin_;
};

TEST_F(ProgmanClient, SendsEachCommandWithItsTerminator) {
    StartStandin();
    EXPECT_EQ(1, ProgmanCreateGroup(kGroup, nullptr));
    EXPECT_EQ(1, ProgmanCreateGroup(kGroup, "ZELK.GRP"));
    EXPECT_EQ(1, ProgmanShowGroup(kGroup, 65537));
    EXPECT_EQ(1, ProgmanAddItem("\"C:\\App\\game.exe\"", "ゲーム", nullptr, 0));
    EXPECT_EQ(1, ProgmanAddItem("C:\\App\\game.exe", "ゲーム", "C:\\App\\game.ico", 3));
    EXPECT_EQ(1, ProgmanDeleteItem("ゲーム"));
    EXPECT_EQ(1, ProgmanDeleteGroup(kGroup));
    std::vector<std::string> expected = {
        "[CreateGroup(ZELKテストグループ)]",
        "[CreateGroup(ZELKテストグループ,ZELK.GRP)]",
        "[ShowGroup(ZELKテストグループ,1)]",
        "[AddItem(\"C:\\App\\game.exe\",ゲーム)]",
        "[AddItem(C:\\App\\game.exe,ゲーム,C:\\App\\game.ico,3)]",
        "[DeleteItem(ゲーム)]",
        "[DeleteGroup(ZELKテストグループ)]",
    };
    EXPECT_EQ(expected, standin_.Commands());
}

TEST_F(ProgmanClient, SendsNothingForAnEmptyNameOrACommandThatDoesNotFit) {
    StartStandin();
    EXPECT_EQ(0, ProgmanShowGroup("", 1));
    EXPECT_EQ(0, ProgmanShowGroup(nullptr, 1));
    EXPECT_EQ(0, ProgmanDeleteItem(""));
    EXPECT_EQ(0, ProgmanDeleteGroup(nullptr));
    EXPECT_EQ(0, ProgmanGroupIsEmpty(""));
    std::string longPath = "\"C:\\" + std::string(240, 'x') + "\"";
    EXPECT_EQ(0, ProgmanAddItem(longPath.c_str(), "item", nullptr, 0));
    EXPECT_EQ(0, ProgmanCreateGroup(std::string(250, 'g').c_str(), nullptr));
    EXPECT_TRUE(standin_.Commands().empty());
}

TEST_F(ProgmanClient, TellsAnEmptyGroupFromOneWithItems) {
    StartStandin();
    ASSERT_EQ(1, ProgmanCreateGroup(kGroup, nullptr));
    EXPECT_EQ(1, ProgmanGroupIsEmpty(kGroup));
    ASSERT_EQ(1, ProgmanAddItem("\"C:\\App\\game.exe\"", "ゲーム", nullptr, 0));
    EXPECT_EQ(0, ProgmanGroupIsEmpty(kGroup));
    // Each question has a conversation of its own, so it can be asked again and again.
    EXPECT_EQ(0, ProgmanGroupIsEmpty(kGroup));
    ASSERT_EQ(1, ProgmanDeleteItem("ゲーム"));
    EXPECT_EQ(1, ProgmanGroupIsEmpty(kGroup));
    EXPECT_EQ(0, ProgmanGroupIsEmpty("ZELK存在しないグループ"));  // no data
}

TEST_F(ProgmanClient, AnAnswerLongerThanWhatIsLookedAtCountsAsNotEmpty) {
    StartStandin("--pad 2000");
    ASSERT_EQ(1, ProgmanCreateGroup(kGroup, nullptr));
    EXPECT_EQ(0, ProgmanGroupIsEmpty(kGroup));
}

// The system's own Program Manager keeps each group as a folder in the Programs folder and
// answers no question about a group: the removal then deletes the group only when that
// folder is there and empty. An answer, where one comes, decides alone.
TEST_F(ProgmanClient, AGroupWithoutAnAnswerGoesOnlyWithAnEmptyFolder) {
    char programs[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE));
    const std::string folder = std::string(programs) + "\\" + kGroup;
    const std::string othersLink = folder + "\\他のゲーム.lnk";
    struct Case {
        const char* standin;
        bool folder, othersLink, deleted;
    };
    const Case cases[] = {
        {"--silent", true, false, true},
        {"--silent", true, true, false},
        {"--silent", false, false, false},
        {"", true, false, false},  // answered: the other item is still in the group
    };
    char ours[] = "ゲーム";
    char* items[] = {ours};
    for (const Case& c : cases) {
        RemoveFile(othersLink);
        RemoveDirectoryA(folder.c_str());
        if (c.folder) CreateDirectoryA(folder.c_str(), nullptr);
        if (c.othersLink) {
            CloseHandle(CreateFileA(othersLink.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        StartStandin(c.standin);
        ASSERT_EQ(1, ProgmanCreateGroup(kGroup, nullptr));
        ASSERT_EQ(1, ProgmanAddItem("\"C:\\Other\\other.exe\"", "他のゲーム", nullptr, 0));
        RemoveProgmanEntries(kGroup, items, 1);
        std::vector<std::string> commands = standin_.Commands();
        bool deleted = std::find(commands.begin(), commands.end(), std::string("[DeleteGroup(") + kGroup + ")]") !=
                       commands.end();
        EXPECT_EQ(c.deleted, deleted) << c.standin << " folder " << c.folder << " other " << c.othersLink;
    }
    RemoveFile(othersLink);
    RemoveDirectoryA(folder.c_str());
}

// ---- CreateMenuItems: the suite runs as Windows 95 and as NT 4.0 ----

class MenuItems : public testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char programs[MAX_PATH] = "";
        SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
        groupFolder_ = std::string(programs) + "\\" + kGroup;
        RemoveGroupFolder();
        ASSERT_TRUE(standin_.Start(TestDataPath("progman_standin.exe"), "C:\\zelk-unit\\progman.rec"));
    }
    void TearDown() override {
        standin_.Stop();
        RemoveGroupFolder();
        CoUninitialize();
    }
    void RemoveGroupFolder() {
        for (const char* name : {"ゲーム.lnk", "説明書.lnk", "削除.lnk"}) RemoveFile(groupFolder_ + "\\" + name);
        RemoveDirectoryA(groupFolder_.c_str());
    }

    // A context with three files, two of them with menu items, and the uninstaller's item.
    std::unique_ptr<SetupContext> Context(const char* destination) {
        auto context = MakeContext(destination);
        Assign(context->menuGroup, kGroup);
        Assign(context->menuUninst, "削除");
        AddFile(*context, "game.ex_", "game.exe", "ゲーム");
        AddFile(*context, "readme.txt", nullptr, "説明書");
        AddFile(*context, "data.dat", nullptr, nullptr);
        return context;
    }

    std::string groupFolder_;
    ProgmanStandin standin_;
};

using zelktest::LinkContents;
using zelktest::ReadLink;

TEST_F(MenuItems, MakesTheGroupAndItsItems) {
    const std::string destination = "C:\\zelk-unit\\Menu Dest";
    FreshFolder(destination);
    auto context = Context(destination.c_str());
    ASSERT_EQ(0, CreateMenuItems(*context));
    if (IsWindowsNT()) {
        std::vector<std::string> expected = {
            "[CreateGroup(ZELKテストグループ)]",
            "[ShowGroup(ZELKテストグループ,1)]",
            "[AddItem(\"C:\\zelk-unit\\Menu Dest\\game.exe\",ゲーム)]",
            "[AddItem(\"C:\\zelk-unit\\Menu Dest\\readme.txt\",説明書)]",
            "[AddItem(\"C:\\zelk-unit\\Menu Dest\\unZELK.exe\" *C:\\zelk-unit\\Menu Dest\\unZELK.dat,削除)]",
        };
        EXPECT_EQ(expected, standin_.Commands());
        EXPECT_FALSE(Exists(groupFolder_));
    } else {
        EXPECT_TRUE(standin_.Commands().empty());
        LinkContents game = ReadLink(groupFolder_ + "\\ゲーム.lnk");
        EXPECT_EQ(destination + "\\game.exe", game.path);
        EXPECT_EQ(destination, game.workingFolder);
        EXPECT_EQ("", game.arguments);
        LinkContents readme = ReadLink(groupFolder_ + "\\説明書.lnk");
        EXPECT_EQ(destination + "\\readme.txt", readme.path);
        EXPECT_EQ(destination, readme.workingFolder);
        // No shortcut for the uninstaller on Windows 95, and none for a file without an item.
        EXPECT_FALSE(Exists(groupFolder_ + "\\削除.lnk"));
        EXPECT_FALSE(Exists(groupFolder_ + "\\data.dat.lnk"));
    }
}

// The run's group deleted after its items were added, and a group of the user's holding an
// item of the same name active: the rollback has no group to delete the run's items from,
// and deletes nothing in the user's.
TEST_F(MenuItems, ARollBackWithoutTheRunsGroupLeavesTheActiveGroupAlone) {
    if (!IsWindowsNT()) GTEST_SKIP() << "Program Manager items are made on Windows NT only";
    auto context = Context("C:\\App");
    GetWindowsDirectoryA(context->windowsDir, sizeof context->windowsDir);
    BeginJournal(*context);
    ASSERT_EQ(0, CreateMenuItems(*context));
    ASSERT_TRUE(ProgmanDeleteGroup(kGroup));
    ASSERT_TRUE(ProgmanCreateGroup("ユーザーのグループ", nullptr));
    ASSERT_TRUE(ProgmanAddItem("C:\\Mine\\game.exe", "ゲーム", nullptr, 0));
    const std::string users = standin_.Groups();
    RollBackJournal();
    for (const std::string& command : standin_.Commands()) {
        EXPECT_NE(0u, command.rfind("[DeleteItem(", 0)) << command;
    }
    EXPECT_EQ(users, standin_.Groups());
}

TEST_F(MenuItems, TheUninstallerItemIsQuotedOnlyWithABlank) {
    if (!IsWindowsNT()) GTEST_SKIP() << "Program Manager items are made on Windows NT only";
    auto context = Context("C:\\App");
    ASSERT_EQ(0, CreateMenuItems(*context));
    std::vector<std::string> commands = standin_.Commands();
    ASSERT_EQ(5u, commands.size());
    EXPECT_EQ("[AddItem(\"C:\\App\\game.exe\",ゲーム)]", commands[2]);
    EXPECT_EQ("[AddItem(C:\\App\\unZELK.exe *C:\\App\\unZELK.dat,削除)]", commands[4]);
}

TEST_F(MenuItems, ExistingGroupAndShortcutAreReused) {
    if (IsWindowsNT()) GTEST_SKIP() << "shortcut files are made on Windows 95 only";
    FreshFolder("C:\\zelk-unit\\Old");
    FreshFolder("C:\\zelk-unit\\New");
    auto old = Context("C:\\zelk-unit\\Old");
    ASSERT_EQ(0, CreateMenuItems(*old));
    auto again = Context("C:\\zelk-unit\\New");
    ASSERT_EQ(0, CreateMenuItems(*again));
    EXPECT_EQ("C:\\zelk-unit\\New\\game.exe", ReadLink(groupFolder_ + "\\ゲーム.lnk").path);
}

TEST_F(MenuItems, WithoutAGroupNothingIsMade) {
    auto context = Context("C:\\App");
    Assign(context->menuGroup, nullptr);
    EXPECT_EQ(0, CreateMenuItems(*context));
    EXPECT_TRUE(standin_.Commands().empty());
    EXPECT_FALSE(Exists(groupFolder_));
}

// A changed record's names that leave their folder reach nothing, even where they would
// come back to the group's own shortcut.
TEST_F(MenuItems, NamesThatLeaveTheirFolderAreNotRemoved) {
    auto context = Context("C:\\App");
    ASSERT_EQ(0, CreateMenuItems(*context));
    const size_t made = standin_.Commands().size();
    std::string up = std::string("..\\") + kGroup + "\\ゲーム";
    char* items[] = {&up[0]};
    RemoveMenuEntries(kGroup, items, 1);
    std::string group = std::string("..\\Programs\\") + kGroup;
    char game[] = "ゲーム";
    char* ours[] = {game};
    RemoveMenuEntries(group.c_str(), ours, 1);
    if (IsWindowsNT()) {
        std::vector<std::string> commands = standin_.Commands();
        ASSERT_GE(commands.size(), made);
        for (size_t i = made; i < commands.size(); ++i) {
            EXPECT_EQ(std::string::npos, commands[i].find("Delete")) << commands[i];
            EXPECT_EQ(std::string::npos, commands[i].find("..")) << commands[i];
        }
    } else {
        EXPECT_TRUE(Exists(groupFolder_ + "\\ゲーム.lnk"));
    }
}

TEST_F(MenuItems, AnItemThatCannotBeMadeFailsTheStep) {
    // Program Manager cannot take a command this long; the shell cannot save a link there.
    std::string destination = "C:\\zelk-unit\\" + std::string(200, 'd');
    auto context = Context(destination.c_str());
    Assign(context->fileMenuItem[0], std::string(200, 'n').c_str());
    EXPECT_EQ(-1, CreateMenuItems(*context));
    if (IsWindowsNT()) {
        std::vector<std::string> commands = standin_.Commands();
        ASSERT_EQ(2u, commands.size());  // the group was made and shown, the item never sent
    }
}

}  // namespace
