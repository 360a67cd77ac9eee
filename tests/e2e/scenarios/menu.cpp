// Start-menu entries of an installation: shortcut files on Windows 95, a Program Manager
// group on Windows NT (seen through the stand-in server, which records every command).
#include <gtest/gtest.h>

#include <objbase.h>

#include "driver.h"
#include "journey.h"
#include "media.h"
#include "tests/support/files.h"

using namespace e2e;

namespace {

const char kGroup[] = "ZELKサンプルゲーム";

class StartMenu : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(GetParam());
        CoInitialize(nullptr);
        ASSERT_TRUE(StartProgramManager(standin_));
        group_ = ProgramsFolderPath() + "\\" + kGroup;
    }
    void TearDown() override {
        standin_.Stop();
        ResetMachine();
        CoUninitialize();
    }

    ProgmanStandin standin_;
    std::string group_;
};

TEST_P(StartMenu, TheSampleGetsItsGroupAndItems) {
    Medium medium("menu");
    Process setup = medium.StartSetup();
    const std::string folder = InstallThroughWizard(setup);
    ASSERT_EQ("C:\\Program Files\\ZELK\\SampleGame", folder);
    if (IsNT(GetParam())) {
        std::vector<std::string> expected = {
            "[CreateGroup(ZELKサンプルゲーム)]",
            "[ShowGroup(ZELKサンプルゲーム,1)]",
            "[AddItem(\"C:\\Program Files\\ZELK\\SampleGame\\sample.exe\",ZELKサンプルゲーム)]",
            "[AddItem(\"C:\\Program Files\\ZELK\\SampleGame\\readme.txt\",はじめにお読みください)]",
            "[AddItem(\"C:\\Program Files\\ZELK\\SampleGame\\unZELK.exe\" *C:\\Program Files\\ZELK\\SampleGame\\unZELK.dat,ZELKサンプルゲームの削除)]",
        };
        EXPECT_EQ(expected, standin_.Commands());
        EXPECT_FALSE(PathExists(group_));
    } else {
        EXPECT_TRUE(standin_.Commands().empty());
        zelktest::LinkContents game = zelktest::ReadLink(group_ + "\\ZELKサンプルゲーム.lnk");
        EXPECT_EQ(folder + "\\sample.exe", game.path);
        EXPECT_EQ(folder, game.workingFolder);
        EXPECT_EQ("", game.arguments);
        zelktest::LinkContents readme = zelktest::ReadLink(group_ + "\\はじめにお読みください.lnk");
        EXPECT_EQ(folder + "\\readme.txt", readme.path);
        EXPECT_EQ(folder, readme.workingFolder);
        EXPECT_FALSE(PathExists(group_ + "\\ZELKサンプルゲームの削除.lnk"));
    }
}

TEST_P(StartMenu, WithoutAGroupNothingIsMade) {
    std::string script = SampleScript();
    size_t line = script.find("MENUGROUP=");
    ASSERT_NE(std::string::npos, line);
    script.erase(line, script.find('\n', line) + 1 - line);
    Medium medium("menu", script);
    Process setup = medium.StartSetup();
    InstallThroughWizard(setup);
    EXPECT_TRUE(standin_.Commands().empty());
    EXPECT_FALSE(PathExists(group_));
    EXPECT_TRUE(PathExists("C:\\Program Files\\ZELK\\SampleGame\\sample.exe"));
}

INSTANTIATE_TEST_SUITE_P(Systems, StartMenu, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

}  // namespace
