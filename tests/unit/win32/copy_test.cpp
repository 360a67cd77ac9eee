// The copy primitive and the copy engine inside its progress dialog.
#include <gtest/gtest.h>

#include <stdio.h>

#include "dialog_answerer.h"
#include "setup/journal.h"
#include "setup/setup.h"
#include "test_files.h"

using testfiles::PathExists;
using testfiles::ReadWholeFile;
using testfiles::ScratchFolder;
using testfiles::WriteWholeFile;

namespace {

// Every test of setup's actions runs as a run of its own: a fresh journal before, and after
// it the run succeeds, so kept originals and their list do not pile up between tests.
class JournalPerTest : public testing::EmptyTestEventListener {
public:
    JournalPerTest() {
        GetWindowsDirectoryA(context_.windowsDir, sizeof context_.windowsDir);
        context_.unRegistry = DuplicateString("ZELKUnitTests");
    }
    void OnTestStart(const testing::TestInfo&) override { BeginJournal(context_); }
    void OnTestEnd(const testing::TestInfo&) override { CommitJournal(); }

private:
    SetupContext context_;
};

const bool kJournalPerTest =
    (testing::UnitTest::GetInstance()->listeners().Append(new JournalPerTest), true);

std::string SampleMedium() { return testfiles::BuildFolder() + "\\sample-medium"; }
std::string SampleProduct() { return testfiles::SourceFolder() + "\\sample\\product"; }

FILETIME Stamp() {
    SYSTEMTIME time = {2001, 2, 0, 3, 12, 34, 56, 0};
    FILETIME stamp;
    SystemTimeToFileTime(&time, &stamp);
    return stamp;
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

HANDLE OpenWithSharing(const std::string& path, DWORD share) {
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool IsReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

class CopyInstallFileTest : public testing::Test {
protected:
    // A copy of a medium file in the scratch folder, with the test's time stamp.
    std::string MediumFile(const std::string& name, const std::string& as) {
        std::string path = scratch / as;
        EXPECT_TRUE(CopyFileA((SampleMedium() + "\\" + name).c_str(), path.c_str(), FALSE)) << name;
        FILETIME stamp = Stamp();
        EXPECT_EQ(1, SetAllFileTimes(path.c_str(), &stamp));
        return path;
    }
    ScratchFolder scratch{"copy"};
};

TEST_F(CopyInstallFileTest, ExpandsACompressedFileWithTheSourcesTime) {
    std::string source = MediumFile("stage1.da_", "stage1.da_");
    std::string dest = scratch / "stage1.dat";
    ASSERT_EQ(1, CopyInstallFile(source.c_str(), dest.c_str()));

    HANDLE file = OpenWithSharing(dest, FILE_SHARE_READ);
    FILETIME created, accessed, written;
    ASSERT_TRUE(GetFileTime(file, &created, &accessed, &written));
    CloseHandle(file);
    EXPECT_TRUE(SameTime(Stamp(), created));
    EXPECT_TRUE(SameTime(Stamp(), accessed));
    EXPECT_TRUE(SameTime(Stamp(), written));

    std::string expanded = ReadWholeFile(dest);
    EXPECT_EQ(ReadWholeFile(SampleProduct() + "\\stage1.dat"), expanded);
    EXPECT_NE(ReadWholeFile(source), expanded);
    EXPECT_FALSE(IsReadOnly(dest));
}

TEST_F(CopyInstallFileTest, CopiesAPlainFileAndClearsItsReadOnlyFlag) {
    std::string source = MediumFile("readme.txt", "readme.txt");
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string dest = scratch / "copied.txt";
    WriteWholeFile(dest, "an older file that is replaced");
    ASSERT_EQ(1, CopyInstallFile(source.c_str(), dest.c_str()));
    EXPECT_EQ(ReadWholeFile(SampleProduct() + "\\readme.txt"), ReadWholeFile(dest));
    EXPECT_FALSE(IsReadOnly(dest));
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// "ダ" ends in the byte of "_": such a name is a plain file. The expansion opens its source
// without sharing, the plain copy shares reading, so a reader holding it open tells them apart.
TEST_F(CopyInstallFileTest, ANameEndingInADoubleByteCharacterIsNotExpanded) {
    std::string plain = MediumFile("readme.txt", "データ.ダ");
    std::string compressed = MediumFile("stage1.da_", "stage1.da_");
    HANDLE plainReader = OpenWithSharing(plain, FILE_SHARE_READ);
    HANDLE compressedReader = OpenWithSharing(compressed, FILE_SHARE_READ);
    EXPECT_EQ(1, CopyInstallFile(plain.c_str(), (scratch / "out1").c_str()));
    EXPECT_EQ(0, CopyInstallFile(compressed.c_str(), (scratch / "out2").c_str()));
    CloseHandle(plainReader);
    CloseHandle(compressedReader);
    EXPECT_EQ(ReadWholeFile(plain), ReadWholeFile(scratch / "out1"));
}

TEST_F(CopyInstallFileTest, FailsWhenTheSourceOrTheDestinationCannotBeOpened) {
    std::string plain = MediumFile("readme.txt", "readme.txt");
    std::string compressed = MediumFile("stage1.da_", "stage1.da_");
    EXPECT_EQ(0, CopyInstallFile((scratch / "missing.txt").c_str(), (scratch / "a").c_str()));
    EXPECT_EQ(0, CopyInstallFile((scratch / "missing.tx_").c_str(), (scratch / "b").c_str()));

    std::string locked = scratch / "locked";
    WriteWholeFile(locked, "held");
    HANDLE holder = OpenWithSharing(locked, 0);
    EXPECT_EQ(0, CopyInstallFile(plain.c_str(), locked.c_str()));
    EXPECT_EQ(0, CopyInstallFile(compressed.c_str(), locked.c_str()));
    CloseHandle(holder);
    EXPECT_EQ("held", ReadWholeFile(locked));

    FILETIME time;
    EXPECT_EQ(0, GetFileCreationTime((scratch / "missing").c_str(), &time));
    EXPECT_EQ(0, SetAllFileTimes((scratch / "missing").c_str(), &time));
}

// ---- the copy engine in its dialog ----

class CopyEngine : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"readme.txt", "stage1.da_", "unZELK.exe", "rmZELK.bin"}) {
            CopyFileA((SampleMedium() + "\\" + name).c_str(), (medium / name).c_str(), FALSE);
        }
        CreateDirectoryA((scratch / "dest").c_str(), nullptr);
        g_setup.srcDirectory = DuplicateString(medium.path().c_str());
        CopyString(g_setup.destination, (scratch / "dest").c_str());
        g_cancelFlag = 0;
    }
    void TearDown() override {
        for (int i = 0; i < g_setup.fileCount; ++i) {
            free(g_setup.fileSource[i]);
            free(g_setup.fileDest[i]);
        }
        for (int i = 0; i < kFileSlots; ++i) g_setup.fileSource[i] = g_setup.fileDest[i] = nullptr;
        g_setup.fileCount = 0;
        free(g_setup.srcDirectory);
        g_setup.srcDirectory = nullptr;
        g_setup.destination[0] = '\0';
        g_cancelFlag = 0;
    }
    void AddFile(const char* source, const char* dest) {
        int i = g_setup.fileCount++;
        g_setup.fileSource[i] = DuplicateString(source);
        g_setup.fileDest[i] = DuplicateString(dest);
    }
    // The two built-ins behind the script's files, as the script reader leaves them.
    void AddBuiltIns() {
        int n = g_setup.fileCount;
        g_setup.fileSource[n] = const_cast<char*>(kUninstallerName);
        g_setup.fileSource[n + 1] = const_cast<char*>(kCompanionName);
        g_setup.fileDest[n] = g_setup.fileDest[n + 1] = nullptr;
    }
    std::string Dest(const std::string& name) { return scratch / ("dest\\" + name); }

