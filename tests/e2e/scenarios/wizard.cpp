// The setup wizard: its three pages, the checks of the destination on Next, the folder it
// creates, and the way out through Cancel on every page.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "media.h"
#include "wizard_steps.h"

using namespace e2e;

namespace {

class Wizard : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(GetParam());
    }
    StartMenuServer menuServer_{GetParam()};
};

long long FreeKilobytes(const char* root) {
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA(root, &available, &total, &free)) return -1;
    return static_cast<long long>(available.QuadPart >> 10);
}

TEST_P(Wizard, DefaultDestinationFromWelcomeToFinished) {
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    ASSERT_TRUE(run.sheet.Exists());
    Window welcome = run.sheet.CurrentPage();
    EXPECT_EQ("「ZELKサンプルゲーム」のセットアップへようこそ。", welcome.Text(IDC_MESSAGE));
    EXPECT_EQ("ZELKサンプルゲーム セットアップ", run.sheet.Caption());
    EXPECT_TRUE(run.sheet.ControlBecomes(0x3023, false));  // no Back on the first page

    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    EXPECT_EQ("「ZELKサンプルゲーム」を以下のフォルダにセットアップします。フォルダを変更するときは、"
              "直接編集するかまたは、[参照]ボタンをクリックしてください。", page.Text(IDC_MESSAGE));
    EXPECT_EQ(kDefaultDestination, page.Text(IDC_DESTINATION_EDIT));
    EXPECT_EQ("セットアップするフォルダの選択", run.sheet.Caption());
    EXPECT_NEAR(FreeKilobytes("C:\\"), Kilobytes(page.Text(IDC_FREE_SPACE)), 64 * 1024);
    long long requiredKb = Kilobytes(page.Text(IDC_REQUIRED_SPACE));
    // The folder browser is offered on Windows 95 only.
    EXPECT_EQ(GetParam() == WindowsVersion::Win95, page.ControlEnabled(IDC_BROWSE));

    run.sheet.PressSheetButton(PSBTN_NEXT);
    Window create = WaitForWindow(run.setup, Dialog(IDD_CREATE_FOLDER));
    ASSERT_TRUE(create.Exists());
    EXPECT_EQ("フォルダ「C:\\Program Files\\ZELK\\SampleGame」は存在しません。\n\nフォルダ"
              "「C:\\Program Files\\ZELK\\SampleGame」を作成します。\n\nよろしいですか。",
              create.Text(IDC_MESSAGE));
    EXPECT_EQ(run.sheet.handle(), GetWindow(create.handle(), GW_OWNER));
    create.Press(IDB_CREATE_FOLDER);

    Window ready = WaitForPage(run.sheet, IDD_READY_PAGE);
    EXPECT_TRUE(IsFolder(kDefaultDestination));
    EXPECT_EQ("セットアッププログラムは「ZELKサンプルゲーム」のセットアップを行います。\n\n\n"
              "「ZELKサンプルゲーム」のセットアップはスタートメニューにショートカットを追加します。",
              ready.Text(IDC_MESSAGE));
    EXPECT_TRUE(run.sheet.ControlBecomes(0x3025, true));  // Finish
    EXPECT_EQ("ZELKサンプルゲーム セットアップ", run.sheet.Caption());

    run.sheet.PressSheetButton(PSBTN_FINISH);
    Window finished = WaitForWindow(run.setup, Dialog(IDD_FINISHED), 60000);
    ASSERT_TRUE(finished.Exists());
    EXPECT_EQ("「ZELKサンプルゲーム」のセットアップが完了しました。", finished.Text(IDC_MESSAGE));
    EXPECT_TRUE(finished.IsTopmost());
    finished.Press(IDOK);
    EXPECT_EQ(0, run.setup.WaitForExit());

    // The required space is what the copy put there; the two levels made are recorded.
    const std::string folder = kDefaultDestination;
    long long bytes = 0;
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin"}) {
        EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
        bytes += FileSize(folder + "\\" + name);
    }
    EXPECT_EQ(bytes >> 10, requiredKb);
    EXPECT_NE(std::string::npos, ReadWholeFile(folder + "\\unZELK.dat").find("DirDepth=2"));
}

