// The uninstaller on an installation as setup leaves one: started the way the system
// starts it, asked, answered, and what is left afterwards.
#include <gtest/gtest.h>

#include "driver.h"
#include "media.h"
#include "removal_steps.h"

using namespace e2e;

namespace {

const char kHint[] =
    "アプリケーションを削除する場合はコントロールパネルの\n「アプリケーションの追加と削除」でおこなってください。";

class Uninstaller : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        ClearRestartState();
        SetWindowsVersion(GetParam());
        CreateDirectoryA("C:\\zelk-test", nullptr);
        install.base = "C:\\zelk-test";
        install.levels = {"App"};
    }
    void TearDown() override {
        ClearRestartState();
        ResetMachine();
    }

    // Starts the uninstaller of the installation with the given arguments.
    Process StartUninstaller(const std::string& arguments) const {
        return Process::Start(install.Folder() + "\\unZELK.exe", arguments, install.Folder());
    }

    // Waits for a box of the uninstaller with exactly this text and presses OK.
    static void AcknowledgeBox(Process& uninstaller, const std::string& text) {
        Window box = WaitForWindow(uninstaller, MessageBoxWithText(text, kUninstallerCaption));
        ASSERT_TRUE(box.Exists());
        EXPECT_EQ(text, box.AllText());
        box.Press(IDOK);
        EXPECT_EQ(0, uninstaller.WaitForExit());
    }

    HandInstallation install;
};

TEST_P(Uninstaller, WithoutArgumentsOnlyTheHintIsShown) {
    install.Create();
    Snapshot before = TakeSnapshot();
    for (const char* arguments : {"", "   "}) {
        Process uninstaller = StartUninstaller(arguments);
        AcknowledgeBox(uninstaller, kHint);
    }
    EXPECT_TRUE(Differences(before, TakeSnapshot()).empty()) << Describe(Differences(before, TakeSnapshot()));
}

TEST_P(Uninstaller, AsteriskAloneNamesAnEmptyRecord) {
    install.Create();
    Process uninstaller = StartUninstaller("*");
    AcknowledgeBox(uninstaller, "アンインストール情報ファイル''が読み込めません");
    EXPECT_TRUE(PathExists(install.RecordPath()));
}

TEST_P(Uninstaller, NoAtTheQuestionChangesNothing) {
    install.Create();
    Snapshot before = TakeSnapshot();
    for (const std::string& arguments : {"* " + install.RecordPath(), "**" + install.RecordPath()}) {
        SCOPED_TRACE(arguments);
        Process uninstaller = StartUninstaller(arguments);
        Window confirm = WaitForWindow(
            uninstaller, MessageBoxWithText(install.title + "を削除してもよろしいですか?", kUninstallerCaption));
        ASSERT_TRUE(confirm.Exists());
        confirm.Press(IDNO);
        EXPECT_EQ(0, uninstaller.WaitForExit());
    }
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(differences.empty()) << Describe(differences);
    EXPECT_FALSE(PathExists(CompanionCopy()));
}

TEST_P(Uninstaller, MissingCompanionRemovesNothing) {
    install.withCompanion = false;
    install.Create();
    Snapshot before = TakeSnapshot();
    Process uninstaller = Process::StartCommandLine(install.UninstallString());
    Window confirm = WaitForWindow(
        uninstaller, MessageBoxWithText(install.title + "を削除してもよろしいですか?", kUninstallerCaption));
    ASSERT_TRUE(confirm.Exists());
    confirm.Press(IDYES);
    AcknowledgeBox(uninstaller, "ファイルコピーに失敗しました");
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(differences.empty()) << Describe(differences);
    EXPECT_FALSE(CompanionScheduledForRestart());
}

TEST_P(Uninstaller, ASecondUninstallerEndsSilently) {
    install.Create();
    Process first = Process::StartCommandLine(install.UninstallString());
    Window confirm = WaitForWindow(
        first, MessageBoxWithText(install.title + "を削除してもよろしいですか?", kUninstallerCaption));
    ASSERT_TRUE(confirm.Exists());
    Process second = Process::StartCommandLine(install.UninstallString());
    EXPECT_EQ(0, second.WaitForExit(5000));
    EXPECT_TRUE(ShowsNothing(second, 0));
    EXPECT_TRUE(confirm.Exists());
    confirm.Press(IDNO);
    EXPECT_EQ(0, first.WaitForExit());
    EXPECT_TRUE(PathExists(install.RecordPath()));
}

// Everything the hand-made installation put on the machine goes, its folders included; the
// companion's copy waits for the restart.
void ExpectRemovedCompletely(const HandInstallation& install, const Snapshot& before) {
    Process uninstaller = Process::StartCommandLine(install.UninstallString());
    EXPECT_EQ(0, ConfirmAndRemove(uninstaller, install.title));
    EXPECT_TRUE(PathExists(CompanionCopy()));
    EXPECT_TRUE(CompanionScheduledForRestart());
    EXPECT_TRUE(FinishCompanionAndRestart()) << "the companion did not end";
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

TEST_P(Uninstaller, BlanksAndJapaneseFolderNamesGoCompletely) {
    // "ソフト" and "表" both end in the byte 0x5C.
    install.levels = {"ソフト", "表 b"};
    Snapshot before = TakeSnapshot();
    install.Create();
    ExpectRemovedCompletely(install, before);
}

TEST_P(Uninstaller, AUsersSavedFileSurvivesWithItsFolder) {
    install.levels = {"ZELK", "Game"};
    install.Create();
    WriteWholeFile(install.Folder() + "\\save.dat", "the user's game");
    Process uninstaller = Process::StartCommandLine(install.UninstallString());
    EXPECT_EQ(0, ConfirmAndRemove(uninstaller, install.title));
    EXPECT_TRUE(FinishCompanionAndRestart());
    EXPECT_EQ("the user's game", ReadWholeFile(install.Folder() + "\\save.dat"));
    for (const char* name : {"unZELK.exe", "rmZELK.bin", "unZELK.dat", "game.exe", "readme.txt"}) {
        EXPECT_FALSE(PathExists(install.Folder() + "\\" + name)) << name;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + install.unRegistry));
}

TEST_P(Uninstaller, APathTooLongForTheCompanionLeavesTheUninstallerAndSaysSo) {
    // The companion's command line would not fit in its buffer: the uninstaller says which
    // file stays rather than start a cut command.
    install.levels = {std::string(110, 'a'), std::string(110, 'b')};
    install.Create();
    const std::string program = install.Folder() + "\\unZELK.exe";
    Process uninstaller = Process::StartCommandLine(install.UninstallString());
    Window confirm = WaitForWindow(
        uninstaller, MessageBoxWithText(install.title + "を削除してもよろしいですか?", kUninstallerCaption));
    ASSERT_TRUE(confirm.Exists());
    confirm.Press(IDYES);
    AcknowledgeBox(uninstaller, "次のファイルを削除できませんでした。手動で削除してください。\n\n" + program);
    EXPECT_TRUE(PathExists(program));
    EXPECT_FALSE(PathExists(install.Folder() + "\\game.exe"));
    EXPECT_FALSE(PathExists(install.RecordPath()));
}

INSTANTIATE_TEST_SUITE_P(Systems, Uninstaller, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param == WindowsVersion::Win95 ? "Win95" : "NT40";
                         });

}  // namespace
