// An installation that fails or is cancelled half-way is rolled back exactly, and one that
// is ended from outside is put right by the next run: whichever way it ended, the machine is
// as it was before, to the contents and times of the files. The chosen folder already holds
// the user's own readme.txt and a saved game named like the product's ADDFILE; an older copy
// of the shared DLL and of the font is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

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
const char kRestored[] = "前回の「ZELKサンプルゲーム」のセットアップは途中で終了しました。"
                         "セットアップが行った変更をすべて元に戻しました。";
const char kAlreadyInstalled[] = "「ZELKサンプルゲーム」は既にセットアップされています。";
const char kChosenFolder[] = "C:\\zelk-test\\Mine";
constexpr ULONGLONG kOldTime = 125000000000000000ull;  // a day in 1997

// The contents of a file as a short text (FNV-1a).
std::string Digest(const std::string& contents) {
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char c : contents) hash = (hash ^ c) * 1099511628211ull;
    return std::to_string(hash);
}

bool StartsWithNoCase(const std::string& text, const std::string& head) {
    return text.size() >= head.size() && lstrcmpiA(text.substr(0, head.size()).c_str(), head.c_str()) == 0;
}

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

    void TearDown() override {
        heldFont_.reset();  // a journey that stopped early may hold it still
        RemovalJourney::TearDown();
    }

    std::string FontsFolder() const { return WindowsFolder() + (IsNT(GetParam()) ? "\\SYSTEM" : "\\FONTS"); }
    static std::string Chosen(const std::string& name) { return std::string(kChosenFolder) + "\\" + name; }

    void PutUsersFile(const std::string& path, const std::string& contents) {
        WriteWholeFile(path, contents);
        SetTimes(path, kOldTime);
        usersFiles_.push_back({path, contents});
    }

    // The wizard to its ready page with the destination typed (the chosen folder, which
    // exists, unless told).
    Window StartToReadyPage(const Medium& medium, Process* setup, const std::string& destination = kChosenFolder) {
        *setup = medium.StartSetup();
        return ToReadyPage(*setup, destination);
    }

    // The installation to the copy of the font, the last item, which fails: the font is held
    // open (until heldFont_ is reset), so that it cannot be kept aside. The files and the DLL
    // are in place by then. The copy failure dialog.
    Window RunToFontCopyFailure(const Medium& medium, Process* setup, const std::string& destination = kChosenFolder) {
        Window sheet = StartToReadyPage(medium, setup, destination);
        if (!sheet.Exists()) return sheet;
        heldFont_.reset(new HeldFile(FontsFolder() + "\\ZELKRT.TTF"));
        EXPECT_TRUE(heldFont_->Held()) << "cannot hold the file";
        sheet.PressSheetButton(PSBTN_FINISH);
        return WaitForWindow(*setup, Dialog(IDD_COPY_FAILED), 60000);
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

    // What these journeys compare: every file with its times, and the contents of each one an
    // installation may touch; the keys; the groups of the Program Manager stand-in.
    Snapshot Watched() const {
        Snapshot snapshot = TakeSnapshot(true);
        const std::string programs = ProgramsFolder();
        for (auto& [path, description] : snapshot) {
            if (description.rfind("<", 0) == 0) continue;  // a folder or a link into the host
            std::string name = path.substr(path.find_last_of('\\') + 1);
            if (StartsWithNoCase(path, "C:\\zelk-test\\") || StartsWithNoCase(path, programs + "\\") ||
                StartsWithNoCase(name, "ZELK") || StartsWithNoCase(name, "~ZK")) {
                description += ", contents " + Digest(ReadWholeFile(path));
            }
        }
        snapshot["Program Manager"] = programManager_.Groups();
        return snapshot;
    }

    // Everything as before: files with their times, the keys; the user's files byte for byte.
    void ExpectAsBefore(const Snapshot& before) {
        std::vector<std::string> differences = Differences(before, Watched());
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

    // The run after an ended one: its one notice comes once the ended run is undone, before
    // anything else.
    void ExpectPutRight(Process& setup, const Snapshot& before) {
        Window notice = WaitForWindow(setup, MessageBoxWithText(kRestored, kSetupCaption), 30000);
        ASSERT_TRUE(notice.Exists());
        ExpectAsBefore(before);
        notice.Press(IDOK);
    }

    void AbandonInTheWizard(Process& setup) {
        Window wizard = WaitForWindow(setup, WizardSheet());
        ASSERT_TRUE(wizard.Exists());
        wizard.PressSheetButton(PSBTN_CANCEL);
        Answer(setup, IDD_CONFIRM_CANCEL, IDB_ABANDON);
        Answer(setup, IDD_ABORTED, IDOK);
        EXPECT_EQ(0, setup.WaitForExit());
    }

    void StartAgainAndAbandon(const Medium& medium, const Snapshot& before) {
        Process again = medium.StartSetup();
        ExpectPutRight(again, before);
        if (HasFatalFailure()) return;
        AbandonInTheWizard(again);
        ExpectAsBefore(before);
    }

    std::vector<std::pair<std::string, std::string>> usersFiles_;
    std::unique_ptr<HeldFile> heldFont_;
};

TEST_P(RollBack, CancelledWhileCopying) {
    Medium medium = SampleWithDllAndFont("rollback");
    medium.WriteScript(SampleScriptWithDllAndFont() + "big1.dat\r\nbig2.dat\r\n");
    const std::string big(64 << 20, 'z');
    medium.WriteFile("big1.dat", big);
    medium.WriteFile("big2.dat", big);
    Snapshot before = Watched();
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
    Snapshot before = Watched();
    Process setup;
    Window failed = RunToFontCopyFailure(medium, &setup);
    ASSERT_TRUE(failed.Exists());
    EXPECT_NE("my own notes", ReadWholeFile(Chosen("readme.txt")));
    heldFont_.reset();
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
    Snapshot before = Watched();
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
    Snapshot before = Watched();
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
    Snapshot before = Watched();
    HeldFile held(Chosen("unZELK.dat"));
    EXPECT_TRUE(held.Held()) << "cannot hold the file";
    RunToFailure(medium, "アンインストール情報を生成することができません。");
    held.Release();
    ExpectProgmanUndone(true);
    ExpectAsBefore(before);
}

// Setup killed while it asks about the font it cannot copy, the last item: the files, the
// DLL and everything kept aside before it are in place. The next run of the product undoes
// all of it before anything else, with one notice.
TEST_P(RollBack, KilledAtTheCopyFailureDialogAndStartedAgain) {
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = Watched();
    Process setup;
    ASSERT_TRUE(RunToFontCopyFailure(medium, &setup).Exists());
    setup.Kill();
    heldFont_.reset();
    EXPECT_NE("my own notes", ReadWholeFile(Chosen("readme.txt")));
    EXPECT_TRUE(PathExists(Chosen("sample.exe")));
    StartAgainAndAbandon(medium, before);
}

// Setup killed in the start-menu step, where the group is the user's and holds an entry of
// the user's named like one of the product's (Windows 95: a shortcut setup cannot keep
// aside, so that the step fails; NT: an item, in a Program Manager that answers slowly).
// The next run takes away the run's own entries only.
TEST_P(RollBack, KilledInTheMenuStepAndStartedAgain) {
    const bool nt = IsNT(GetParam());
    const std::string group = ProgramsFolder() + "\\" + kTitle;
    std::unique_ptr<HeldFile> held;
    if (nt) {
        ASSERT_TRUE(programManager_.Start(BuildFolder() + "\\testdata\\progman_standin.exe",
                                          "C:\\zelk-media\\progman.rec",
                                          "--delay 700 --group " + std::string(kTitle) + "," + kTitle));
    } else {
        CreateDirectoryA(group.c_str(), nullptr);
        PutUsersFile(group + "\\はじめにお読みください.lnk", "the user's own shortcut");
    }
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = Watched();
    Process setup;
    Window sheet = StartToReadyPage(medium, &setup);
    ASSERT_TRUE(sheet.Exists());
    if (!nt) held = std::make_unique<HeldFile>(group + "\\はじめにお読みください.lnk");
    sheet.PressSheetButton(PSBTN_FINISH);
    if (nt) {
        // Killed while Program Manager is at the second item; the first was the user's already.
        const std::string second = ",はじめにお読みください)]";
        DWORD start = GetTickCount();
        auto reached = [&] {
            for (const std::string& command : programManager_.Commands()) {
                if (command.rfind("[AddItem(", 0) == 0 && command.find(second) != std::string::npos) return true;
            }
            return false;
        };
        while (!reached() && GetTickCount() - start < 60000) Sleep(20);
        ASSERT_TRUE(reached()) << "setup did not get to the second item";
    } else {
        const std::string failed = "スタートメニューにショートカットを追加することに失敗しました。";
        ASSERT_TRUE(WaitForWindow(setup, MessageBoxWithText(failed, kSetupCaption), 60000).Exists());
        EXPECT_TRUE(PathExists(group + "\\" + kTitle + ".lnk"));
    }
    setup.Kill();
    held.reset();
    StartAgainAndAbandon(medium, before);
    if (nt) {
        std::vector<std::string> commands = programManager_.Commands();
        auto sent = [&](const std::string& command) {
            return std::find(commands.begin(), commands.end(), command) != commands.end();
        };
        EXPECT_TRUE(sent("[DeleteItem(はじめにお読みください)]"));
        EXPECT_FALSE(sent(std::string("[DeleteItem(") + kTitle + ")]")) << "the user's own item was deleted";
        EXPECT_FALSE(GroupDeleted());
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, RollBack, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

// A run ended before each of its actions in turn, and once all are done: every time, the
// next run undoes it to the machine as it was. The payload has every kind of action: new
// files and one that replaces the user's, an older DLL replaced and a new one, an older font
// replaced and a new one, the start-menu entries, the registry keys and values, the record.
// The run is made by a setup.exe built to end where the test says (tests/tools/setup_ending.cpp).
class EndedRun : public RollBack {
protected:
    void SetUp() override {
        RollBack::SetUp();
        // ZELKUSE.DLL, older than the medium's, is the user's; a run may find it in use.
        const std::string older = ReadWholeFile(BuildFolder() + "\\testdata\\dll_file_lower.dll");
        PutUsersFile(SystemFolder() + "\\ZELKUSE.DLL", older);
        medium_ = std::make_unique<Medium>("ended", SampleScriptWithDllAndFont() +
                                                        "DLL=dll_base.dll>ZELKNEW.DLL\r\n"
                                                        "DLL=dll_file_higher.dll>ZELKUSE.DLL\r\n"
                                                        "FONT=ZELKTEST.TTF>ZELKNEW.TTF," + kNewFontValue + "\r\n");
        const std::string testdata = BuildFolder() + "\\testdata\\";
        for (const char* name : {"dll_file_higher.dll", "dll_base.dll", "ZELKTEST.TTF"}) {
            medium_->WriteFile(name, ReadWholeFile(testdata + name));
        }
        medium_->WriteFile("setup.exe", ReadWholeFile(testdata + "setup_ending.exe"));
    }
    void TearDown() override {
        for (const char* name : {"ZELK_END_AT", "ZELK_END_UNDO_AT", "ZELK_END_COMMIT_AT"}) {
            SetEnvironmentVariableA(name, nullptr);
        }
        RollBack::TearDown();
    }

    // Setup started to end at action k (0: never), at step j of an undo, at step c of the
    // commit.
    Process StartEndingAt(int k, int j = 0, int c = 0) {
        SetEnvironmentVariableA("ZELK_END_AT", k ? std::to_string(k).c_str() : nullptr);
        SetEnvironmentVariableA("ZELK_END_UNDO_AT", j ? std::to_string(j).c_str() : nullptr);
        SetEnvironmentVariableA("ZELK_END_COMMIT_AT", c ? std::to_string(c).c_str() : nullptr);
        return medium_->StartSetup();
    }

    // Every action of a run done, with a retry among them and a DLL in use, and the run ended
    // before its finish mark. The medium's DLL cannot be read at first: its copy fails after
    // the user's older DLL was kept aside, and the copy tried again lists the DLL's path as
    // new as well. ZELKUSE.DLL is in use: it is to be replaced at the next restart.
    void RunAllActionsWithARetry() {
        Process setup = StartEndingAt(1000000);
        Window sheet = ToReadyPage(setup, kChosenFolder);
        ASSERT_TRUE(sheet.Exists());
        HeldFile inUse(SystemFolder() + "\\ZELKUSE.DLL", true);
        ASSERT_TRUE(inUse.Held());
        auto held = std::make_unique<HeldFile>(medium_->Path("dll_file_higher.dll"));
        ASSERT_TRUE(held->Held());
        sheet.PressSheetButton(PSBTN_FINISH);
        Window failed = WaitForWindow(setup, Dialog(IDD_COPY_FAILED), 60000);
        ASSERT_TRUE(failed.Exists());
        EXPECT_FALSE(PathExists(SystemFolder() + "\\ZELKRT.DLL")) << "the user's DLL was not kept aside first";
        held.reset();
        failed.Press(IDB_COPY_AGAIN);
        ASSERT_GT(setup.WaitForExit(60000), 15) << "the run did not end at its last action";
        ASSERT_TRUE(RestartListNames("\\ZELKUSE.DLL") || RestartListNames("\\ZELKUSE~"))
            << "the DLL in use is not replaced at the next restart";
    }

    // Through the wizard into the destination; the run's exit code, which names the action
    // it ended at.
    int RunToTheEnd(Process& setup, const std::string& destination = kChosenFolder) {
        Window sheet = ToReadyPage(setup, destination);
        if (!sheet.Exists()) return -1;
        sheet.PressSheetButton(PSBTN_FINISH);
        return setup.WaitForExit(60000);
    }

    // The window once it shows, or none when setup ends first.
    static Window ShownUnlessEnded(const Process& setup, const WindowSpec& spec) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
            Window window = FindWindowOf(setup, spec);
            if (window.Exists() || !setup.Running()) return window;
        }
        return Window();
    }

    // The lists in the Windows folder, by name.
    static std::vector<std::string> Lists() {
        std::vector<std::string> lists;
        for (const std::string& name : FolderEntries(WindowsFolder())) {
            bool list = name.size() > 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".JNL") == 0;
            if (list && StartsWithNoCase(name, "~ZK")) {
                lists.push_back(WindowsFolder() + "\\" + name);
            }
        }
        return lists;
    }

    // True when the one list names path (in any case).
    static bool ListNames(const std::string& path) {
        std::vector<std::string> lists = Lists();
        std::string text = lists.size() == 1 ? ReadWholeFile(lists[0]) : "";
        std::string upper = path;
        CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
        if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
        return text.find(upper) != std::string::npos;
    }

    // Runs into destination ended at action 1, 2, ..., each put right by the next, until one
    // ends right after it listed keeping path aside, before the move. The action it ended at.
    int EndRightAfterListing(const std::string& path, const std::string& destination, const Snapshot& before) {
        for (int k = 1; k < 64; ++k) {
            Process setup = StartEndingAt(k);
            if (k > 1) ExpectPutRight(setup, before);
            if (HasFailure() || RunToTheEnd(setup, destination) != k) return -1;
            if (ListNames(path)) return k;
        }
        return -1;
    }

    std::unique_ptr<Medium> medium_;
};