// Each refused destination shows its one warning, owned by the wizard, and keeps the page.
TEST_P(Wizard, RefusedDestinationsKeepTheDestinationPage) {
    CreateDirectoryA("C:\\zelk-test", nullptr);
    CreateDirectoryA("C:\\zelk-test\\other", nullptr);
    WriteWholeFile("C:\\zelk-test\\a-file", "x");
    WriteWholeFile("C:\\zelk-test\\other\\unZELK.exe", "x");
    // Longer than a path can be: refused as it stands, never cut to fit.
    const std::string tooLong = "C:\\zelk-test\\" + std::string(250, 'a');
    struct Case { const char* destination; const char* warning; };
    const Case cases[] = {
        {tooLong.c_str(), "フォルダ名が無効です。"},
        {"C:", "フォルダ名が無効です。"},
        {"C:/Games", "フォルダ名が無効です。"},
        {"C:\\\\Games", "フォルダ名が無効です。"},
        {"C:\\Games\\\\Sample", "フォルダ名が無効です。"},
        {"C:\\Ga,mes", "フォルダ名が無効です。"},
        {"C:\\zelk-test\\a-file", "同じ名前のファイルが存在します。"},
        {"C:\\zelk-test\\other",
         "指定されたフォルダには既にZELKのアプリケーションがセットアップされています。同じフォルダにZELK"
         "のアプリケーションを２つセットアップすることはできません。別のフォルダを選択してください。"},
        {"R:\\Games", "CD-ROMにはセットアップできません。"},
        {"S:\\Games", "交換可能なドライブにはセットアップできません。"},
        {"T:\\Games", "ネットワークドライブにはセットアップできません。"},
        {"U:\\Games", "RAM ディスクにはセットアップできません。"},
        {"W:\\Games", nullptr},  // no such drive: no message, but no way on either
    };
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        NextWith(run, page, c.destination);
        if (c.warning != nullptr) {
            AnswerWarning(run.setup, c.warning, run.sheet.handle());
        } else {
            EXPECT_TRUE(NoWarningComes(run.setup));
        }
        EXPECT_TRUE(WaitForPage(run.sheet, IDD_DESTINATION_PAGE).Exists());
        EXPECT_EQ(c.destination, page.Text(IDC_DESTINATION_EDIT));
        EXPECT_FALSE(FindWindowOf(run.setup, Dialog(IDD_CREATE_FOLDER)).Exists());
    }
    EXPECT_FALSE(PathExists("C:\\Games"));
}

// The free space is shown for the drive of what is typed, and 0 for what is not a path.
TEST_P(Wizard, FreeSpaceFollowsTheTypedDrive) {
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    page.SetText(IDC_DESTINATION_EDIT, "Q:\\SampleGame");
    EXPECT_NEAR(FreeKilobytes("Q:\\"), Kilobytes(page.Text(IDC_FREE_SPACE)), 64);
    page.SetText(IDC_DESTINATION_EDIT, "no path");
    EXPECT_EQ("0Kb", page.Text(IDC_FREE_SPACE));
}

