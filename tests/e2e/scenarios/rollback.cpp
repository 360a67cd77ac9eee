// An installation that fails or is cancelled half-way is rolled back exactly: whichever way
// it ended, the machine is as it was before, to the contents and times of the files. The
// chosen folder already holds the user's own readme.txt and a saved game named like the
// product's ADDFILE; an older copy of the shared DLL and of the font is installed.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "journey.h"
#include "media.h"
#include "removal_journey.h"
#include "removal_steps.h"
#include "wizard_steps.h"

#include "tests/support/files.h"

using namespace e2e;
using zelktest::FolderEntries;
using zelktest::HeldFile;

namespace {

const char kSetupCaption[] = "ZELKセットアップ";
const char kChosenFolder[] = "C:\\zelk-test\\Mine";
constexpr ULONGLONG kOldTime = 125000000000000000ull;  // a day in 1997

void SetTimes(const std::string& path, ULONGLONG time) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << Utf8(path);
    FILETIME stamp = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(file, &stamp, &stamp, &stamp);
    CloseHandle(file);
}

class RollBack : public RemovalJourney {
protected:
    void SetUp() override {
        RemovalJourney::SetUp();
        CreateDirectoryA("C:\\zelk-test", nullptr);
        CreateDirectoryA(kChosenFolder, nullptr);
        PutUsersFile(Chosen("readme.txt"), "my own notes");
        PutUsersFile(Chosen("score.dat"), "my saved game");
        const std::string testdata = BuildFolder() + "\\testdata\\";
        PutUsersFile(SystemFolder() + "\\ZELKRT.DLL", ReadWholeFile(testdata + "dll_file_lower.dll"));
        // Older than the font on the medium, so that the installation replaces it.
        PutUsersFile(FontsFolder() + "\\ZELKRT.TTF", ReadWholeFile(testdata + "ZELKTEST.TTF"));
        if (IsNT(GetParam())) {
            PutUsersFile(FontsFolder() + "\\ZELKRT.fot", "an older resource file of ZELKRT.TTF");
            HKEY key;
            ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key));
            RegSetValueExA(key, kFontValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("ZELKRT.fot"), 10);
            RegCloseKey(key);
        }
    }

    std::string FontsFolder() const { return WindowsFolder() + (IsNT(GetParam()) ? "\\SYSTEM" : "\\FONTS"); }
    static std::string Chosen(const std::string& name) { return std::string(kChosenFolder) + "\\" + name; }

    void PutUsersFile(const std::string& path, const std::string& contents) {
        WriteWholeFile(path, contents);
        SetTimes(path, kOldTime);
        usersFiles_.push_back({path, contents});
    }

    // The wizard to its ready page with the chosen folder, which exists.
    Window StartToReadyPage(const Medium& medium, Process* setup) {
        *setup = medium.StartSetup();
        return ToReadyPage(*setup, kChosenFolder);
    }

    // The installation to the step that fails with its message, and the rollback after it.
    void RunToFailure(const Medium& medium, const std::string& message) {
        Process setup;
        Window sheet = StartToReadyPage(medium, &setup);
        ASSERT_TRUE(sheet.Exists());
        sheet.PressSheetButton(PSBTN_FINISH);
        Window box = WaitForWindow(setup, MessageBoxWithText(message, kSetupCaption), 60000);
        ASSERT_TRUE(box.Exists());
        box.Press(IDOK);
        box.WaitClosed();
        ExpectAbortedSilently(setup);
    }

    // The aborted dialog ends the run; the rollback before it asked nothing and told nothing.
    void ExpectAbortedSilently(Process& setup) {
        RemovalBoxes boxes;
        Window aborted = AnswerRemovalBoxesUntil(setup, kSetupCaption, &boxes, Dialog(IDD_ABORTED));
        ASSERT_TRUE(aborted.Exists());
        aborted.Press(IDOK);
        EXPECT_EQ(0, setup.WaitForExit());
        EXPECT_TRUE(boxes.notices.empty()) << "a rollback keeps no DLL to tell about";
        EXPECT_EQ(0, boxes.fontQuestions) << "the journal knows which fonts are the run's";
    }

    // Everything as before: files with their times, the keys; the user's files byte for byte.
    void ExpectAsBefore(const Snapshot& before) {
        std::vector<std::string> differences = Differences(before, TakeSnapshot(true));
        EXPECT_TRUE(differences.empty()) << Describe(differences);
        for (const auto& [path, contents] : usersFiles_) EXPECT_EQ(contents, ReadWholeFile(path)) << Utf8(path);
    }

    // Program Manager was told to undo only what the run made there: its items, its group.
    void ExpectProgmanUndone(bool menuStepRan) const {
        if (!IsNT(GetParam())) return;
        int deletions = 0;
        for (const std::string& command : programManager_.Commands()) {
            if (command.rfind("[DeleteItem(", 0) == 0 || command.rfind("[DeleteGroup(", 0) == 0) ++deletions;
        }
        EXPECT_EQ(menuStepRan, GroupDeleted());
        // The two file items and the uninstaller's, and the group.
        EXPECT_EQ(menuStepRan ? 4 : 0, deletions);
    }

    std::vector<std::pair<std::string, std::string>> usersFiles_;
};

