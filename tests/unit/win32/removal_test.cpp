// Removal operations on real files, folders and registry keys: what goes, and what a user's
// own files keep.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "boxes.h"
#include "common/record.h"
#include "common/registry.h"
#include "common/uninst.h"
#include "setup/journal.h"
#include "setup/setup.h"

namespace {

const std::string kBase = "C:\\zelk-unit-removal";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void MakeFile(const std::string& path, bool readOnly = false) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    if (readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

class Removal : public testing::Test {
protected:
    void SetUp() override {
        RemoveTree(kBase);
        MakeFolders(kBase);
        MakeFile(kBase + "\\keep");  // so that no removal reaches above the base
    }
    void TearDown() override { RemoveTree(kBase); }
};

// A record built by hand; frees its strings itself.
struct TestRecord : UninstallRecord {
    TestRecord() : UninstallRecord() {}
    ~TestRecord() {
        for (char* single : {title, menuGroup, unRegistry, appRegistry, appVersion}) free(single);
        for (int i = 0; i < fileCount; ++i) free(files[i]);
        for (int i = 0; i < directoryCount; ++i) free(directories[i]);
        for (int i = 0; i < dllCount; ++i) free(dlls[i]);
    }
    void AddFile(const std::string& path) { files[fileCount++] = DuplicateString(path.c_str()); }
    void AddDirectory(const std::string& path) { directories[directoryCount++] = DuplicateString(path.c_str()); }
    void AddDll(const std::string& name) { dlls[dllCount++] = DuplicateString(name.c_str()); }
};

const RemovalStyle kQuietStyle{nullptr, "test", FILE_ATTRIBUTE_NORMAL, "heading"};

TEST_F(Removal, FolderLevelsGoDeepestFirstAndOnlyWhenEmpty) {
    struct Case {
        const char* name;
        int depth;
        const char* savedFile;           // a user's file left in the tree, or null
        std::vector<const char*> stays;  // relative to kBase
        std::vector<const char*> gone;
    };
    const Case cases[] = {
        {"depth 0 removes nothing", 0, nullptr, {"a\\b\\c"}, {}},
        {"depth 2 removes two levels", 2, nullptr, {"a"}, {"a\\b"}},
        {"depth larger than the path", 40, nullptr, {}, {"a"}},
        {"a saved file keeps its folder", 3, "a\\b\\save.dat", {"a\\b\\save.dat"}, {"a\\b\\c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeFolders(kBase + "\\a\\b\\c");
        if (c.savedFile != nullptr) MakeFile(kBase + "\\" + c.savedFile);
        RemoveFolderLevels((kBase + "\\a\\b\\c").c_str(), c.depth, false);
        for (const char* path : c.stays) EXPECT_TRUE(Exists(kBase + "\\" + path)) << path;
        for (const char* path : c.gone) EXPECT_FALSE(Exists(kBase + "\\" + path)) << path;
        EXPECT_TRUE(Exists(kBase)) << "the base holds other folders' levels";
        RemoveTree(kBase + "\\a");
    }
}

TEST_F(Removal, FolderLevelsHonourShiftJisTrailBytes) {
    // "ソフト\表" : both names end in the byte 0x5C, which is no separator.
    const std::string deep = kBase + "\\\x83\x5c\x83\x74\x83\x67\\\x95\x5c";
    MakeFolders(deep);
    RemoveFolderLevels(deep.c_str(), 1, true);
    EXPECT_FALSE(Exists(deep));
    EXPECT_TRUE(Exists(kBase + "\\\x83\x5c\x83\x74\x83\x67"));
}

TEST_F(Removal, RecordedFilesAndFoldersGoAndOthersStay) {
    MakeFolders(kBase + "\\App\\data");
    MakeFolders(kBase + "\\App\\empty");
    MakeFolders(kBase + "\\App\\empty2");
    MakeFile(kBase + "\\App\\unZELK.dat", true);
    MakeFile(kBase + "\\App\\game.exe", true);
    MakeFile(kBase + "\\App\\data\\stage.dat");
    MakeFile(kBase + "\\App\\save.dat");  // the user's, not recorded
    MakeFolders(kBase + "\\App2");
    MakeFile(kBase + "\\App2\\other.exe", true);
    MakeFolders(kBase + "\\sys");
    MakeFile(kBase + "\\App\\SHARED.DLL");
    TestRecord record;
    record.AddFile(kBase + "\\App\\unZELK.dat");
    record.AddFile(kBase + "\\App\\game.exe");
    record.AddFile(kBase + "\\App\\missing.txt");
    record.AddFile("");
    record.AddFile("keep");                      // not a full path: never taken relative
    record.AddFile(kBase + "\\keep");            // outside the record's folder
    record.AddFile(kBase + "\\App\\..\\keep");
    record.AddFile(kBase + "\\App2\\other.exe");  // beside it, under a longer name
    record.AddDirectory("App\\empty2");
    record.AddDirectory(kBase + "\\App\\empty");
    record.AddDirectory(kBase + "\\App\\data");  // still holds a file the record did not name
    record.AddDirectory(kBase + "\\App2");
    record.AddDll("ZELKNOSUCH.DLL");             // absent: no notice
    record.AddDll("..\\App\\SHARED.DLL");       // present, but not in the system folder
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(kBase.c_str());
    BoxRecorder boxes;
    RemoveRecordedItems(record, kQuietStyle, (kBase + "\\App\\unZELK.dat").c_str(), (kBase + "\\sys").c_str(),
                        (kBase + "\\fonts").c_str());
    SetCurrentDirectoryA(current);
    ASSERT_EQ(1u, boxes.boxes().size()) << "the DLL notice names no DLL outside the system folder";
    EXPECT_EQ("heading\n\nkeep\n" + kBase + "\\keep\n" + kBase + "\\App\\..\\keep\n" + kBase +
                  "\\App2\\other.exe\nDirectory=App\\empty2\nDirectory=" + kBase +
                  "\\App2\nDll=..\\App\\SHARED.DLL\n",
              boxes.boxes()[0].text);
    EXPECT_EQ(UINT(MB_ICONWARNING), boxes.boxes()[0].style);
    EXPECT_TRUE(Exists(kBase + "\\keep"));
    EXPECT_TRUE(Exists(kBase + "\\App2\\other.exe"));
    EXPECT_TRUE(Exists(kBase + "\\App\\empty2"));
    EXPECT_TRUE(Exists(kBase + "\\App\\unZELK.dat")) << "the record goes last, by DeleteLastFiles";
    EXPECT_FALSE(Exists(kBase + "\\App\\game.exe"));
    EXPECT_FALSE(Exists(kBase + "\\App\\empty"));
    EXPECT_TRUE(Exists(kBase + "\\App\\data\\stage.dat"));
    EXPECT_TRUE(Exists(kBase + "\\App\\save.dat"));
}

TEST_F(Removal, SharedFileNoticeNamesEveryPresentDll) {
    const std::string folder = kBase + "\\system";
    MakeFolders(folder);
    const int present = 70;  // more than the notice's list has room for
    for (int i = 0; i < present; ++i) MakeFile(folder + "\\Z" + std::to_string(i) + ".DLL");

    ResetSharedFileNotice();
    NoteSharedFile(folder.c_str(), "Z0.DLL");
    NoteSharedFile(folder.c_str(), "ABSENT.DLL");
    NoteSharedFile(folder.c_str(), "Z1.DLL");
    char* text = FormatSharedFileNotice();
    ASSERT_NE(nullptr, text);
    EXPECT_EQ("次のファイルは他のアプリケーションが使用する可能性があるので削除しません。\n\n" + folder +
                  "\\Z0.DLL\n" + folder + "\\Z1.DLL\n",
              std::string(text));
    free(text);

    ResetSharedFileNotice();
    for (int i = 0; i < present; ++i) NoteSharedFile(folder.c_str(), ("Z" + std::to_string(i) + ".DLL").c_str());
    text = FormatSharedFileNotice();
    ASSERT_NE(nullptr, text);
    std::string notice = text;
    free(text);
    EXPECT_NE(std::string::npos, notice.find(folder + "\\Z63.DLL\n"));
    EXPECT_EQ(std::string::npos, notice.find("Z64.DLL"));
    EXPECT_NE(std::string::npos, notice.find("ほか6個のファイル"));

    ResetSharedFileNotice();
    EXPECT_EQ(nullptr, FormatSharedFileNotice());
    ShowSharedFileNotice(nullptr, "test");  // an empty list shows nothing
}

TEST_F(Removal, UninstallKeyOfTheRecordGoesAndOnlyIt) {
    const std::string branch = kUninstallBranch;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitTest").c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitOther").c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);

    TestRecord empty;
    empty.unRegistry = DuplicateString("");
    DeleteRecordedRegistry(empty);
    TestRecord none;
    DeleteRecordedRegistry(none);
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitOther").c_str(), 0,
                                           KEY_READ, &key));
    RegCloseKey(key);