// Q: has 4 MB of room in the test prefix; with a file of 6 MB the sample needs more. Going
// on all the same, the copy fails on the full disk, and abandoning it leaves Q: as it was:
// no half-copied file keeps the created folder alive.
TEST_P(Wizard, LowSpaceAsksWhetherToGoOn) {
    if (FreeKilobytes("Q:\\") > 64 * 1024) GTEST_SKIP() << "Q: is not a small drive here";
    Medium medium("wizard", SampleScriptWith("", "big.dat\r\n"));
    medium.WriteFile("big.dat", std::string(6 << 20, 'z'));
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());

    NextWith(run, page, "Q:\\SampleGame");
    Window low = WaitForWindow(run.setup, Dialog(IDD_LOW_SPACE));
    ASSERT_TRUE(low.Exists());
    EXPECT_EQ(run.sheet.handle(), GetWindow(low.handle(), GW_OWNER));
    low.Press(IDB_GO_BACK);
    low.WaitClosed();
    EXPECT_TRUE(WaitForPage(run.sheet, IDD_DESTINATION_PAGE).Exists());
    EXPECT_FALSE(FindWindowOf(run.setup, Dialog(IDD_CREATE_FOLDER)).Exists());

    // Escape does nothing here; Enter picks "続ける", and the checks go on.
    run.sheet.PressSheetButton(PSBTN_NEXT);
    low = WaitForWindow(run.setup, Dialog(IDD_LOW_SPACE));
    low.PressKey(VK_ESCAPE);
    Sleep(kQuiet);
    EXPECT_TRUE(low.Exists() && IsWindowVisible(low.handle()));
    low.PressKey(VK_RETURN);
    Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
    EXPECT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    EXPECT_TRUE(IsFolder("Q:\\SampleGame"));

    run.sheet.PressSheetButton(PSBTN_FINISH);
    Answer(run.setup, IDD_COPY_FAILED, IDCANCEL);  // "セットアップを中止"
    Answer(run.setup, IDD_ABORTED, IDOK);
    run.setup.WaitForExit();
    EXPECT_FALSE(PathExists("Q:\\SampleGame"));
}

// "ｷｬﾝｾﾙ" and Escape in the create-folder question keep the page; Enter creates the folder.
TEST_P(Wizard, CreateFolderQuestion) {
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    ASSERT_TRUE(ToDestinationPage(run).Exists());

    run.sheet.PressSheetButton(PSBTN_NEXT);
    Answer(run.setup, IDD_CREATE_FOLDER, IDCANCEL);
    EXPECT_TRUE(WaitForPage(run.sheet, IDD_DESTINATION_PAGE).Exists());
    EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));

    run.sheet.PressSheetButton(PSBTN_NEXT);
    Window create = WaitForWindow(run.setup, Dialog(IDD_CREATE_FOLDER));
    create.PressKey(VK_ESCAPE);
    create.WaitClosed();
    EXPECT_TRUE(WaitForPage(run.sheet, IDD_DESTINATION_PAGE).Exists());
    EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));

    run.sheet.PressSheetButton(PSBTN_NEXT);
    create = WaitForWindow(run.setup, Dialog(IDD_CREATE_FOLDER));
    create.PressKey(VK_RETURN);
    EXPECT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    EXPECT_TRUE(IsFolder(kDefaultDestination));
}

// Folders made for one destination are removed when folders are made for another; a
// destination that exists counts only the levels this run made of it.
TEST_P(Wizard, BackAndAnotherDestination) {
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    run.sheet.PressSheetButton(PSBTN_NEXT);
    Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    EXPECT_TRUE(IsFolder(kDefaultDestination));

    // Back, and Next with the same folder: it exists now, so nothing is asked.
    run.sheet.PressSheetButton(PSBTN_BACK);
    page = WaitForPage(run.sheet, IDD_DESTINATION_PAGE);
    EXPECT_EQ(kDefaultDestination, page.Text(IDC_DESTINATION_EDIT));
    run.sheet.PressSheetButton(PSBTN_NEXT);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());

    // Another new folder: the earlier levels go, the new ones come.
    run.sheet.PressSheetButton(PSBTN_BACK);
    page = WaitForPage(run.sheet, IDD_DESTINATION_PAGE);
    NextWith(run, page, "C:\\zelk-test\\Other\\Game");
    Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));
    EXPECT_TRUE(IsFolder("C:\\Program Files"));
    EXPECT_TRUE(IsFolder("C:\\zelk-test\\Other\\Game"));

    // A parent of it, which exists: no question, and the installation records the two levels
    // of it that this run made.
    run.sheet.PressSheetButton(PSBTN_BACK);
    page = WaitForPage(run.sheet, IDD_DESTINATION_PAGE);
    NextWith(run, page, "C:\\zelk-test\\Other");
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    EXPECT_FALSE(FindWindowOf(run.setup, Dialog(IDD_CREATE_FOLDER)).Exists());
    run.sheet.PressSheetButton(PSBTN_FINISH);
    Answer(run.setup, IDD_FINISHED, IDOK);
    run.setup.WaitForExit();
    EXPECT_TRUE(PathExists("C:\\zelk-test\\Other\\sample.exe"));
    EXPECT_NE(std::string::npos, ReadWholeFile("C:\\zelk-test\\Other\\unZELK.dat").find("DirDepth=2"));
}

