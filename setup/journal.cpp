// The journal of this run, written ahead of every action: the list, the kept originals and
// the actions that list and then act. See journal.h for where the list and the kept originals
// lie, journal_list.h for the list's format, journal_undo.cpp for the undo.
#include "journal.h"

#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "common/handles.h"
#include "common/progman.h"
#include "common/registry.h"
#include "common/restart.h"
#include "common/shell.h"
#include "common/system.h"
#include "common/uninst.h"
#include "journal_list.h"
#include "journal_place.h"
#include "setup.h"
#include "common/wintext.h"

JournalWatch g_journalWatch = nullptr;

using namespace journal;

namespace journal {

void Watch(JournalStep step) {
    if (g_journalWatch != nullptr) g_journalWatch(step);
}

bool IsFree(const char* path) { return win::GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES; }

// The product's first list mark, drawn from its uninstall key name (key names ignore case,
// so the mark does too).
uint32_t FirstMarkOf(const SetupContext& context) {
    return CaseBlindHash(context.unRegistry ? context.unRegistry : "");
}

uint32_t CaseBlindHash(const char* text) {
    uint32_t hash = 2166136261u;
    for (; *text != '\0'; ++text) hash = (hash ^ static_cast<unsigned char>(UpperAscii(*text))) * 16777619u;
    return hash;
}

bool PlaceOf(const SetupContext& context, uint32_t mark, ListPlace* place) {
    char name[32];
    place->mark = mark;
    wsprintfA(name, "~ZK%08lX.JNL", static_cast<unsigned long>(mark));
    if (!JoinPath(place->list, context.windowsDir, name)) return false;
    wsprintfA(name, "~ZK%08lX.NEW", static_cast<unsigned long>(mark));
    return JoinPath(place->fresh, context.windowsDir, name);
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// Writes bytes whole, and flushed, under the place's fresh name; false (and nothing left
// there) when it cannot.
bool WriteFresh(const ListPlace& place, const char* bytes, DWORD size) {
    UniqueFile file(win::CreateFile(place.fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    bool written = WriteAll(file.Get(), bytes, size) && FlushFileBuffers(file.Get());
    file.Reset();
    if (!written) win::DeleteFile(place.fresh);
    return written;
}

// The kept original number beside path, "~ZKhhhhhhhh-rrrr-nnnnn.BAK" (the list's mark, the
// run's), or its copy under way, ".TMP". No other product's run uses these names, so the
// undo trusts a file of such a name only for the entry that lists it.
bool KeptPathOf(const KeptNames& names, const char* path, uint32_t number, const char* extension,
                char (&kept)[kPathSize]) {
    char folder[kPathSize];
    char name[kPathSize];
    char keptName[40];
    if (names.format == kJournalFirstFormat) {
        wsprintfA(keptName, "~ZK%05lu%s", static_cast<unsigned long>(number % 100000), extension);
    } else {
        wsprintfA(keptName, "~ZK%08lX-%04lX-%05lu%s", static_cast<unsigned long>(names.mark),
                  static_cast<unsigned long>(names.run & 0xFFFF), static_cast<unsigned long>(number % 100000),
                  extension);
    }
    return SplitPath(folder, name, path) && JoinPath(kept, folder, keptName);
}

}  // namespace journal

namespace {

ListPlace g_place;
KeptNames g_names;
char g_product[kPathSize];
char g_recordPath[kPathSize];  // the record, listed ahead as new: on disk before the mark
UniqueFile g_list;  // the list, held for the run
bool g_listBroken;  // a write to the list failed
int g_listed;       // entries on the list
int g_keptCount;    // kept originals of this run so far: the next is numbered one more

// Lines waiting to be written together.
char g_lines[(kFileSlots + 2) * kJournalLineSize];
size_t g_lineBytes;
int g_lineEntries;

// Files listed ahead of the copy as new, in the order of the copy.
struct ListedAhead {
    char path[kPathSize];
};
ListedAhead g_ahead[kFileSlots + 1];
int g_aheadCount;
int g_aheadNext;

// The last key this run created: values set in it go with it.
HKEY g_createdRoot;
char g_createdKey[kPathSize];

char g_createdGroup[kPathSize];  // the Program Manager group this run made

uint32_t RootNumber(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return 1;
    if (root == HKEY_CURRENT_USER) return 2;
    return 0;
}

// ---- writing the list ----

void CloseList() { g_list.Reset(); }

// Creates the list whole: its header written and flushed under the fresh name, which then
// becomes the list's, so that a list is never found without its header. An existing list is
// one an earlier run left: it is never overwritten. No other process may open it while this
// run holds it.
bool OpenList() {
    if (g_list) return true;
    char header[kJournalLineSize];
    if (g_place.list[0] == '\0' || !FormatJournalHeader(header, g_product, g_names.run)) return false;
    if (!WriteFresh(g_place, header, sizeof header)) return false;
    if (!win::MoveFile(g_place.fresh, g_place.list)) {
        win::DeleteFile(g_place.fresh);
        return false;
    }
    g_list.Reset(win::CreateFile(g_place.list, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!g_list) return false;
    if (SetFilePointer(g_list.Get(), 0, nullptr, FILE_END) == sizeof header) return true;
    CloseList();
    return false;
}

void StartLines() {
    g_lineBytes = 0;
    g_lineEntries = 0;
}

bool AddLines(const JournalEntry& entry) {
    if (g_listed + g_lineEntries >= kCapacity) return false;
    size_t bytes = FormatJournalEntry(g_lines + g_lineBytes, sizeof g_lines - g_lineBytes, entry);
    if (bytes == 0) return false;
    g_lineBytes += bytes;
    ++g_lineEntries;
    return true;
}

// Writes the waiting lines in one piece and flushes them to the disk (unless asked not to).
// After a write that failed, perhaps half done, nothing more is listed (the list is read up
// to its last whole entry), so every later action fails and the run is rolled back.
bool WriteLines(bool flush = true) {
    bool written = g_lineEntries == 0;
    if (!written && !g_listBroken && OpenList()) {
        written = WriteAll(g_list.Get(), g_lines, static_cast<DWORD>(g_lineBytes)) &&
                  (!flush || FlushFileBuffers(g_list.Get()));
        if (written) g_listed += g_lineEntries;
        g_listBroken = !written;
    }
    StartLines();
    return written;
}

// The waiting lines, on disk before what they name is carried out.
bool WriteAhead() {
    bool any = g_lineEntries > 0;
    if (!WriteLines()) return false;
    if (any) Watch();
    return true;
}

bool List(const JournalEntry& entry) {
    StartLines();
    return AddLines(entry) && WriteAhead();
}

bool List(char kind, const char* text, uint32_t number = 0) {
    JournalEntry entry;
    if (text == nullptr || !MakeJournalEntry(&entry, kind, text)) return false;
    entry.number = number;
    return List(entry);
}

// True when path was listed ahead as new. The search starts where the copy stands, and
// comes round to the earlier ones for a copy tried again.
bool IsListedAhead(const char* path) {
    for (int n = 0; n < g_aheadCount; ++n) {
        int i = (g_aheadNext + n) % g_aheadCount;
        if (SameBytes(g_ahead[i].path, path)) {
            if (i >= g_aheadNext) g_aheadNext = i + 1;
            return true;
        }
    }
    return false;
}

// ---- kept originals ----

bool KeptPathOf(const char* path, uint32_t number, const char* extension, char (&kept)[kPathSize]) {
    return KeptPathOf(g_names, path, number, extension, kept);
}

// A copy kept aside reaches the disk, with the original's times, before the original is
// overwritten: the one put back is the same file to the rule that compares creation times.
bool SealCopy(const char* original, const char* copy) {
    // Its times as a search gives them, which needs no opening of a file that may be in use
    // (and no GetFileAttributesEx, which Windows 95 and NT 3.51 lack).
    win::FoundEntry entry;
    HANDLE search = win::FindFirstFile(original, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    UniqueFile file(win::CreateFile(copy, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SetFileTime(file.Get(), &entry.created, &entry.accessed, &entry.written) &&
           FlushFileBuffers(file.Get());
}

// A number whose names beside path nothing uses yet.
bool FreeKeptNumber(const char* path, int* number) {
    for (int tries = 0; tries < 1000 && g_keptCount + 1 < 100000; ++tries) {
        *number = ++g_keptCount;
        char kept[kPathSize];
        char copying[kPathSize];
        if (!KeptPathOf(path, *number, ".BAK", kept) || !KeptPathOf(path, *number, ".TMP", copying)) return false;
        if (IsFree(kept) && IsFree(copying)) return true;
    }
    return false;
}

// Keeps the existing file at path aside: listed first, then renamed beside itself, or
// copied there when it cannot be renamed (then *copied). The copy goes through a name of
// its own, so that a kept original is never half a file. A read-only file is not replaced
// by the run at all.
bool KeepOriginal(const char* path, bool* copied, bool readOnlyToo = false) {
    *copied = false;
    DWORD attributes = win::GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // gone meanwhile: nothing to keep
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !readOnlyToo) return false;
    int number = 0;
    char kept[kPathSize];
    char copying[kPathSize];
    if (!FreeKeptNumber(path, &number) || !KeptPathOf(path, number, ".BAK", kept) ||
        !KeptPathOf(path, number, ".TMP", copying) || !List(journal::kReplacedFile, path, number)) {
        return false;
    }
    if (win::MoveFile(path, kept)) return true;
    if (win::CopyFile(path, copying, TRUE) && SealCopy(path, copying) && win::MoveFile(copying, kept)) {
        *copied = true;
        return true;
    }
    win::DeleteFile(copying);
    return false;
}

// The file at destination, kept as number by a copy, is in use: it can be neither renamed nor
// overwritten. The new file waits beside it under the kept name's ".RPL" and takes its place
// when the system next starts. Both are listed before the system is told, so that an undo
// ended anywhere takes the replacement off the system's list before anything else.
bool ReplaceAtRestart(const char* source, const char* destination, int number) {
    char staged[kPathSize];
    if (!KeptPathOf(destination, number, ".RPL", staged) || !IsFree(staged) ||
        !List(journal::kCreatedFile, staged) || CopyInstallFileAs(source, staged, false) != CopyResult::Copied ||
        !List(journal::kPendingReplacement, destination, number)) {
        return false;
    }
    if (!ScheduleReplacementAtRestart(staged, destination)) {
        win::DeleteFile(staged);  // a retry stages anew; a commit would leave this one
        return false;
    }
    restartRequired = 1;
    return true;
}

// This run's own list, read whole through its handle (no other may open it meanwhile); the
// caller frees it. Null when unreadable.
char* ReadOwnList(DWORD* size) {
    char* bytes = static_cast<char*>(malloc(kMaxListBytes));
    DWORD read = 0;
    bool whole = bytes != nullptr && SetFilePointer(g_list.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
                 ReadFile(g_list.Get(), bytes, kMaxListBytes, &read, nullptr);
    SetFilePointer(g_list.Get(), 0, nullptr, FILE_END);
    if (whole) {
        *size = read;
        return bytes;
    }
    free(bytes);
    return nullptr;
}

// A read-only file (the record) is opened for writing with its flag off for the moment.
void FlushFile(const char* path) {
    DWORD attributes = win::GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) win::SetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    {
        UniqueFile file(win::CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) FlushFileBuffers(file.Get());
    }
    if (readOnly) win::SetFileAttributes(path, attributes);
}

// The files of this run that replaced a kept original, and the record: flushed before the
// mark, after which the originals go.
void FlushReplacingFiles() {
    if (g_recordPath[0] != '\0') FlushFile(g_recordPath);
    if (g_keptCount == 0) return;
    DWORD length = 0;
    char* bytes = ReadOwnList(&length);
    if (bytes == nullptr) return;
    JournalList list(bytes, length);
    JournalEntry entry;
    size_t next = 0;
    for (size_t offset = JournalList::FirstEntry(); list.ReadEntry(offset, &entry, &next); offset = next) {
        if (entry.kind == journal::kReplacedFile) FlushFile(entry.text);
    }
    free(bytes);
}

void Reset() {
    CloseList();
    g_listBroken = false;
    g_listed = 0;
    g_aheadCount = g_aheadNext = 0;
    g_createdKey[0] = '\0';
    g_createdGroup[0] = '\0';
    StartLines();
}

bool FolderExists(HKEY, const char* folder) { return DirectoryExists(folder); }

bool KeyExists(HKEY root, const char* key) {
    UniqueKey opened;
    return win::RegOpenKeyEx(root, key, 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}

// Lists, in one write, the levels of path that do not exist (outermost first: undone
// backwards, the innermost goes first).
bool NoteMissingLevels(const char* path, char kind, HKEY root, bool (*exists)(HKEY, const char*)) {
    if (path == nullptr) return false;
    int missing = 0;
    char level[kPathSize];
    while (GetAncestorPath(level, path, missing) == 0 && !exists(root, level)) ++missing;
    StartLines();
    for (int i = missing - 1; i >= 0; --i) {
        JournalEntry entry;
        if (GetAncestorPath(level, path, i) != 0 || !MakeJournalEntry(&entry, kind, level)) return false;
        entry.number = RootNumber(root);
        if (!AddLines(entry)) return false;
    }
    return WriteAhead();
}

}  // namespace

void BeginJournal(const SetupContext& context) {
    Reset();
    g_keptCount = 0;
    g_recordPath[0] = '\0';
    g_place.list[0] = '\0';
    // The run's mark tells its kept originals from an earlier run's of the product.
    g_names = {kJournalFormat, 0, (GetTickCount() ^ GetCurrentProcessId()) & 0xFFFF};
    if (!CopyString(g_product, context.unRegistry ? context.unRegistry : "")) return;
    // The first mark whose names nothing holds: another product's list keeps its own.
    uint32_t first = FirstMarkOf(context);
    for (uint32_t i = 0; i < kListMarks; ++i) {
        if (PlaceOf(context, first + i, &g_place) && IsFree(g_place.list) && IsFree(g_place.fresh)) {
            g_names.mark = g_place.mark;
            return;
        }
    }
    g_place.list[0] = '\0';
}

void ListNewFiles(const SetupContext& context) {
    g_aheadCount = g_aheadNext = 0;
    StartLines();
    // In a folder that holds nothing, as the one the run has just made does, every path is
    // free: one look at the folder instead of one at each file.
    bool empty = FolderIsEmpty(context.destination);
    // The file list, then the record.
    for (int i = 0; i <= context.fileCount + 2; ++i) {
        const char* name = i < context.fileCount + 2 ? InstalledFileName(context, i) : context.unZelkName;
        char* path = g_ahead[g_aheadCount].path;
        JournalEntry entry;
        if (name != nullptr && JoinPath(path, kPathSize, context.destination, name) && (empty || IsFree(path)) &&
            MakeJournalEntry(&entry, journal::kCreatedFile, path) && AddLines(entry)) {
            if (i == context.fileCount + 2) CopyString(g_recordPath, path);
            ++g_aheadCount;
        }
    }
    if (!WriteLines()) g_aheadCount = 0;
}

int CopyJournaledFile(const char* source, const char* destination, bool atRestart) {
    // A path that was free is the run's new file: copied without overwriting. One that was
    // not has its original kept first, and is never copied onto before that.
    bool listed = IsListedAhead(destination);
    if (listed) Watch();
    if (listed || IsFree(destination)) {
        if (!listed && !List(journal::kCreatedFile, destination)) return 0;
        switch (CopyInstallFileAs(source, destination, false)) {
        case CopyResult::Copied: return 1;
        case CopyResult::Failed: return 0;
        case CopyResult::Exists: break;  // it came there since
        }
    }
    bool copied;
    if (!KeepOriginal(destination, &copied)) return 0;
    // A copied-aside original still lies in the way: it is overwritten.
    if (CopyInstallFileAs(source, destination, copied) == CopyResult::Copied) return 1;
    // Could it be neither renamed nor overwritten, it is in use. The number is the one just kept.
    return copied && atRestart && ReplaceAtRestart(source, destination, g_keptCount) ? 1 : 0;
}

bool PrepareToWrite(const char* path, bool readOnlyToo) {
    if (IsFree(path)) {
        if (!IsListedAhead(path)) return List(journal::kCreatedFile, path);
        Watch();
        return true;
    }
    bool copied;
    return KeepOriginal(path, &copied, readOnlyToo);
}

int CreateJournaledFolders(const char* path) {
    char previous[kPathSize];
    DWORD length = win::GetCurrentDirectory(sizeof previous, previous);
    if (length == 0 || length >= sizeof previous ||
        !NoteMissingLevels(path, journal::kCreatedFolder, nullptr, FolderExists)) {
        return -1;
    }
    int made = CreateDirectoryPath(path);
    win::SetCurrentDirectory(previous);  // the walk through the levels moved it
    return made;
}

bool AddJournaledFontResource(const char* name, const char* folder) {
    if (!List(journal::kResourceAdded, name)) return false;
    char previous[kPathSize];
    DWORD length = folder != nullptr ? win::GetCurrentDirectory(sizeof previous, previous) : 0;
    bool moved = length > 0 && length < sizeof previous && win::SetCurrentDirectory(folder);
    bool added = win::AddFontResource(name) != 0;
    if (moved) win::SetCurrentDirectory(previous);
    return added;
}

bool RemoveJournaledFontResource(const char* name) {
    if (!List(journal::kResourceRemoved, name)) return false;
    win::RemoveFontResource(name);
    return true;
}

bool CreateJournaledProgmanGroup(const char* group) {
    if (GetProgmanGroupState(group) == GroupState::Missing &&
        !(List(journal::kProgmanGroup, group) && CopyString(g_createdGroup, group))) {
        return false;
    }
    return ProgmanCreateGroup(group, nullptr) && ProgmanShowGroup(group, 1);
}

bool AddJournaledProgmanItem(const char* group, const char* commandLine, const char* item) {
    if (group == nullptr || item == nullptr) return false;
    // A group the run made held nothing of the user's.
    if (!SameBytes(group, g_createdGroup) && ProgmanGroupHoldsItem(group, item)) return true;
    JournalEntry entry;
    return MakeJournalEntry(&entry, journal::kProgmanItem, group) && CopyString(entry.name, item) && List(entry) &&
           ProgmanAddItem(commandLine, item, nullptr, 0);
}

HKEY CreateJournaledKey(HKEY root, const char* key) {
    bool created = key != nullptr && !KeyExists(root, key);
    if (RootNumber(root) == 0 || !NoteMissingLevels(key, journal::kRegistryKey, root, KeyExists)) return nullptr;
    if (created) {
        g_createdRoot = root;
        CopyString(g_createdKey, key);
    }
    HKEY opened = nullptr;
    if (win::RegCreateKeyEx(root, key, KEY_ALL_ACCESS, &opened, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return opened;
}

bool SetJournaledValue(HKEY root, const char* keyName, const char* name, DWORD type, const void* data, DWORD size) {
    UniqueKey key;
    if (name == nullptr ||
        win::RegOpenKeyEx(root, keyName, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    if (root != g_createdRoot || !win::SameName(keyName, g_createdKey)) {
        JournalEntry entry;
        if (RootNumber(root) == 0 || !MakeJournalEntry(&entry, journal::kRegistryValue, keyName) ||
            !CopyString(entry.name, name)) {
            return false;
        }
        entry.number = RootNumber(root);
        DWORD earlierType = 0;
        DWORD earlierSize = sizeof entry.data;
        LONG result = win::RegQueryValueEx(key.Get(), name, &earlierType, entry.data, &earlierSize);
        entry.type = earlierType;
        // Data that does not fit could not be put back: the value is then not touched.
        if (result == ERROR_FILE_NOT_FOUND) {
            entry.type = kJournalNoValue;
            earlierSize = 0;
        } else if (result != ERROR_SUCCESS) {
            return false;
        }
        entry.dataSize = earlierSize;
        if (!List(entry)) return false;
    }
    return win::RegSetValueEx(key.Get(), name, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

void RollBackJournal() {
    // The undo takes every replacement of the run off the system's list: no restart is due.
    restartRequired = 0;
    CloseList();
    Recovery result;
    if (g_place.list[0] != '\0') UndoList(g_place, g_product, nullptr, 0, &result);
    Reset();
}

void CommitJournal() {
    if (g_list) {
        Watch(JournalStep::Complete);
        // Marked finished first: were the run ended now, the next run would only delete the
        // kept originals. Without the mark the list goes at once, and so would an unfinished
        // undo; the kept originals then stay beside the files that replaced them.
        // What the mark lets go of must be on disk first: the files that replaced a kept
        // original, the record, the registry. New files are not flushed one by one; a power
        // cut before the system writes them leaves them short, and nothing of the user's.
        // A run that kept no original lets go of nothing: its mark needs no flush, and its
        // list goes at once. The mark is for a list that cannot go (or a run ended before
        // it went): the next run then finds the run finished, and does not undo it.
        FlushReplacingFiles();
        FlushRegistry();
        JournalEntry finished;
        MakeJournalEntry(&finished, journal::kFinished, "");
        Watch(JournalStep::Commit);
        StartLines();
        bool kept = g_keptCount > 0;
        bool marked = AddLines(finished) && WriteLines(kept);
        CloseList();
        Recovery result;
        if (marked && kept) {
            UndoList(g_place, g_product, nullptr, 0, &result);
        } else {
            win::DeleteFile(g_place.list);
        }
    }
    Reset();
}
