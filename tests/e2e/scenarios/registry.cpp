// The registry records of an installation, and what the next run of setup makes of them.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "journey.h"
#include "media.h"

using namespace e2e;

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELKSampleGame";
const char kQuestion[] =
    "「ZELKサンプルゲーム」は既にセットアップされています。セットアップを続行するには以前にセットアップされた「ZELKサンプルゲーム」を消去する必要があります。\n\n以前の「ZELKサンプルゲーム」を消去してセットアップを続行しますか？";

class Records : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(GetParam());
        ASSERT_TRUE(StartProgramManager(programManager_));
    }
    void TearDown() override { ResetMachine(); }

    ProgmanStandin programManager_;
};

TEST_P(Records, AnInstallationLeavesItsEntryAndBothApplicationKeys) {
    Medium medium("records");
    Process setup = medium.StartSetup();
    std::string destination = InstallThroughWizard(setup);
    ASSERT_EQ("C:\\Program Files\\ZELK\\SampleGame", destination);
    EXPECT_EQ("\"C:\\Program Files\\ZELK\\SampleGame\\unZELK.exe\" *C:\\Program Files\\ZELK\\SampleGame\\unZELK.dat",
              RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ("ZELKサンプルゲーム", RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\SampleGame\\1.0"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\SampleGame\\1.0"));
}

TEST_P(Records, DecliningTheRemovalOfTheEarlierInstallationTouchesNothing) {
    Medium medium("records");
    Process first = medium.StartSetup();
    InstallThroughWizard(first);
    if (HasFailure()) return;
    const std::string folder = "C:\\Program Files\\ZELK\\SampleGame";
    const std::string record = ReadWholeFile(folder + "\\unZELK.dat");
    const std::string command = RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");

    Process second = medium.StartSetup();
    Window question = WaitForWindow(second, MessageBoxWithText(kQuestion, "ZELKセットアップ"));
    if (HasFailure()) return;
    question.Press(IDNO);
    Window aborted = WaitForWindow(second, Dialog(IDD_ABORTED));
    if (HasFailure()) return;
    EXPECT_TRUE(FindWindowOf(second, WizardSheet()).handle() == nullptr);
    aborted.Press(IDOK);
    second.WaitForExit();

    EXPECT_EQ(record, ReadWholeFile(folder + "\\unZELK.dat"));
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin"}) {
        EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
    }
    EXPECT_EQ(command, RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\SampleGame\\1.0"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\SampleGame\\1.0"));
}

TEST_P(Records, AgreeingRemovesTheEarlierOneAndProposesItsFolder) {
    Medium medium("records");
    const std::string earlier = "C:\\zelk-test\\Earlier Game";
    Process first = medium.StartSetup();
    InstallThroughWizard(first, earlier);
    if (HasFailure()) return;
    ASSERT_TRUE(PathExists(earlier + "\\unZELK.dat"));

    Process second = medium.StartSetup();
    Window question = WaitForWindow(second, MessageBoxWithText(kQuestion, "ZELKセットアップ"));
    if (HasFailure()) return;
    question.Press(IDYES);
    Window sheet = WaitForWindow(second, WizardSheet());
    if (HasFailure()) return;
    // The earlier installation is gone before the wizard starts.
    EXPECT_FALSE(PathExists(earlier + "\\unZELK.dat"));
    EXPECT_FALSE(PathExists(earlier + "\\sample.exe"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

    WaitForPage(sheet, IDD_WELCOME_PAGE);
    sheet.PressSheetButton(PSBTN_NEXT);
    Window page = WaitForPage(sheet, IDD_DESTINATION_PAGE);
    if (HasFailure()) return;
    EXPECT_EQ(earlier, page.Text(IDC_DESTINATION_EDIT));
    second.Kill();
}

INSTANTIATE_TEST_SUITE_P(Systems, Records, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

}  // namespace
