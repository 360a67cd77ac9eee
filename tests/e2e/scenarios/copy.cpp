// The copy under its progress dialog: every file in place, the failure question with its
// two ways on, and a cancel while the copy runs.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "media.h"
#include "wizard_steps.h"

#include "tests/support/files.h"

using namespace e2e;
using zelktest::HeldFile;

namespace {

std::string SampleProduct() {
    std::string path = std::string("Z:") + ZELK_SOURCE_DIR + "/sample/product";
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

FILETIME Stamp(WORD year) {
    SYSTEMTIME time = {year, 2, 0, 3, 12, 34, 56, 0};
    FILETIME stamp;
    SystemTimeToFileTime(&time, &stamp);
    return stamp;
}

void StampFile(const std::string& path, const FILETIME& time) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << Utf8(path);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

bool IsReadOnly(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::string Installed(const std::string& name) { return std::string(kDefaultDestination) + "\\" + name; }

class Copy : public testing::Test {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(WindowsVersion::Win95);
    }

    // The wizard through to its last page with the default destination (created).
    WizardRun ToReadyPage(const Medium& medium) {
        WizardRun run = StartWizard(medium);
        if (!run.sheet.Exists()) return run;
        ToDestinationPage(run);
        run.sheet.PressSheetButton(PSBTN_NEXT);
        Answer(run.setup, IDD_CREATE_FOLDER, IDB_CREATE_FOLDER);
        WaitForPage(run.sheet, IDD_READY_PAGE);
        return run;
    }

    // Aborted and rolled back: the folder the run made is gone, unless the test put a file
    // of its own (othersFile) into it, which then stays alone in it.
    void ExpectAborted(WizardRun& run, const char* othersFile = nullptr) {
        Window aborted = WaitForWindow(run.setup, Dialog(IDD_ABORTED), 60000);
        if (!aborted.Exists()) return;
        aborted.Press(IDOK);
        EXPECT_EQ(0, run.setup.WaitForExit());
        if (othersFile != nullptr) {
            EXPECT_EQ(std::vector<std::string>{othersFile}, zelktest::FolderEntries(kDefaultDestination));
        } else {
            EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK")) << "the rollback left the folder";
        }
    }

    void ExpectFinished(WizardRun& run) {
        Window finished = WaitForWindow(run.setup, Dialog(IDD_FINISHED), 60000);
        if (!finished.Exists()) return;
        finished.Press(IDOK);
        EXPECT_EQ(0, run.setup.WaitForExit());
    }
};

TEST_F(Copy, EveryFileInPlaceWithItsTimes) {
    Medium medium("copy");
    const FILETIME compressedTime = Stamp(2001);
    const FILETIME plainTime = Stamp(1999);
    StampFile(medium.Path("sample.ex_"), compressedTime);
    StampFile(medium.Path("stage1.da_"), compressedTime);
    StampFile(medium.Path("readme.txt"), plainTime);
    WizardRun run = ToReadyPage(medium);
    run.sheet.PressSheetButton(PSBTN_FINISH);
    ExpectFinished(run);

    EXPECT_EQ(ReadWholeFile(BuildFolder() + "\\sample.exe"), ReadWholeFile(Installed("sample.exe")));
    EXPECT_EQ(ReadWholeFile(SampleProduct() + "\\stage1.dat"), ReadWholeFile(Installed("stage1.dat")));
    EXPECT_EQ(ReadWholeFile(medium.Path("readme.txt")), ReadWholeFile(Installed("readme.txt")));
    EXPECT_EQ(ReadWholeFile(medium.Path("unZELK.exe")), ReadWholeFile(Installed("unZELK.exe")));
    EXPECT_EQ(ReadWholeFile(medium.Path("rmZELK.bin")), ReadWholeFile(Installed("rmZELK.bin")));

    // An expanded file carries its source's time; a plain copy keeps its write time. (The
    // access time is the source's too right after the copy, but later steps read the files.)
    for (const char* name : {"sample.exe", "stage1.dat"}) {
        HANDLE file = CreateFileA(Installed(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        FILETIME created, written;
        ASSERT_TRUE(GetFileTime(file, &created, nullptr, &written)) << name;
        CloseHandle(file);
        EXPECT_TRUE(SameTime(compressedTime, created)) << name;
        EXPECT_TRUE(SameTime(compressedTime, written)) << name;
    }
    EXPECT_TRUE(SameTime(plainTime, LastWriteTime(Installed("readme.txt"))));

    // The uninstaller and its companion are read-only; the application's files are not.
    EXPECT_TRUE(IsReadOnly(Installed("unZELK.exe")));
    EXPECT_TRUE(IsReadOnly(Installed("rmZELK.bin")));
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat"}) {
        EXPECT_FALSE(IsReadOnly(Installed(name))) << name;
    }
}

// A file that cannot be written brings dialog 127 up over the progress, which shows that
// file's two paths and one step per finished item. "もう一度コピー" (also Enter) tries again
// as often as asked; once the file is free, the copy ends.
TEST_F(Copy, AFailedFileIsCopiedAgainUntilItSucceeds) {
    Medium medium("copy");
    WizardRun run = ToReadyPage(medium);
    ASSERT_TRUE(run.sheet.Exists());
    HeldFile held(Installed("unZELK.exe"));
    EXPECT_TRUE(held.Held()) << "cannot hold the file";
    run.sheet.PressSheetButton(PSBTN_FINISH);

    Window progress = WaitForWindow(run.setup, Dialog(IDD_COPY_PROGRESS));
    Window failed = WaitForWindow(run.setup, Dialog(IDD_COPY_FAILED));
    ASSERT_TRUE(failed.Exists());
    EXPECT_EQ(progress.handle(), GetWindow(failed.handle(), GW_OWNER));
    EXPECT_EQ(medium.Path("unZELK.exe"), progress.Text(IDC_SOURCE_PATH));
    EXPECT_EQ(Installed("unZELK.exe"), progress.Text(IDC_DEST_PATH));
    EXPECT_EQ(0, ControlMessage(progress, IDC_PROGRESS_BAR, PBM_GETRANGE, TRUE));
    EXPECT_EQ(5, ControlMessage(progress, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE));
    EXPECT_EQ(3, ControlMessage(progress, IDC_PROGRESS_BAR, PBM_GETPOS));

    failed.Press(IDB_COPY_AGAIN);
    failed.WaitClosed();
    failed = WaitForWindow(run.setup, Dialog(IDD_COPY_FAILED));
    failed.PressKey(VK_RETURN);
    failed.WaitClosed();
    failed = WaitForWindow(run.setup, Dialog(IDD_COPY_FAILED));
    ASSERT_TRUE(failed.Exists());
    EXPECT_EQ(3, ControlMessage(progress, IDC_PROGRESS_BAR, PBM_GETPOS));

    held.Release();
    failed.Press(IDB_COPY_AGAIN);
    ExpectFinished(run);
    EXPECT_EQ(ReadWholeFile(medium.Path("unZELK.exe")), ReadWholeFile(Installed("unZELK.exe")));
}

// "セットアップを中止" (also Escape) ends the copy; setup rolls back and says it stopped.
TEST_F(Copy, AbandoningAFailedCopyRollsBack) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "button");
        ResetMachine();
        Medium medium("copy");
        WizardRun run = ToReadyPage(medium);
        ASSERT_TRUE(run.sheet.Exists());
        HeldFile held(Installed("stage1.dat"));
        EXPECT_TRUE(held.Held()) << "cannot hold the file";
        run.sheet.PressSheetButton(PSBTN_FINISH);
        Window failed = WaitForWindow(run.setup, Dialog(IDD_COPY_FAILED));
        ASSERT_TRUE(failed.Exists());
        held.Release();
        if (escape) {
            failed.PressKey(VK_ESCAPE);
        } else {
            failed.Press(IDCANCEL);
        }
        ExpectAborted(run, "stage1.dat");  // the held file is the test's, not the run's
    }
}