    TestRecord record;
    record.unRegistry = DuplicateString("ZELKUnitTest");
    DeleteRecordedRegistry(record);
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitTest").c_str(), 0,
                                           KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitOther").c_str(), 0,
                                           KEY_READ, &key));
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (branch + "\\ZELKUnitOther").c_str());
}

TEST_F(Removal, UninstallerAndFoldersBesideAnEarlierRecord) {
    struct Case {
        const char* name;
        int dirDepth;
        bool folderGone;
    };
    for (const Case& c : {Case{"no DirDepth", 0, false}, Case{"two levels", 2, true}}) {
        SCOPED_TRACE(c.name);
        const std::string folder = kBase + "\\ZELK\\Game";
        MakeFolders(folder);
        MakeFile(folder + "\\unZELK.exe", true);
        MakeFile(folder + "\\rmZELK.bin", true);
        g_record.dirDepth = c.dirDepth;
        RemoveUninstallerAndFolders((folder + "\\unZELK.dat").c_str());
        g_record.dirDepth = 0;
        EXPECT_FALSE(Exists(folder + "\\unZELK.exe"));
        EXPECT_FALSE(Exists(folder + "\\rmZELK.bin"));
        EXPECT_EQ(c.folderGone, !Exists(folder));
        EXPECT_EQ(c.folderGone, !Exists(kBase + "\\ZELK"));
        EXPECT_TRUE(Exists(kBase));
        RemoveTree(kBase + "\\ZELK");
    }
}