TEST_P(EndedRun, IsUndoneByTheNextRunWhereverItEnded) {
    const Snapshot before = Watched();
    Process whole = StartEndingAt(1000000);
    const int actions = RunToTheEnd(whole);
    ASSERT_GT(actions, 15) << "the whole run did not end at its last action";
    for (int k = 1; k <= actions + 1; ++k) {
        SCOPED_TRACE("the run before ended at action " + std::to_string(k == 1 ? actions : k - 1));
        Process setup = StartEndingAt(k);
        ExpectPutRight(setup, before);
        if (HasFatalFailure()) return;
        if (k > actions) {
            AbandonInTheWizard(setup);
            break;
        }
        ASSERT_EQ(k, RunToTheEnd(setup));
    }
    ExpectAsBefore(before);
}

// The undo of an ended run, itself ended before each of its steps in turn: each run after
// ends one step further into the same undo, having done again what the one before did (or
// skipping what it marked done), until one finishes it. The machine is then as before the
// first run, and Program Manager was told to delete each item once.
TEST_P(EndedRun, AnUndoEndedAnywhereIsFinishedExactly) {
    const Snapshot before = Watched();
    RunAllActionsWithARetry();
    if (HasFatalFailure()) return;
    for (int j = 1;; ++j) {
        SCOPED_TRACE("the undo ended at its step " + std::to_string(j));
        Process setup = StartEndingAt(0, j);
        Window notice = ShownUnlessEnded(setup, MessageBoxWithText(kRestored, kSetupCaption));
        if (!notice.Exists()) {
            ASSERT_EQ(j, setup.WaitForExit(30000)) << "the run neither ended in its undo nor finished it";
            continue;
        }
        ASSERT_GT(j, 10) << "the undo had too few steps";
        ExpectAsBefore(before);
        notice.Press(IDOK);
        AbandonInTheWizard(setup);
        break;
    }
    ExpectAsBefore(before);
    EXPECT_FALSE(RestartListNames("\\ZELKUSE.DLL") || RestartListNames("\\ZELKUSE~"))
        << "the replacement at the next restart was not cancelled";
    if (IsNT(GetParam())) {
        std::map<std::string, int> deletions;
        for (const std::string& command : programManager_.Commands()) {
            if (command.rfind("[DeleteItem(", 0) == 0) ++deletions[command];
        }
        EXPECT_EQ(3u, deletions.size());
        for (const auto& [command, count] : deletions) EXPECT_EQ(1, count) << command;
    }
}

