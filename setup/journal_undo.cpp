// The undo of a list of setup's journal: each entry's undo, safe to do again, and the whole
// list backwards, from where an ended undo got to (see journal_place.h).
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
#include "journal.h"
#include "journal_list.h"
#include "journal_place.h"
#include "setup.h"
#include "common/wintext.h"

namespace journal {
namespace {

HKEY RootOf(uint32_t number) {
    switch (number) {
    case 1: return HKEY_LOCAL_MACHINE;
    case 2: return HKEY_CURRENT_USER;
    default: return nullptr;
    }
}

// ---- the undo of one entry ----

enum class Outcome : unsigned char {
    Undone,
    Stays,  // a folder, key or group that holds what is not the run's: it stays
    Left,   // could not be undone now: it stays listed and the user is told
};

// The kept original of the entry's file, and its other name aside of that extension (the
// copy under way ".TMP", the staged replacement ".RPL"); false when one does not fit.
bool KeptPaths(const KeptNames& names, const JournalEntry& entry, const char* extension,
               char (&aside)[kPathSize], char (&kept)[kPathSize]) {
    return KeptPathOf(names, entry.text, entry.number, ".BAK", kept) &&
           KeptPathOf(names, entry.text, entry.number, extension, aside);
}

Outcome PutBack(const KeptNames& names, const JournalEntry& entry) {
    char kept[kPathSize];
    char copying[kPathSize];
    if (!KeptPaths(names, entry, ".TMP", copying, kept)) return Outcome::Undone;
    win::DeleteFile(copying);  // a copy aside that was under way
    if (IsFree(kept)) return Outcome::Undone;  // never moved, or already back
    DeleteAnyFile(entry.text);
    return win::MoveFile(kept, entry.text) ? Outcome::Undone : Outcome::Left;
}

// The replacement is taken off the system's list first. While its staged file is still
// there, the system has not restarted since: the file is the original, untouched, and its
// kept copy goes, so that the kept original's entry has nothing to put back. Without the
// staged file the replacement took place, and that entry puts the original back.
Outcome CancelReplacement(const KeptNames& names, const JournalEntry& entry) {
    char staged[kPathSize];
    char kept[kPathSize];
    if (!KeptPaths(names, entry, ".RPL", staged, kept)) return Outcome::Undone;
    if (!CancelReplacementAtRestart(staged, entry.text)) return Outcome::Left;
    if (!IsFree(staged)) DeleteAnyFile(kept);
    return Outcome::Undone;
}

Outcome UndoFolder(const char* path) {
    if (win::RemoveDirectory(path)) {
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
    LONG result = win::RegDeleteKey(root, entry.text);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? Outcome::Undone : Outcome::Stays;
}

Outcome RestoreValue(const JournalEntry& entry) {
    HKEY root = RootOf(entry.number);
    UniqueKey key;
    // Without its key the value is gone too.
    if (root == nullptr || win::RegOpenKeyEx(root, entry.text, 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) {
        return Outcome::Undone;
    }
    if (entry.type == kJournalNoValue) {
        LONG result = win::RegDeleteValue(key.Get(), entry.name);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? Outcome::Undone : Outcome::Left;
    }
    return win::RegSetValueEx(key.Get(), entry.name, entry.type, entry.data, entry.dataSize) == ERROR_SUCCESS
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
        win::RemoveFontResource(entry.text);
        *fontsChanged = true;
        return Outcome::Undone;
    case journal::kResourceRemoved:
        win::AddFontResource(entry.text);
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
    file.Reset(win::CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (!file) file.Reset(win::CreateFile(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

// Where each whole entry of a list starts (and where the last ends), and what its undo gave.
uint32_t g_offsets[kCapacity + 1];
Outcome g_outcomes[kCapacity];
uint32_t g_keptHashes[kCapacity];  // of each entry that keeps an original: its path's; else 0

uint32_t PathHash(const char* path) { return CaseBlindHash(path) | 1; }

// True when an entry of the list keeps an original of path.
bool IsKeptAside(const JournalList& list, int count, const char* path) {
    uint32_t hash = PathHash(path);
    JournalEntry kept;
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        if (g_keptHashes[i] == hash && list.ReadEntry(g_offsets[i], &kept, &next) && win::SameName(kept.text, path)) {
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
    if (win::DeleteFile(place.list) && win::MoveFile(place.fresh, place.list)) return;
    win::DeleteFile(place.fresh);
}

// A list found under its fresh name alone was written whole and flushed before the old one
// went (or made whole before it got its name): it is the list. Beside a list, it is one
// that was under way: it goes.
void SettleFresh(const ListPlace& place) {
    if (IsFree(place.fresh)) return;
    if (IsFree(place.list) && win::MoveFile(place.fresh, place.list)) return;
    DeleteAnyFile(place.fresh);
}

// Undoes the entries of list backwards from where an earlier undo of it got to; marks its
// progress in file where an entry's undo cannot be done twice. A frame of its own: the
// steps' buffers would make the caller's too large (the build holds frames under 3 KiB).
__attribute__((noinline)) Recovery UndoEntries(const JournalList& list, HANDLE file, int count, int undoneFrom, UndoState* state,
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

}  // namespace

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
    int count = 0;
    if (length < kJournalLineSize) {
        // Never held an action: it goes.
    } else if (!list.ReadHeader(listed, &state.names.format, &state.names.run)) {
        // One of a format this setup does not know is left alone, and so is a list of
        // another product whose key name gives the same mark.
        found = Found::Nothing;
    } else if (!win::SameName(listed, product)) {
        found = Found::Other;
    } else {
        bool finished = false;
        int undoneFrom = 0;
        count = IndexEntries(list, &finished, &undoneFrom);
        if (finished) {
            step = JournalStep::Commit;
            DeleteKeptOriginals(state.names, list, count);
        } else {
            *result = UndoEntries(list, file.Get(), count, undoneFrom, &state, leftovers, size);
        }
    }
    file.Reset();  // closed before the list is rewritten or goes
    if (found == Found::Ours && *result == Recovery::Partly) {
        KeepLeftovers(place, bytes, count);
    } else if (found == Found::Ours) {
        if (length >= kJournalLineSize) Watch(step);
        DeleteAnyFile(place.list);
    }
    free(bytes);
    return found;
}

// The registry's changes on disk before the list that could undo them goes.
void FlushRegistry() {
    RegFlushKey(HKEY_LOCAL_MACHINE);
    RegFlushKey(HKEY_CURRENT_USER);
}

}  // namespace journal

using namespace journal;

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