    ScratchFolder scratch{"engine"};
    ScratchFolder medium{"engine-medium"};
};

bool IsProgressDialog(const SeenDialog& seen) { return seen.caption == "ファイルのコピー中です"; }

TEST_F(CopyEngine, CopiesEveryFileAndTheBuiltIns) {
    AddFile("readme.txt", nullptr);
    AddFile("stage1.da_", "stage1.dat");
    AddBuiltIns();
    DialogAnswerer answerer([](const SeenDialog&) { return 0; });
    EXPECT_EQ(0, RunCopyProgress());
    EXPECT_EQ(ReadWholeFile(SampleProduct() + "\\readme.txt"), ReadWholeFile(Dest("readme.txt")));
    EXPECT_EQ(ReadWholeFile(SampleProduct() + "\\stage1.dat"), ReadWholeFile(Dest("stage1.dat")));
    EXPECT_EQ(ReadWholeFile(medium / "unZELK.exe"), ReadWholeFile(Dest("unZELK.exe")));
    EXPECT_TRUE(IsReadOnly(Dest("unZELK.exe")));
    EXPECT_TRUE(IsReadOnly(Dest("rmZELK.bin")));
    EXPECT_FALSE(IsReadOnly(Dest("readme.txt")));
    // A copy of three small files is over within milliseconds: the answerer may look only
    // after the dialog has gone (nothing seen, or a window without caption any more), and
    // whether it was still topmost then depends on timing too. What it saw whole was the
    // progress dialog, and nothing else came.
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_LE(seen.size(), 1u);
    if (!seen.empty() && !seen[0].caption.empty()) {
        EXPECT_TRUE(IsProgressDialog(seen[0]));
    }
    SetFileAttributesA(Dest("unZELK.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(Dest("rmZELK.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A failed item is asked about in dialog 127, owned by the progress dialog: "copy again"
// repeats it (here after the cause went away), "abandon" ends the dialog with 1.
TEST_F(CopyEngine, AFailedFileIsCopiedAgainOrAbandoned) {
    AddFile("readme.txt", nullptr);
    AddBuiltIns();
    WriteWholeFile(Dest("readme.txt"), "held");
    for (int answer : {IDB_COPY_AGAIN, IDCANCEL}) {
        HANDLE holder = OpenWithSharing(Dest("readme.txt"), 0);
        DialogAnswerer answerer([&](const SeenDialog& seen) {
            if (IsProgressDialog(seen)) return 0;
            if (answer == IDB_COPY_AGAIN) CloseHandle(holder);
            return answer;
        });
        EXPECT_EQ(answer == IDB_COPY_AGAIN ? 0 : 1, RunCopyProgress());
        if (answer == IDCANCEL) CloseHandle(holder);
        // The two may be seen in either order: dialog 127 can be up before the first look.
        std::vector<SeenDialog> seen = answerer.Seen();
        ASSERT_EQ(2u, seen.size());
        const SeenDialog& progress = IsProgressDialog(seen[0]) ? seen[0] : seen[1];
        const SeenDialog& failure = IsProgressDialog(seen[0]) ? seen[1] : seen[0];
        EXPECT_EQ((std::vector<int>{4, 2}), failure.buttons);
        EXPECT_EQ(progress.window, failure.owner);
        // Seen no later than the question, so still in the topmost band it keeps while it
        // copies (a copy of small files alone may be over before the first look).
        EXPECT_TRUE(progress.topmost);
        EXPECT_EQ(answer == IDB_COPY_AGAIN, PathExists(Dest("rmZELK.bin")));
        SetFileAttributesA(Dest("unZELK.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesA(Dest("rmZELK.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Dest("rmZELK.bin").c_str());
    }
}

// What the copy engine reported to its dialog, and the bar at that moment.
struct Report {
    UINT message = 0;
    LRESULT position = -1;
    LRESULT high = -1;
};
Report report;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_USER && message != WM_USER + 1) return FALSE;
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    report.message = message;
    if (bar != nullptr) {
        report.position = SendMessageA(bar, PBM_GETPOS, 0, 0);
        report.high = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    }
    return TRUE;
}

// One step per item of all three lists: the bar is full exactly when the copy is done.
TEST_F(CopyEngine, TheBarIsFullWhenTheCopyReportsDone) {
    ScratchFolder system("engine-system");
    std::string dll = testfiles::BuildFolder() + "\\testdata\\dll_base.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), (medium / "zelktest.dll").c_str(), FALSE));
    AddFile("readme.txt", nullptr);
    AddBuiltIns();
    g_setup.dllSource[0] = DuplicateString("zelktest.dll");
    g_setup.dllCount = 1;
    CopyString(g_setup.systemDir, system.path().c_str());
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_COPY_PROGRESS),
                                     nullptr, RecordingProc, 0);
    ASSERT_NE(nullptr, dialog);
    report = Report();
    EXPECT_EQ(0, CopyAllFiles(dialog));
    DestroyWindow(dialog);
    free(g_setup.dllSource[0]);
    g_setup.dllSource[0] = nullptr;
    g_setup.dllCount = 0;
    g_setup.systemDir[0] = '\0';
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), report.message);
    EXPECT_EQ(4, report.high);
    EXPECT_EQ(4, report.position);
    SetFileAttributesA(Dest("unZELK.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(Dest("rmZELK.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Without its progress bar the dialog is told at once that the copy failed.
TEST_F(CopyEngine, ADialogWithoutTheBarFailsTheCopy) {
    AddFile("readme.txt", nullptr);
    AddBuiltIns();
    DialogAnswerer answerer;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABORTED),
                                     nullptr, RecordingProc, 0);
    ASSERT_NE(nullptr, dialog);
    report = Report();
    EXPECT_EQ(0, CopyAllFiles(dialog));
    DestroyWindow(dialog);
    EXPECT_EQ(static_cast<UINT>(WM_USER), report.message);
    EXPECT_FALSE(PathExists(Dest("readme.txt")));
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("GetDlgItem", seen[0].text);
}

// A cancel confirmed while the copy runs takes effect between two items.
TEST_F(CopyEngine, ACancelConfirmedDuringTheCopyStopsIt) {
    for (int i = 0; i < 200; ++i) {
        char name[32];
        snprintf(name, sizeof name, "copy%03d.txt", i);
        AddFile("readme.txt", name);
    }
    AddBuiltIns();
    DialogAnswerer answerer([](const SeenDialog& seen) {
        return IsProgressDialog(seen) ? IDCANCEL : IDB_ABANDON;
    });
    EXPECT_EQ(1, RunCopyProgress());
    EXPECT_EQ(1, g_cancelFlag);
    EXPECT_TRUE(PathExists(Dest("copy000.txt")));
    EXPECT_FALSE(PathExists(Dest("unZELK.exe")));
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ((std::vector<int>{6, 7}), seen[1].buttons);  // dialog 118
}

}  // namespace