// A cancel during the copy is asked in dialog 118 over the progress dialog. "中止しない" lets
// the copy go on; "中止する" stops it after the file at hand, and setup rolls back. (The
// progress dialog also leaves the topmost band while it asks; Wine keeps an owned window
// topmost, so that is not checked here.)
TEST_F(Copy, CancelWhileCopying) {
    const std::string big(64 << 20, 'z');
    for (bool abandon : {false, true}) {
        SCOPED_TRACE(abandon ? "abandon" : "go on");
        ResetMachine();
        Medium medium("copy", SampleScriptWith("", "big1.dat\r\nbig2.dat\r\n"));
        medium.WriteFile("big1.dat", big);
        medium.WriteFile("big2.dat", big);
        WizardRun run = ToReadyPage(medium);
        ASSERT_TRUE(run.sheet.Exists());
        run.sheet.PressSheetButton(PSBTN_FINISH);

        Window progress = WaitForWindow(run.setup, Dialog(IDD_COPY_PROGRESS));
        ASSERT_TRUE(progress.Exists());
        EXPECT_TRUE(progress.IsTopmost());
        progress.Press(IDCANCEL);
        Window ask = WaitForWindow(run.setup, Dialog(IDD_CONFIRM_CANCEL));
        ASSERT_TRUE(ask.Exists());
        EXPECT_EQ(progress.handle(), GetWindow(ask.handle(), GW_OWNER));
        EXPECT_EQ(64 << 20, FileSize(Installed("big1.dat")));  // the file at hand is finished
        ask.Press(abandon ? IDB_ABANDON : IDB_DO_NOT_ABANDON);
        if (abandon) {
            ExpectAborted(run);
        } else {
            ask.WaitClosed();
            EXPECT_TRUE(!progress.Exists() || progress.IsTopmost());
            ExpectFinished(run);
            EXPECT_EQ(64 << 20, FileSize(Installed("big2.dat")));
        }
    }
}

}  // namespace