TEST_P(RollBack, CancelledWhileCopying) {
    Medium medium = SampleWithDllAndFont("rollback");
    medium.WriteScript(SampleScriptWithDllAndFont() + "big1.dat\r\nbig2.dat\r\n");
    const std::string big(64 << 20, 'z');
    medium.WriteFile("big1.dat", big);
    medium.WriteFile("big2.dat", big);
    Snapshot before = TakeSnapshot(true);
    Process setup;
    Window sheet = StartToReadyPage(medium, &setup);
    ASSERT_TRUE(sheet.Exists());
    sheet.PressSheetButton(PSBTN_FINISH);
    Window progress = WaitForWindow(setup, Dialog(IDD_COPY_PROGRESS));
    ASSERT_TRUE(progress.Exists());
    // Cancelled once the user's readme.txt has been replaced.
    DWORD start = GetTickCount();
    while (ReadWholeFile(Chosen("readme.txt")) == "my own notes" && GetTickCount() - start < 30000) Sleep(5);
    progress.Press(IDCANCEL);
    Answer(setup, IDD_CONFIRM_CANCEL, IDB_ABANDON);
    ExpectAbortedSilently(setup);
    ExpectProgmanUndone(false);
    ExpectAsBefore(before);
}

TEST_P(RollBack, AbandonedInTheCopyFailureDialog) {
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot(true);
    Process setup;
    Window sheet = StartToReadyPage(medium, &setup);
    ASSERT_TRUE(sheet.Exists());
    // The font, the last item, cannot be kept aside: the files and the DLL are in place by then.
    HeldFile held(FontsFolder() + "\\ZELKRT.TTF");
    EXPECT_TRUE(held.Held()) << "cannot hold the file";
    sheet.PressSheetButton(PSBTN_FINISH);
    Window failed = WaitForWindow(setup, Dialog(IDD_COPY_FAILED), 60000);
    ASSERT_TRUE(failed.Exists());
    EXPECT_NE("my own notes", ReadWholeFile(Chosen("readme.txt")));
    held.Release();
    failed.Press(IDCANCEL);  // "セットアップを中止"
    ExpectAbortedSilently(setup);
    ExpectProgmanUndone(false);
    ExpectAsBefore(before);
}

TEST_P(RollBack, StartMenuStepFails) {
    // Windows 95: a file holds the group folder's name; NT: no Program Manager to reach.
    if (IsNT(GetParam())) {
        programManager_.Stop();
    } else {
        PutUsersFile(ProgramsFolder() + "\\" + kTitle, "not a folder");
    }
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot(true);
    RunToFailure(medium, "スタートメニューにショートカットを追加することに失敗しました。");
    ExpectAsBefore(before);
}