// The commit ended at each of its steps: before its finish mark the next run undoes the run;
// past it, runs ended one step further in turn finish the commit, and leave the installation
// as the commit would have: the same files, keys and entries, no kept original, no list.
TEST_P(EndedRun, ACommitEndedAnywhereIsFinishedExactly) {
    const Snapshot before = Watched();
    Process setup = StartEndingAt(0, 0, 1);
    ASSERT_EQ(1, RunToTheEnd(setup)) << "the run did not end before its finish mark";
    setup = StartEndingAt(0, 0, 2);
    ExpectPutRight(setup, before);
    if (HasFatalFailure()) return;
    Window sheet = ToReadyPage(setup, kChosenFolder);
    ASSERT_TRUE(sheet.Exists());
    sheet.PressSheetButton(PSBTN_FINISH);
    ASSERT_EQ(2, setup.WaitForExit(60000)) << "the run did not end past its finish mark";
    auto withoutTraces = [this] {
        Snapshot snapshot = Watched();
        for (auto it = snapshot.begin(); it != snapshot.end();) {
            std::string name = it->first.substr(it->first.find_last_of('\\') + 1);
            it = StartsWithNoCase(name, "~ZK") ? snapshot.erase(it) : std::next(it);
        }
        return snapshot;
    };
    const Snapshot installed = withoutTraces();
    for (int c = 1;; ++c) {
        SCOPED_TRACE("the finishing of the commit ended at its step " + std::to_string(c));
        Process again = StartEndingAt(0, 0, c);
        // The finished run's installation is found and asked about first.
        Window question = ShownUnlessEnded(again, MessageBoxWithText(kAlreadyInstalled, kSetupCaption));
        if (!question.Exists()) {
            ASSERT_EQ(c, again.WaitForExit(30000)) << "the run neither ended in the commit nor finished it";
            continue;
        }
        ASSERT_GT(c, 2) << "the commit had too few steps";
        std::vector<std::string> differences = Differences(installed, Watched());
        EXPECT_TRUE(differences.empty()) << Describe(differences);
        question.Press(IDNO);
        Answer(again, IDD_ABORTED, IDOK);
        EXPECT_EQ(0, again.WaitForExit());
        break;
    }
}