// Cancel on any page asks dialog 118: "中止しない" (also Enter) stays, Escape does nothing,
// "中止する" ends setup with the aborted notice and removes the folders the run made.
TEST_P(Wizard, CancelOnEachPage) {
    for (int pageId : {IDD_WELCOME_PAGE, IDD_DESTINATION_PAGE, IDD_READY_PAGE}) {
        SCOPED_TRACE(pageId);
        ResetMachine();
        Medium medium("wizard");
        WizardRun run = StartWizard(medium);
        ASSERT_TRUE(run.sheet.Exists());
        if (pageId != IDD_WELCOME_PAGE) ToDestinationPage(run);
        if (pageId == IDD_READY_PAGE) {
            run.sheet.PressSheetButton(PSBTN_NEXT);
            Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
        }
        ASSERT_TRUE(WaitForPage(run.sheet, pageId).Exists());

        run.sheet.PressSheetButton(PSBTN_CANCEL);
        Window ask = WaitForWindow(run.setup, Dialog(IDD_CONFIRM_CANCEL));
        ASSERT_TRUE(ask.Exists());
        EXPECT_EQ("セットアップは完了していません。今セットアップを終了すると「ZELKサンプルゲーム」は"
                  "正しくセットアップされません。\n\nセットアップを中止しますか？", ask.Text(IDC_MESSAGE));
        EXPECT_EQ(run.sheet.handle(), GetWindow(ask.handle(), GW_OWNER));
        ask.Press(IDB_DO_NOT_ABANDON);
        ask.WaitClosed();
        EXPECT_TRUE(WaitForPage(run.sheet, pageId).Exists());

        run.sheet.PressSheetButton(PSBTN_CANCEL);
        ask = WaitForWindow(run.setup, Dialog(IDD_CONFIRM_CANCEL));
        ask.PressKey(VK_ESCAPE);
        Sleep(kQuiet);
        EXPECT_TRUE(ask.Exists() && IsWindowVisible(ask.handle()));
        ask.PressKey(VK_RETURN);
        ask.WaitClosed();
        EXPECT_TRUE(WaitForPage(run.sheet, pageId).Exists());

        run.sheet.PressSheetButton(PSBTN_CANCEL);
        Answer(run.setup, IDD_CONFIRM_CANCEL, IDB_ABANDON);
        Window aborted = WaitForWindow(run.setup, Dialog(IDD_ABORTED));
        ASSERT_TRUE(aborted.Exists());
        EXPECT_EQ("「ZELKサンプルゲーム」のセットアップを中止しました。", aborted.Text(IDC_MESSAGE));
        EXPECT_FALSE(aborted.IsTopmost());
        EXPECT_FALSE(run.sheet.Exists() && IsWindowVisible(run.sheet.handle()));
        aborted.Press(IDOK);
        EXPECT_EQ(0, run.setup.WaitForExit());
        EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));
        EXPECT_TRUE(IsFolder("C:\\Program Files"));
    }
}