TEST_P(RollBack, RegistryStepFails) {
    // The uninstall entry is to go below a volatile key, where no lasting key can be made.
    HKEY volatileKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\ZELKBlocked").c_str(),
                                             0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey,
                                             nullptr));
    RegCloseKey(volatileKey);
    Medium medium = SampleWithDllAndFont("rollback");
    std::string script = SampleScriptWithDllAndFont();
    script.replace(script.find("UNREGISTRY=ZELKSampleGame"), 25, "UNREGISTRY=ZELKBlocked\\ZELKSampleGame");
    medium.WriteScript(script);
    Snapshot before = TakeSnapshot(true);
    RunToFailure(medium, "レジストリに項目を設定することに失敗しました。");
    ExpectProgmanUndone(true);
    ExpectAsBefore(before);
}

TEST_P(RollBack, RecordCannotBeWritten) {
    // A read-only record of an earlier run lies in the chosen folder. (Wine lets root write
    // over a read-only file, so the test also holds it open, as a running program would.)
    PutUsersFile(Chosen("unZELK.dat"), "Title=old\r\n");
    SetFileAttributesA(Chosen("unZELK.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot(true);
    HeldFile held(Chosen("unZELK.dat"));
    EXPECT_TRUE(held.Held()) << "cannot hold the file";
    RunToFailure(medium, "アンインストール情報を生成することができません。");
    held.Release();
    ExpectProgmanUndone(true);
    ExpectAsBefore(before);
}

// Setup ended half-way through the copy (killed while it asks about a file it cannot copy):
// the next run of the product puts the user's replaced files back before anything else,
// with one notice, and leaves no kept original behind.
TEST_P(RollBack, AnInterruptedRunIsPutRightByTheNext) {
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot(true);
    Process setup;
    Window sheet = StartToReadyPage(medium, &setup);
    ASSERT_TRUE(sheet.Exists());
    HeldFile held(Chosen("stage1.dat"));  // the file after readme.txt
    sheet.PressSheetButton(PSBTN_FINISH);
    ASSERT_TRUE(WaitForWindow(setup, Dialog(IDD_COPY_FAILED), 60000).Exists());
    setup.Kill();
    held.Release();
    RemoveTree(Chosen("stage1.dat"));
    EXPECT_NE("my own notes", ReadWholeFile(Chosen("readme.txt")));
    std::vector<std::string> kept = FolderEntries(kChosenFolder);
    EXPECT_EQ(1, std::count_if(kept.begin(), kept.end(), [](const std::string& n) { return n.rfind("~ZK", 0) == 0; }));

    Process again = medium.StartSetup();
    Window notice = WaitForWindow(
        again, MessageBoxWithText("前回の「ZELKサンプルゲーム」のセットアップは途中で終了しました。"
                                  "セットアップが置き換えたファイルを元に戻しました。", kSetupCaption));
    ASSERT_TRUE(notice.Exists());
    EXPECT_EQ("my own notes", ReadWholeFile(Chosen("readme.txt")));
    notice.Press(IDOK);
    Window wizard = WaitForWindow(again, WizardSheet());
    ASSERT_TRUE(wizard.Exists());
    wizard.PressSheetButton(PSBTN_CANCEL);
    Answer(again, IDD_CONFIRM_CANCEL, IDB_ABANDON);
    Answer(again, IDD_ABORTED, IDOK);
    EXPECT_EQ(0, again.WaitForExit());
    // What the interrupted run copied that was new stays; everything it replaced is back.
    for (const char* name : {"sample.exe"}) RemoveTree(Chosen(name));
    ExpectAsBefore(before);
}

INSTANTIATE_TEST_SUITE_P(Systems, RollBack, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

}  // namespace