// Two products ended in turn: this one right after it listed keeping the user's ZELKRT.DLL
// aside, before the move; the other (another medium, another uninstall key name) once it
// had replaced the user's ZELKNEW.DLL. Each one's next run puts back its own original only.
TEST_P(EndedRun, TwoProductsEndedInTurnPutBackOnlyTheirOwnOriginals) {
    const std::string dll = SystemFolder() + "\\ZELKRT.DLL";
    const std::string otherDll = SystemFolder() + "\\ZELKNEW.DLL";
    // Both into folders of their own, where every file is new.
    CreateDirectoryA("C:\\zelk-test\\Sample", nullptr);
    CreateDirectoryA("C:\\zelk-test\\Other", nullptr);
    const std::string usersOtherDll = "the user's ZELKNEW.DLL, without a version";
    PutUsersFile(otherDll, usersOtherDll);
    const std::string usersDll = Digest(ReadWholeFile(dll));
    const Snapshot before = Watched();
    ASSERT_GT(EndRightAfterListing(dll, "C:\\zelk-test\\Sample", before), 0);
    EXPECT_EQ(usersDll, Digest(ReadWholeFile(dll))) << "kept aside already";

    std::string script = SampleScript() + "DLL=dll_file_higher.dll>ZELKNEW.DLL\r\n";
    script.replace(script.find("UNREGISTRY=ZELKSampleGame"), 25, "UNREGISTRY=ZELKOtherGame");
    Medium other("other", script);
    other.WriteFile("dll_file_higher.dll", ReadWholeFile(BuildFolder() + "\\testdata\\dll_file_higher.dll"));
    other.WriteFile("setup.exe", ReadWholeFile(BuildFolder() + "\\testdata\\setup_ending.exe"));
    SetEnvironmentVariableA("ZELK_END_AT", "1000000");
    Process otherRun = other.StartSetup();
    ASSERT_GT(RunToTheEnd(otherRun, "C:\\zelk-test\\Other"), 0);
    SetEnvironmentVariableA("ZELK_END_AT", nullptr);
    ASSERT_NE(usersOtherDll, ReadWholeFile(otherDll)) << "the other product did not replace it";

    Process again = medium_->StartSetup();
    Window notice = WaitForWindow(again, MessageBoxWithText(kRestored, kSetupCaption), 30000);
    ASSERT_TRUE(notice.Exists());
    EXPECT_EQ(usersDll, Digest(ReadWholeFile(dll))) << "ZELKRT.DLL is not the user's";
    EXPECT_NE(usersOtherDll, ReadWholeFile(otherDll)) << "the other product's original is its own to put back";
    notice.Press(IDOK);
    AbandonInTheWizard(again);

    Process otherAgain = other.StartSetup();
    ExpectPutRight(otherAgain, before);
    if (HasFatalFailure()) return;
    AbandonInTheWizard(otherAgain);
    ExpectAsBefore(before);
}