// Cancel after Back: the folders made for the first destination go; the user's own empty
// folders typed afterwards stay.
TEST_P(Wizard, CancelAfterBackRemovesOnlyTheFoldersMade) {
    CreateDirectoryA("C:\\zelk-test", nullptr);
    CreateDirectoryA("C:\\zelk-test\\Mine", nullptr);
    CreateDirectoryA("C:\\zelk-test\\Mine\\Empty", nullptr);
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    ASSERT_TRUE(ToDestinationPage(run).Exists());
    run.sheet.PressSheetButton(PSBTN_NEXT);
    Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    run.sheet.PressSheetButton(PSBTN_BACK);
    Window page = WaitForPage(run.sheet, IDD_DESTINATION_PAGE);
    // Back once more takes the typed folder as the destination.
    page.SetText(IDC_DESTINATION_EDIT, "C:\\zelk-test\\Mine\\Empty");
    run.sheet.PressSheetButton(PSBTN_BACK);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_WELCOME_PAGE).Exists());
    run.sheet.PressSheetButton(PSBTN_CANCEL);
    Answer(run.setup, IDD_CONFIRM_CANCEL, IDB_ABANDON);
    Answer(run.setup, IDD_ABORTED, IDOK);
    EXPECT_EQ(0, run.setup.WaitForExit());
    EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));
    EXPECT_TRUE(IsFolder("C:\\zelk-test\\Mine\\Empty"));
}

// The user's own empty folder typed with a final backslash is an existing folder: nothing
// is asked, nothing is counted as made, and the cancel leaves it.
TEST_P(Wizard, TheUsersFolderWithAFinalBackslashStaysAfterTheCancel) {
    CreateDirectoryA("C:\\zelk-test", nullptr);
    CreateDirectoryA("C:\\zelk-test\\Games", nullptr);
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    NextWith(run, page, "C:\\zelk-test\\Games\\");
    Sleep(kQuiet * 2);
    Window create = FindWindowOf(run.setup, Dialog(IDD_CREATE_FOLDER));
    EXPECT_FALSE(create.Exists()) << "the existing folder was offered for creation";
    if (create.Exists()) create.Press(IDB_CREATE_FOLDER);
    ASSERT_TRUE(WaitForPage(run.sheet, IDD_READY_PAGE).Exists());
    run.sheet.PressSheetButton(PSBTN_CANCEL);
    Answer(run.setup, IDD_CONFIRM_CANCEL, IDB_ABANDON);
    Answer(run.setup, IDD_ABORTED, IDOK);
    EXPECT_EQ(0, run.setup.WaitForExit());
    EXPECT_TRUE(IsFolder("C:\\zelk-test\\Games"));
}

// On Windows 95 the folder browser opens on the deepest existing folder of the destination
// and adds the application's folder name to what is picked.
TEST_P(Wizard, FolderBrowserPicksAParentFolder) {
    if (GetParam() != WindowsVersion::Win95) GTEST_SKIP() << "the browser is for Windows 95";
    Medium medium("wizard");
    WizardRun run = StartWizard(medium);
    Window page = ToDestinationPage(run);
    ASSERT_TRUE(page.Exists());
    page.Press(IDC_BROWSE);
    WindowSpec browserSpec;
    browserSpec.controls = {IDOK, IDCANCEL, 0x3741};
    Window browser = WaitForWindow(run.setup, browserSpec);
    ASSERT_TRUE(browser.Exists());
    EXPECT_NE(std::string::npos,
              browser.AllText().find("「ZELKサンプルゲーム」をセットアップするフォルダを選んでください。"));
    Sleep(300);
    EXPECT_EQ("C:\\Program Files\\SampleGame", browser.Text(0x3743));  // the status line
    browser.Press(IDOK);
    browser.WaitClosed();
    EXPECT_EQ("C:\\Program Files\\SampleGame", page.Text(IDC_DESTINATION_EDIT));

    page.Press(IDC_BROWSE);
    browser = WaitForWindow(run.setup, browserSpec);
    browser.Press(IDCANCEL);
    browser.WaitClosed();
    EXPECT_EQ("C:\\Program Files\\SampleGame", page.Text(IDC_DESTINATION_EDIT));
}

INSTANTIATE_TEST_SUITE_P(Systems, Wizard,
                         testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param == WindowsVersion::Win95 ? "Win95" : "NT40";
                         });

}  // namespace