// ---- the rollback: the run's journal backwards ----

std::string ReadText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// Names in folder that start with "~ZK": kept originals and their list.
int JournalTraces(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\~ZK*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do ++count;
    while (FindNextFileA(search, &data));
    FindClose(search);
    return count;
}

// A run into kBase\Game, which holds the user's readme.txt and mine.txt; its Windows folder is
// kBase. game.exe and readme.txt are copied from kBase\src.
class JournalRun : public Removal {
protected:
    void SetUp() override {
        Removal::SetUp();
        MakeFolders(folder_);
        MakeFolders(kBase + "\\src");
        for (const char* name : {"game.exe", "readme.txt", "locked.dat"}) WriteSource(name);
        MakeFile(folder_ + "\\readme.txt");
        MakeFile(folder_ + "\\mine.txt");
        MakeFile(folder_ + "\\locked.dat", true);
        lstrcpyA(context_.windowsDir, kBase.c_str());
        context_.unRegistry = DuplicateString("ZELKJournalTest");
        BeginJournal(context_);
    }
    void WriteSource(const char* name) {
        HANDLE file = CreateFileA((kBase + "\\src\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        DWORD written;
        WriteFile(file, "new", 3, &written, nullptr);
        CloseHandle(file);
    }
    int Copy(const char* name) {
        return CopyJournaledFile((kBase + "\\src\\" + name).c_str(), (folder_ + "\\" + name).c_str());
    }
    const std::string folder_ = kBase + "\\Game";
    SetupContext context_;
};

// The run lists its new files ahead, as setup does: the user's files in the folder are not
// among them, so that the undo never takes one for the run's own.
TEST_F(JournalRun, RollBackRemovesWhatTheRunCopiedAndPutsBackWhatItReplaced) {
    WIN32_FILE_ATTRIBUTE_DATA before;
    ASSERT_TRUE(GetFileAttributesExA((folder_ + "\\readme.txt").c_str(), GetFileExInfoStandard, &before));
    CopyString(context_.destination, folder_.c_str());
    for (const char* name : {"game.exe", "readme.txt", "locked.dat"}) {
        context_.fileSource[context_.fileCount++] = DuplicateString(name);
    }
    ListNewFiles(context_);
    EXPECT_EQ(1, Copy("game.exe"));
    EXPECT_EQ(1, Copy("readme.txt"));
    EXPECT_EQ(0, Copy("locked.dat")) << "a read-only file is not replaced";
    EXPECT_EQ("new", ReadText(folder_ + "\\readme.txt"));
    EXPECT_EQ(1, JournalTraces(folder_)) << "the user's readme.txt is kept aside";
    EXPECT_EQ(1, JournalTraces(kBase)) << "and listed before it was moved";

    RollBackJournal();
    EXPECT_FALSE(Exists(folder_ + "\\game.exe"));
    EXPECT_EQ("x", ReadText(folder_ + "\\readme.txt"));
    WIN32_FILE_ATTRIBUTE_DATA after;
    ASSERT_TRUE(GetFileAttributesExA((folder_ + "\\readme.txt").c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
    EXPECT_EQ(0, CompareFileTime(&before.ftCreationTime, &after.ftCreationTime));
    EXPECT_EQ("x", ReadText(folder_ + "\\mine.txt"));
    EXPECT_EQ("x", ReadText(folder_ + "\\locked.dat"));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

TEST_F(JournalRun, SuccessLeavesNoTraceOfTheJournal) {
    EXPECT_EQ(1, Copy("game.exe"));
    EXPECT_EQ(1, Copy("readme.txt"));
    CommitJournal();
    EXPECT_EQ("new", ReadText(folder_ + "\\game.exe"));
    EXPECT_EQ("new", ReadText(folder_ + "\\readme.txt"));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
    RollBackJournal();  // a committed journal has nothing left to undo
    EXPECT_EQ("new", ReadText(folder_ + "\\readme.txt"));
}

// A run ended from outside leaves its list and nothing in memory: the next run undoes it from
// the list alone. A file held open stays listed and is named; the run after undoes it.
TEST_F(JournalRun, AnEndedRunIsUndoneByTheNextFromItsListAlone) {
    EXPECT_EQ(1, Copy("game.exe"));
    EXPECT_EQ(1, Copy("readme.txt"));
    BeginJournal(context_);  // the run is gone: its list is closed, its memory empty
    char leftovers[512];
    {
        HANDLE held = CreateFileA((folder_ + "\\game.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        EXPECT_EQ(Recovery::Partly, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
        CloseHandle(held);
    }
    EXPECT_EQ(folder_ + "\\game.exe\n", leftovers);
    EXPECT_EQ("x", ReadText(folder_ + "\\readme.txt"));
    EXPECT_EQ(1, JournalTraces(kBase)) << "the list keeps what is left";
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_FALSE(Exists(folder_ + "\\game.exe"));
    EXPECT_EQ("x", ReadText(folder_ + "\\mine.txt"));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
    EXPECT_EQ(Recovery::None, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
}

void WriteWhole(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The one name in folder that starts with "~ZK" and ends with ending; empty when there is none.
std::string OnlyTrace(const std::string& folder, const char* ending = "") {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\~ZK*" + ending).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return "";
    std::string found = folder + "\\" + data.cFileName;
    bool more = FindNextFileA(search, &data);
    FindClose(search);
    return more ? "" : found;
}

// The list of a committed run that could not be deleted (here made read-only as the commit
// begins) is found finished by the next run, which lets it go and keeps the installation.
std::string g_listToHold;

TEST_F(JournalRun, ACommittedListThatStaysIsFoundFinished) {
    EXPECT_EQ(1, Copy("game.exe"));  // new: the run keeps no original
    g_listToHold = OnlyTrace(kBase, ".JNL");
    ASSERT_FALSE(g_listToHold.empty());
    g_journalWatch = [](JournalStep step) {
        if (step == JournalStep::Commit) SetFileAttributesA(g_listToHold.c_str(), FILE_ATTRIBUTE_READONLY);
    };
    CommitJournal();
    g_journalWatch = nullptr;
    ASSERT_TRUE(Exists(g_listToHold)) << "the list went after all";
    char leftovers[512];
    EXPECT_EQ(Recovery::None, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_EQ("new", ReadText(folder_ + "\\game.exe"));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

// The undo of an ended run, itself ended after its work but before its list went, is done
// again by the run after: it never takes what it put back. The run kept readme.txt aside,
// and the copy of it, tried again, found its path free and listed it as the run's own.
TEST_F(JournalRun, AnUndoDoneTwiceKeepsWhatItPutBack) {
    const std::string readme = folder_ + "\\readme.txt";
    ASSERT_TRUE(PrepareToWrite(readme.c_str()));
    EXPECT_EQ(1, Copy("readme.txt"));
    BeginJournal(context_);
    const std::string list = OnlyTrace(kBase, ".JNL");
    const std::string listed = ReadText(list);
    char leftovers[512];
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_EQ("x", ReadText(readme));
    WriteWhole(list, listed);  // ended before the list went
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_EQ("x", ReadText(readme));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

// A file that another program puts at a path the run listed as new, before the run wrote
// there, is kept aside like any other, and a rollback leaves it as it came.
TEST_F(JournalRun, AFileThatCameAtANewPathStays) {
    const std::string path = folder_ + "\\later.txt";
    ASSERT_TRUE(PrepareToWrite(path.c_str()));
    MakeFile(path);
    ASSERT_TRUE(PrepareToWrite(path.c_str()));
    RollBackJournal();
    EXPECT_EQ("x", ReadText(path));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

// Two products ended in turn, each with an original kept aside in the same folder: each
// undo puts back its own. This product listed readme.txt but was ended before it moved it.
TEST_F(JournalRun, KeptOriginalsOfTwoProductsNeverMix) {
    SetupContext other;
    lstrcpyA(other.windowsDir, kBase.c_str());
    other.unRegistry = DuplicateString("ZELKJournalOther");
    const std::string readme = folder_ + "\\readme.txt";
    const std::string mine = folder_ + "\\mine.txt";
    WriteWhole(mine, "the other's original");
    ASSERT_TRUE(PrepareToWrite(readme.c_str()));
    ASSERT_TRUE(MoveFileA(OnlyTrace(folder_).c_str(), readme.c_str()));  // as it was before the move
    BeginJournal(other);
    ASSERT_TRUE(PrepareToWrite(mine.c_str()));
    BeginJournal(context_);
    char leftovers[512];
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_EQ("x", ReadText(readme));
    EXPECT_FALSE(Exists(mine)) << "the other product's original is its own to put back";
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(other, leftovers, sizeof leftovers));
    EXPECT_EQ("the other's original", ReadText(mine));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

// A list that never got its first line (ended right after it was made, or the power lost
// before the first flush) lists nothing that was done: it does not stop the product's runs.
TEST_F(JournalRun, AnEmptyOrTornListDoesNotStopTheProduct) {
    EXPECT_EQ(1, Copy("game.exe"));
    const std::string list = OnlyTrace(kBase, ".JNL");
    RollBackJournal();
    for (const std::string& contents : {std::string(), std::string(100, 'Z')}) {
        SCOPED_TRACE(contents.size());
        WriteWhole(list, contents);
        BeginJournal(context_);
        char leftovers[512];
        EXPECT_NE(Recovery::Partly, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
        EXPECT_EQ(1, Copy("game.exe"));
        RollBackJournal();
        EXPECT_FALSE(Exists(folder_ + "\\game.exe"));
        EXPECT_EQ(0, JournalTraces(kBase));
    }
}

// A list is rewritten under a name of its own, then put in the place of the old one: ended
// after the old list went and before the rename, the rewritten one is the list.
TEST_F(JournalRun, ARewrittenListIsFoundUnderItsOwnName) {
    EXPECT_EQ(1, Copy("game.exe"));
    EXPECT_EQ(1, Copy("readme.txt"));
    BeginJournal(context_);
    const std::string list = OnlyTrace(kBase, ".JNL");
    ASSERT_TRUE(MoveFileA(list.c_str(), (list.substr(0, list.size() - 4) + ".NEW").c_str()));
    char leftovers[512];
    EXPECT_EQ(Recovery::Undone, RestoreInterruptedRun(context_, leftovers, sizeof leftovers));
    EXPECT_FALSE(Exists(folder_ + "\\game.exe"));
    EXPECT_EQ("x", ReadText(folder_ + "\\readme.txt"));
    EXPECT_EQ(0, JournalTraces(folder_) + JournalTraces(kBase));
}

// ---- fonts: the user decides about each one ----

TEST_F(Removal, FontQuestionAndItsAnswers) {
    struct Case {
        const char* name;
        std::vector<int> answers;
        bool fileGone;
        size_t boxes;
    };
    const Case cases[] = {
        {"No leaves the font", {IDNO}, false, 1},
        {"Abort after a failed resource removal leaves the file", {IDYES, IDABORT}, false, 2},
        {"Ignore goes on and deletes the file", {IDYES, IDIGNORE}, true, 2},
    };
    const std::string fonts = kBase + "\\fonts";
    MakeFolders(fonts);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeFile(fonts + "\\ZELKTEST.TTF");  // not a loaded font: removing its resource fails
        BoxRecorder boxes;
        boxes.AnswerNext(c.answers);
        RemoveFont(nullptr, "ZELKセットアップ", fonts.c_str(), "ZELKTEST.TTF", "ZELK Test (TrueType)");
        EXPECT_EQ(c.fileGone, !Exists(fonts + "\\ZELKTEST.TTF"));
        ASSERT_EQ(c.boxes, boxes.boxes().size());
        EXPECT_EQ("次のファイルは他のZELKのアプリケーションが使用する可能性があります。削除しますか？\n\n" + fonts +
                      "\\ZELKTEST.TTF\n",
                  boxes.boxes()[0].text);
        EXPECT_EQ(UINT(MB_ICONQUESTION | MB_YESNO), boxes.boxes()[0].style);
        if (c.boxes > 1) {
            EXPECT_EQ(0u, boxes.boxes()[1].text.find("フォントリソースの削除に失敗しました(Error #"));
            EXPECT_EQ(UINT(MB_ICONERROR | MB_ABORTRETRYIGNORE), boxes.boxes()[1].style);
            EXPECT_EQ("ZELKセットアップ", boxes.boxes()[1].caption);
        }
    }
    BoxRecorder boxes;
    EXPECT_EQ(1, RemoveFont(nullptr, "x", fonts.c_str(), "ABSENT.TTF", "Absent"));
    EXPECT_TRUE(boxes.boxes().empty()) << "a missing font file is not asked about";
}

// ---- an earlier installation, removed by setup through its record ----

void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

class EarlierInstallation : public Removal {
protected:
    void SetUp() override {
        Removal::SetUp();
        folder = kBase + "\\ZELK\\Game";
        MakeFolders(folder);
        MakeFolders(kBase + "\\system");
        MakeFolders(kBase + "\\fonts");
        for (const char* name : {"game.exe", "unZELK.exe", "rmZELK.bin"}) MakeFile(folder + "\\" + name, true);
        MakeFile(kBase + "\\system\\ZELKUNIT.DLL");
        context = std::make_unique<SetupContext>();
        lstrcpyA(context->systemDir, (kBase + "\\system").c_str());
        lstrcpyA(context->fontsDir, (kBase + "\\fonts").c_str());
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallBranch) + "\\ZELKUnitEarlier").c_str(), 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallBranch) + "\\ZELKUnitEarlier").c_str());
        Removal::TearDown();
    }
    std::string Record(const std::string& depthLine) const {
        return "Title=Game\r\nUnRegistry=ZELKUnitEarlier\r\n" + depthLine + folder + "\\unZELK.dat\r\n" + folder +
               "\\game.exe\r\nDll=ZELKUNIT.DLL\r\nDll=ZELKNONE.DLL\r\n";
    }
    std::string folder;
    std::unique_ptr<SetupContext> context;
};

TEST_F(EarlierInstallation, GoesWithItsFoldersUninstallerAndEntry) {
    WriteText(folder + "\\unZELK.dat", Record("DirDepth=2\r\n"));
    BoxRecorder boxes;
    EXPECT_EQ(0, RemoveInstallationByRecord(*context, (folder + "\\unZELK.dat").c_str()));
    EXPECT_FALSE(Exists(kBase + "\\ZELK"));
    EXPECT_TRUE(Exists(kBase + "\\system\\ZELKUNIT.DLL")) << "shared DLLs are never deleted";
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ("次のファイルは他のアプリケーションが使用する可能性があるので削除しません。\n\n" + kBase +
                  "\\system\\ZELKUNIT.DLL\n",
              boxes.boxes()[0].text);
    EXPECT_EQ("ZELKセットアップ", boxes.boxes()[0].caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.boxes()[0].style);
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           (std::string(kUninstallBranch) + "\\ZELKUnitEarlier").c_str(), 0,
                                           KEY_READ, &key));
}

TEST_F(EarlierInstallation, WithoutDirDepthNoFolderLevelGoes) {
    WriteText(folder + "\\unZELK.dat", Record(""));
    BoxRecorder boxes;
    EXPECT_EQ(0, RemoveInstallationByRecord(*context, (folder + "\\unZELK.dat").c_str()));
    EXPECT_TRUE(Exists(folder));
    for (const char* name : {"game.exe", "unZELK.exe", "rmZELK.bin", "unZELK.dat"}) {
        EXPECT_FALSE(Exists(folder + "\\" + name)) << name;
    }
}

TEST_F(EarlierInstallation, UnreadableRecordRemovesNothingSilently) {
    BoxRecorder boxes;
    EXPECT_EQ(-1, RemoveInstallationByRecord(*context, (folder + "\\unZELK.dat").c_str()));
    EXPECT_TRUE(Exists(folder + "\\game.exe"));
    EXPECT_TRUE(Exists(folder + "\\unZELK.exe"));
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