// A list of the product that is empty, or torn before its first line was whole, and another
// product's list under the product's list name: the next run installs as ever. The product's
// list goes; the other product's stays as it is.
TEST_P(EndedRun, AnEmptyTornOrOtherProductsListDoesNotStopTheNextRun) {
    Process ended = StartEndingAt(1);
    ASSERT_EQ(1, RunToTheEnd(ended));
    SetEnvironmentVariableA("ZELK_END_AT", nullptr);
    ASSERT_EQ(1u, Lists().size());
    const std::string list = Lists()[0];
    const std::string header = ReadWholeFile(list).substr(0, 288);  // the first line, whole
    size_t product = header.find("ZELKSampleGame");
    ASSERT_NE(std::string::npos, product);
    std::string otherList = header;
    otherList.replace(product, 14, "ZELKOthersGame");
    const struct {
        const char* what;
        std::string contents;
        bool stays;
    } rows[] = {{"an empty list", "", false},
                {"a torn list", header.substr(0, 100), false},
                {"another product's list", otherList, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteWholeFile(list, row.contents);
        Process setup = medium_->StartSetup();
        EXPECT_EQ(kChosenFolder, InstallThroughWizard(setup, kChosenFolder));
        if (row.stays) {
            ASSERT_EQ(std::vector<std::string>{list}, Lists());
            EXPECT_EQ(row.contents, ReadWholeFile(list));
        } else {
            EXPECT_TRUE(Lists().empty());
        }
        // The next row on a machine without the installation.
        ResetMachine();
        CleanSharedFiles();
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, EndedRun, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

}  // namespace
