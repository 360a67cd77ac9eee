// The journal of this run, written ahead of every action, and its undo. See journal.h for
// where the list and the kept originals lie, journal_list.h for the list's format.
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
#include "setup.h"

JournalWatch g_journalWatch = nullptr;

namespace {

// Entries one run may list: every file of the list twice (a retry after a failed copy of a
// replaced file lists it anew), a shortcut or item for each, the DLLs, the fonts with their
// resources and values, the keys, the values, and room for retries.
constexpr int kCapacity = 4 * kFileSlots + 2 * kMaxDlls + 6 * kMaxFonts + 128;
// A list is read that far at most: a run writes no more.
constexpr DWORD kMaxListBytes = (kCapacity * kJournalMaxEntryLines + 1) * kJournalLineSize;

// Where a product's list lies: "~ZKhhhhhhhh.JNL" in the Windows folder, and beside it
// ".NEW", under which a list is made or rewritten whole before it takes the list's name.
// hhhhhhhh, the list's mark, is drawn from the product's uninstall key name; where another
// product's list holds that name, the next mark is taken.
struct ListPlace {
    char list[kPathSize];
    char fresh[kPathSize];
    uint32_t mark;
};
constexpr uint32_t kListMarks = 8;  // marks tried for one product

// How the kept originals of one list are named: for its product's list and its run.
// Lists of the first format numbered them alone ("~ZKnnnnn.BAK").
struct KeptNames {
    uint32_t format;
    uint32_t mark;
    uint32_t run;
};

ListPlace g_place;
KeptNames g_names;
char g_product[kPathSize];
char g_recordPath[kPathSize];  // the record, listed ahead as new: on disk before the mark
UniqueFile g_list;  // the list, held for the run
bool g_listBroken; // a write to the list failed
int g_listed;      // entries on the list
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

void Watch(JournalStep step = JournalStep::Action) {
    if (g_journalWatch != nullptr) g_journalWatch(step);
}

bool SamePath(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

uint32_t RootNumber(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return 1;
    if (root == HKEY_CURRENT_USER) return 2;
    return 0;
}

HKEY RootOf(uint32_t number) {
    switch (number) {
    case 1: return HKEY_LOCAL_MACHINE;
    case 2: return HKEY_CURRENT_USER;
    default: return nullptr;
    }
}

// The product's first list mark, drawn from its uninstall key name (key names ignore case,
// so the mark does too).
uint32_t FirstMarkOf(const SetupContext& context) {
    DWORD hash = 2166136261u;
    for (const char* p = context.unRegistry ? context.unRegistry : ""; *p != '\0'; ++p) {
        hash = (hash ^ static_cast<unsigned char>(UpperAscii(*p))) * 16777619u;
    }
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

// ---- writing the list ----

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

void CloseList() { g_list.Reset(); }

// Writes bytes whole, and flushed, under the place's fresh name; false (and nothing left
// there) when it cannot.
bool WriteFresh(const ListPlace& place, const char* bytes, DWORD size, const char* more = nullptr,
                DWORD moreSize = 0) {
    UniqueFile file(CreateFileA(place.fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    bool written = WriteAll(file.Get(), bytes, size) && (moreSize == 0 || WriteAll(file.Get(), more, moreSize)) &&
                   FlushFileBuffers(file.Get());
    file.Reset();
    if (!written) DeleteFileA(place.fresh);
    return written;
}

// Creates the list whole: its header written and flushed under the fresh name, which then
// becomes the list's, so that a list is never found without its header. An existing list is
// one an earlier run left: it is never overwritten. No other process may open it while this
// run holds it.
bool OpenList() {
    if (g_list) return true;
    char header[kJournalLineSize];
    if (g_place.list[0] == '\0' || !FormatJournalHeader(header, g_product, g_names.run)) return false;
    if (!WriteFresh(g_place, header, sizeof header)) return false;
    if (!MoveFileA(g_place.fresh, g_place.list)) {
        DeleteFileA(g_place.fresh);
        return false;
    }
    g_list.Reset(CreateFileA(g_place.list, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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

// Writes the waiting lines in one piece and flushes them to the disk. After a write that
// failed, perhaps half done, nothing more is listed (the list is read up to its last whole
// entry), so every later action fails and the run is rolled back.
bool WriteLines() {
    bool written = g_lineEntries == 0;
    if (!written && !g_listBroken && OpenList()) {
        written = WriteAll(g_list.Get(), g_lines, static_cast<DWORD>(g_lineBytes)) && FlushFileBuffers(g_list.Get());
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
        if (SamePath(g_ahead[i].path, path)) {
            if (i >= g_aheadNext) g_aheadNext = i + 1;
            return true;
        }
    }
    return false;
}

// ---- kept originals ----

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

bool KeptPathOf(const char* path, uint32_t number, const char* extension, char (&kept)[kPathSize]) {
    return KeptPathOf(g_names, path, number, extension, kept);
}

// A copy kept aside reaches the disk, with the original's times, before the original is
// overwritten: the one put back is the same file to the rule that compares creation times.
bool SealCopy(const char* original, const char* copy) {
    // Its times as a search gives them, which needs no opening of a file that may be in use
    // (and no GetFileAttributesEx, which Windows 95 and NT 3.51 lack).
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(original, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    UniqueFile file(CreateFileA(copy, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SetFileTime(file.Get(), &data.ftCreationTime, &data.ftLastAccessTime, &data.ftLastWriteTime) &&
           FlushFileBuffers(file.Get());
}

bool IsFree(const char* path) { return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; }

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
    DWORD attributes = GetFileAttributesA(path);
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
    if (MoveFileA(path, kept)) return true;
    if (CopyFileA(path, copying, TRUE) && SealCopy(path, copying) && MoveFileA(copying, kept)) {
        *copied = true;
        return true;
    }
    DeleteFileA(copying);
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
        DeleteFileA(staged);  // a retry stages anew; a commit would leave this one
        return false;
    }
    restartRequired = 1;
    return true;
}


// ---- the undo of one entry ----

enum class Outcome : unsigned char {
    Undone,
    Stays,  // a folder, key or group that holds what is not the run's: it stays
    Left,   // could not be undone now: it stays listed and the user is told
};

Outcome PutBack(const KeptNames& names, const JournalEntry& entry) {
    char kept[kPathSize];
    char copying[kPathSize];
    if (!KeptPathOf(names, entry.text, entry.number, ".BAK", kept) ||
        !KeptPathOf(names, entry.text, entry.number, ".TMP", copying)) {
        return Outcome::Undone;
    }
    DeleteFileA(copying);  // a copy aside that was under way
    if (IsFree(kept)) return Outcome::Undone;  // never moved, or already back
    DeleteAnyFile(entry.text);
    return MoveFileA(kept, entry.text) ? Outcome::Undone : Outcome::Left;
}

// The replacement is taken off the system's list first. While its staged file is still
// there, the system has not restarted since: the file is the original, untouched, and its
// kept copy goes, so that the kept original's entry has nothing to put back. Without the
// staged file the replacement took place, and that entry puts the original back.
Outcome CancelReplacement(const KeptNames& names, const JournalEntry& entry) {
    char staged[kPathSize];
    char kept[kPathSize];
    if (!KeptPathOf(names, entry.text, entry.number, ".RPL", staged) ||
        !KeptPathOf(names, entry.text, entry.number, ".BAK", kept)) {
        return Outcome::Undone;
    }
    if (!CancelReplacementAtRestart(staged, entry.text)) return Outcome::Left;
    if (!IsFree(staged)) DeleteAnyFile(kept);
    return Outcome::Undone;
}

Outcome UndoFolder(const char* path) {
    if (RemoveDirectoryA(path)) {
        NotifyShell(SHCNE_RMDIR, path);
        return Outcome::Undone;
    }
    return DirectoryExists(path) ? Outcome::Stays : Outcome::Undone;
}

Outcome UndoGroup(const char* group) {
    switch (GetProgmanGroupState(group)) {
    case GroupState::Empty: ProgmanDeleteGroup(group); return Outcome::Undone;
    case GroupState::HasItems: return Outcome::Stays;
    case GroupState::Missing: break;
    }
    return Outcome::Undone;
}

Outcome UndoItem(const JournalEntry& entry) {
    // Item deletion acts on the active group. Without the run's group (deleted since, or
    // never made) the item went with it, and a deletion would hit an item of that name in
    // whatever group is active: the user's.
    if (GetProgmanGroupState(entry.text) == GroupState::Missing) return Outcome::Undone;
    if (!ProgmanShowGroup(entry.text, 1)) return Outcome::Left;
    ProgmanDeleteItem(entry.name);
    return Outcome::Undone;
}

// A key of the run goes only while nothing of another program has come below it.
Outcome UndoKey(const JournalEntry& entry) {
    HKEY root = RootOf(entry.number);
    if (root == nullptr) return Outcome::Undone;
    if (!KeyHasNoSubkeys(root, entry.text)) return Outcome::Stays;
    LONG result = RegDeleteKeyA(root, entry.text);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? Outcome::Undone : Outcome::Stays;
}

Outcome RestoreValue(const JournalEntry& entry) {
    HKEY root = RootOf(entry.number);
    UniqueKey key;
    // Without its key the value is gone too.
    if (root == nullptr || RegOpenKeyExA(root, entry.text, 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) {
        return Outcome::Undone;
    }
    if (entry.type == kJournalNoValue) {
        LONG result = RegDeleteValueA(key.Get(), entry.name);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? Outcome::Undone : Outcome::Left;
    }
    return RegSetValueExA(key.Get(), entry.name, 0, entry.type, entry.data, entry.dataSize) == ERROR_SUCCESS
               ? Outcome::Undone
               : Outcome::Left;
}

// How the undo of one list goes: its kept names, and what the whole undo must know.
struct UndoState {
    KeptNames names;
    bool fontsChanged;
    bool registryChanged;
};

Outcome Undo(const JournalEntry& entry, bool keptAside, UndoState* state) {
    bool* fontsChanged = &state->fontsChanged;
    if (entry.kind == journal::kRegistryKey || entry.kind == journal::kRegistryValue) state->registryChanged = true;
    switch (entry.kind) {
    case journal::kCreatedFile:
        // A path the list also keeps an original of is put right by that entry alone: what
        // lay there before the run (or came there before the run wrote it) is put back, and
        // an undo done again never deletes it.
        if (keptAside) return Outcome::Undone;
        DeleteAnyFile(entry.text);
        return IsFree(entry.text) ? Outcome::Undone : Outcome::Left;
    case journal::kReplacedFile: return PutBack(state->names, entry);
    case journal::kPendingReplacement: return CancelReplacement(state->names, entry);
    case journal::kCreatedFolder: return UndoFolder(entry.text);
    case journal::kResourceAdded:
        // A resource lasts until the system restarts: one that cannot be taken out is gone then.
        RemoveFontResourceA(entry.text);
        *fontsChanged = true;
        return Outcome::Undone;
    case journal::kResourceRemoved:
        AddFontResourceA(entry.text);
        *fontsChanged = true;
        return Outcome::Undone;
    case journal::kProgmanGroup: return UndoGroup(entry.text);
    case journal::kProgmanItem: return UndoItem(entry);
    case journal::kRegistryKey: return UndoKey(entry);
    case journal::kRegistryValue: return RestoreValue(entry);
    default: return Outcome::Undone;
    }
}

// What the user is told of an entry that could not be undone: its path, the item in its
// group, or the value in its key.
void DescribeLeft(const JournalEntry& entry, char* out, size_t size) {
    const char* second = entry.kind == journal::kProgmanItem || entry.kind == journal::kRegistryValue ? entry.name : "";
    char line[2 * kPathSize + 2];
    if (!JoinText(line, sizeof line, {entry.text, second[0] ? "\\" : "", second, "\n"})) return;
    AppendString(out, size, line);  // what does not fit is left out whole
}

// ---- the undo of a whole list ----

// The list at path read whole, as far as a run writes, into a heap block (the caller frees
// it); null when unreadable. The list stays open in file, for no other process to use while
// it is undone, and for writing the undo's progress to it where it may be written.
char* ReadList(const char* path, UniqueFile& file, DWORD* size) {
    file.Reset(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (!file) file.Reset(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    char* bytes = static_cast<char*>(malloc(kMaxListBytes));
    DWORD read = 0;
    if (bytes != nullptr && ReadFile(file.Get(), bytes, kMaxListBytes, &read, nullptr)) {
        *size = read;
        return bytes;
    }
    free(bytes);
    return nullptr;
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

// Where each whole entry of a list starts (and where the last ends), and what its undo gave.
uint32_t g_offsets[kCapacity + 1];
Outcome g_outcomes[kCapacity];
uint32_t g_keptHashes[kCapacity];  // of each entry that keeps an original: its path's; else 0

uint32_t PathHash(const char* path) {
    uint32_t hash = 2166136261u;
    for (; *path != '\0'; ++path) hash = (hash ^ static_cast<unsigned char>(UpperAscii(*path))) * 16777619u;
    return hash | 1;
}

// True when an entry of the list keeps an original of path.
bool IsKeptAside(const JournalList& list, int count, const char* path) {
    uint32_t hash = PathHash(path);
    JournalEntry kept;
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        if (g_keptHashes[i] == hash && list.ReadEntry(g_offsets[i], &kept, &next) && lstrcmpiA(kept.text, path) == 0) {
            return true;
        }
    }
    return false;
}

// The entries of list up to its last whole one; true when the run had finished. *undoneFrom:
// the first entry from which on an earlier undo of the list undid everything (count when
// none did); its marks follow the entries.
int IndexEntries(const JournalList& list, bool* finished, int* undoneFrom) {
    *finished = false;
    int count = 0;
    uint32_t undone = kCapacity;
    g_offsets[0] = JournalList::FirstEntry();
    JournalEntry entry;
    size_t next = 0;
    for (size_t offset = g_offsets[0]; list.ReadEntry(offset, &entry, &next); offset = next) {
        if (entry.kind == journal::kUndone) {
            if (entry.number < undone) undone = entry.number;
            continue;
        }
        if (undone != kCapacity || count == kCapacity) break;  // no entry follows a mark
        g_keptHashes[count] = entry.kind == journal::kReplacedFile ? PathHash(entry.text) : 0;
        if (entry.kind == journal::kFinished) *finished = true;
        g_offsets[++count] = static_cast<uint32_t>(next);
    }
    *undoneFrom = undone < static_cast<uint32_t>(count) ? static_cast<int>(undone) : count;
    return count;
}

// An undo that cannot be done twice (a font resource added back, an item deleted in the
// active group): done, it is marked on the list, flushed, so that an undo ended later and
// done again starts below it. Entries undone by every other kind of undo are safe to undo
// again and are not marked; a mark that cannot be written only makes the next undo do more.
bool NeedsUndoneMark(char kind) {
    return kind == journal::kResourceAdded || kind == journal::kResourceRemoved || kind == journal::kProgmanItem;
}

void MarkUndone(HANDLE list, int from) {
    JournalEntry mark;
    char line[kJournalLineSize];
    if (!MakeJournalEntry(&mark, journal::kUndone, "")) return;
    mark.number = static_cast<uint32_t>(from);
    if (FormatJournalEntry(line, sizeof line, mark) == sizeof line &&
        SetFilePointer(list, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER && WriteAll(list, line, sizeof line)) {
        FlushFileBuffers(list);
    }
}

void DeleteKeptOriginals(const KeptNames& names, const JournalList& list, int count) {
    JournalEntry entry;
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        char kept[kPathSize];
        if (list.ReadEntry(g_offsets[i], &entry, &next) && entry.kind == journal::kReplacedFile &&
            KeptPathOf(names, entry.text, entry.number, ".BAK", kept)) {
            Watch(JournalStep::Commit);
            DeleteAnyFile(kept);
            // A DLL in use that was renamed aside (Windows NT allows that) cannot be deleted:
            // it goes when the system next starts.
            if (!IsFree(kept) && ScheduleDeletionAtRestart(kept)) restartRequired = 1;
        }
    }
}

// Writes the list anew, whole, under its fresh name: the header and the entries that stay,
// in their order; then it takes the list's place. Ended before the old list went, the old
// list stands (its undo is safe to do again); ended after, the fresh one is found in its
// stead (SettleFresh). When it cannot be written, the old list stays as it was.
void KeepLeftovers(const ListPlace& place, char* bytes, int count) {
    // The entries that stay, moved up behind the header in the block itself.
    DWORD kept = kJournalLineSize;
    for (int i = 0; i < count; ++i) {
        if (g_outcomes[i] == Outcome::Undone) continue;
        DWORD size = g_offsets[i + 1] - g_offsets[i];
        memmove(bytes + kept, bytes + g_offsets[i], size);
        kept += size;
    }
    if (!WriteFresh(place, bytes, kept)) return;
    if (DeleteFileA(place.list) && MoveFileA(place.fresh, place.list)) return;
    DeleteFileA(place.fresh);
}

// A list found under its fresh name alone was written whole and flushed before the old one
// went (or made whole before it got its name): it is the list. Beside a list, it is one
// that was under way: it goes.
void SettleFresh(const ListPlace& place) {
    if (IsFree(place.fresh)) return;
    if (IsFree(place.list) && MoveFileA(place.fresh, place.list)) return;
    DeleteAnyFile(place.fresh);
}

// The registry's changes on disk before the list that could undo them goes.
void FlushRegistry() {
    RegFlushKey(HKEY_LOCAL_MACHINE);
    RegFlushKey(HKEY_CURRENT_USER);
}

// What is found at a place: nothing (or what this setup cannot read), another product's
// list, or this product's.
enum class Found { Nothing, Other, Ours };

// Undoes the entries of list backwards from where an earlier undo of it got to; marks its
// progress in file where an entry's undo cannot be done twice.
Recovery UndoEntries(const JournalList& list, HANDLE file, int count, int undoneFrom, UndoState* state,
                     char* leftovers, size_t size) {
    Recovery result = Recovery::Undone;
    bool whole = true;  // every entry so far undone: the progress may be marked
    JournalEntry entry;
    size_t next = 0;
    for (int i = count - 1; i >= 0; --i) {
        g_outcomes[i] = Outcome::Undone;
        if (i >= undoneFrom || !list.ReadEntry(g_offsets[i], &entry, &next)) continue;
        Watch(JournalStep::Undo);
        bool keptAside = entry.kind == journal::kCreatedFile && IsKeptAside(list, count, entry.text);
        g_outcomes[i] = Undo(entry, keptAside, state);
        whole = whole && g_outcomes[i] == Outcome::Undone;
        if (whole && NeedsUndoneMark(entry.kind)) MarkUndone(file, i);
        if (g_outcomes[i] == Outcome::Left) {
            result = Recovery::Partly;
            if (leftovers != nullptr) DescribeLeft(entry, leftovers, size);
        }
    }
    if (state->fontsChanged) BroadcastFontChange();
    if (state->registryChanged) FlushRegistry();
    return result;
}

// Undoes the list at place backwards when it is this product's (Found::Ours). A finished
// run's list only has its kept originals deleted. What cannot be undone stays listed, with
// the folders, keys and groups it keeps from going; the rest of the list goes. A list too
// short for its header was ended before its first flush: nothing it lists was done, and it
// goes.
Found UndoList(const ListPlace& place, const char* product, char* leftovers, size_t size, Recovery* result) {
    *result = Recovery::None;
    SettleFresh(place);
    DWORD length = 0;
    UniqueFile file;
    char* bytes = ReadList(place.list, file, &length);
    if (bytes == nullptr) return Found::Nothing;
    JournalList list(bytes, length);
    char listed[kPathSize];
    UndoState state = {{kJournalFormat, place.mark, 0}, false, false};
    Found found = Found::Ours;
    JournalStep step = JournalStep::Undo;  // the list's going, for a test that ends there
    if (length < kJournalLineSize) {
        step = JournalStep::Action;        // it never held an action
    } else if (!list.ReadHeader(listed, &state.names.format, &state.names.run)) {
        // One of a format this setup does not know is left alone, and so is a list of
        // another product whose key name gives the same mark.
        found = Found::Nothing;
    } else if (lstrcmpiA(listed, product) != 0) {
        found = Found::Other;
    } else {
        bool finished = false;
        int undoneFrom = 0;
        int count = IndexEntries(list, &finished, &undoneFrom);
        if (finished) {
            step = JournalStep::Commit;
            DeleteKeptOriginals(state.names, list, count);
        } else {
            *result = UndoEntries(list, file.Get(), count, undoneFrom, &state, leftovers, size);
        }
        file.Reset();
        if (*result == Recovery::Partly) KeepLeftovers(place, bytes, count);
    }
    file.Reset();
    if (found == Found::Ours && *result != Recovery::Partly) {
        if (step != JournalStep::Action) Watch(step);
        DeleteAnyFile(place.list);
    }
    free(bytes);
    return found;
}

// A read-only file (the record) is opened for writing with its flag off for the moment.
void FlushFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    {
        UniqueFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) FlushFileBuffers(file.Get());
    }
    if (readOnly) SetFileAttributesA(path, attributes);
}

// The files of this run that replaced a kept original, and the record: flushed before the
// mark, after which the originals go.
void FlushReplacingFiles() {
    if (g_recordPath[0] != '\0') FlushFile(g_recordPath);
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
    return RegOpenKeyExA(root, key, 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
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
    // The file list, then the record.
    for (int i = 0; i <= context.fileCount + 2; ++i) {
        const char* name = i < context.fileCount + 2 ? InstalledFileName(context, i) : context.unZelkName;
        char* path = g_ahead[g_aheadCount].path;
        JournalEntry entry;
        if (name != nullptr && JoinPath(path, kPathSize, context.destination, name) && IsFree(path) &&
            MakeJournalEntry(&entry, journal::kCreatedFile, path) && AddLines(entry)) {
            if (i == context.fileCount + 2) CopyString(g_recordPath, path);
            ++g_aheadCount;
        }
    }
    if (!WriteLines()) g_aheadCount = 0;
}

int CopyJournaledFile(const char* source, const char* destination, bool atRestart) {
    if (IsListedAhead(destination)) {
        Watch();
    } else if (IsFree(destination) && !List(journal::kCreatedFile, destination)) {
        return 0;
    }
    switch (CopyInstallFileAs(source, destination, false)) {
    case CopyResult::Copied: return 1;
    case CopyResult::Failed: return 0;
    case CopyResult::Exists: break;
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
    DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
    if (length == 0 || length >= sizeof previous ||
        !NoteMissingLevels(path, journal::kCreatedFolder, nullptr, FolderExists)) {
        return -1;
    }
    int made = CreateDirectoryPath(path);
    SetCurrentDirectoryA(previous);  // the walk through the levels moved it
    return made;
}

bool AddJournaledFontResource(const char* name, const char* folder) {
    if (!List(journal::kResourceAdded, name)) return false;
    char previous[kPathSize];
    DWORD length = folder != nullptr ? GetCurrentDirectoryA(sizeof previous, previous) : 0;
    bool moved = length > 0 && length < sizeof previous && SetCurrentDirectoryA(folder);
    bool added = AddFontResourceA(name) != 0;
    if (moved) SetCurrentDirectoryA(previous);
    return added;
}

bool RemoveJournaledFontResource(const char* name) {
    if (!List(journal::kResourceRemoved, name)) return false;
    RemoveFontResourceA(name);
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
    if (!SamePath(group, g_createdGroup) && ProgmanGroupHoldsItem(group, item)) return true;
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
    char emptyClass[] = "";
    if (RegCreateKeyExA(root, key, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return opened;
}

bool SetJournaledValue(HKEY root, const char* keyName, const char* name, DWORD type, const void* data, DWORD size) {
    UniqueKey key;
    if (name == nullptr ||
        RegOpenKeyExA(root, keyName, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    if (root != g_createdRoot || lstrcmpiA(keyName, g_createdKey) != 0) {
        JournalEntry entry;
        if (RootNumber(root) == 0 || !MakeJournalEntry(&entry, journal::kRegistryValue, keyName) ||
            !CopyString(entry.name, name)) {
            return false;
        }
        entry.number = RootNumber(root);
        DWORD earlierType = 0;
        DWORD earlierSize = sizeof entry.data;
        LONG result = RegQueryValueExA(key.Get(), name, nullptr, &earlierType, entry.data, &earlierSize);
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
    return RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
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
        FlushReplacingFiles();
        FlushRegistry();
        JournalEntry finished;
        MakeJournalEntry(&finished, journal::kFinished, "");
        Watch(JournalStep::Commit);
        StartLines();
        bool marked = AddLines(finished) && WriteLines();
        CloseList();
        Recovery result;
        if (marked) {
            UndoList(g_place, g_product, nullptr, 0, &result);
        } else {
            DeleteFileA(g_place.list);
        }
    }
    Reset();
}

Recovery RestoreInterruptedRun(const SetupContext& context, char* leftovers, size_t size) {
    // The product's list lies under the first mark that another product's list did not hold
    // when the run began; such a list may have gone since, so every mark is looked at.
    if (leftovers != nullptr && size > 0) leftovers[0] = '\0';
    uint32_t first = FirstMarkOf(context);
    for (uint32_t i = 0; i < kListMarks; ++i) {
        ListPlace place;
        Recovery result;
        if (PlaceOf(context, first + i, &place) &&
            UndoList(place, context.unRegistry ? context.unRegistry : "", leftovers, size, &result) == Found::Ours) {
            return result;
        }
    }
    return Recovery::None;
}
