// The journal of this run and its undo. See journal.h for where kept originals lie.
#include "journal.h"

#include <shlobj.h>

#include "common/linereader.h"
#include "common/progman.h"
#include "common/shell.h"
#include "common/system.h"
#include "common/uninst.h"
#include "setup.h"

namespace {

enum class Step : unsigned char {
    CreatedFile,      // path: a file that did not exist
    ReplacedFile,     // path: a file whose original was kept aside as number
    CreatedFolder,    // path: a start-menu group folder
    ResourceAdded,    // path: a font resource added to the system
    ResourceRemoved,  // path: a font resource taken out of use
    FontsValue,       // path: the Fonts key value; number: its slot of earlier data
    ProgmanGroup,     // path: a Program Manager group
    ProgmanItem,      // path: an item of the run's Program Manager group
    RegistryKey,      // root and path: a key created
};

struct Entry {
    Step step;
    bool copiedAside;  // ReplacedFile: the original was copied, not moved
    int number;
    HKEY root;
    char path[kPathSize];
};

// Room for every item a script may name, the start-menu entries, the keys, and retries.
constexpr int kCapacity = 2 * kFileSlots + kMaxDlls + 5 * kMaxFonts + 96;
Entry g_entries[kCapacity];
int g_count;

// Fonts key data as it was before the run set a value.
struct EarlierValue {
    bool existed;
    DWORD type;
    DWORD size;
    BYTE data[kPathSize];
};
EarlierValue g_earlierValues[kMaxFonts];
int g_earlierCount;

char g_progmanGroup[kPathSize];  // the group the noted items belong to

// The on-disk list of kept originals.
char g_listPath[kPathSize];
const char* g_product = "";
HANDLE g_list = INVALID_HANDLE_VALUE;
int g_nextKept = 1;

const char kListHeader[] = "ZELK kept originals";

Entry* Add(Step step, const char* path) {
    if (g_count == kCapacity) return nullptr;
    Entry& entry = g_entries[g_count];
    if (!CopyString(entry.path, path)) return nullptr;
    entry.step = step;
    entry.copiedAside = false;
    entry.number = 0;
    entry.root = nullptr;
    ++g_count;
    return &entry;
}

bool Note(Step step, const char* path) { return path != nullptr && Add(step, path) != nullptr; }

// The list's path: the Windows folder, a name drawn from the product's uninstall key name
// (key names ignore case, so the name does too).
bool ListPathOf(const SetupContext& context, char (&path)[kPathSize]) {
    DWORD hash = 2166136261u;
    for (const char* p = context.unRegistry ? context.unRegistry : ""; *p != '\0'; ++p) {
        hash = (hash ^ static_cast<unsigned char>(UpperAscii(*p))) * 16777619u;
    }
    char name[32];
    wsprintfA(name, "~ZK%08lX.JNL", static_cast<unsigned long>(hash));
    return JoinPath(path, context.windowsDir, name);
}

bool WriteText(HANDLE file, const char* text) {
    DWORD length = static_cast<DWORD>(lstrlenA(text));
    DWORD written = 0;
    return WriteFile(file, text, length, &written, nullptr) && written == length;
}

// Creates the list with its header, once per run, before the first original is moved. An
// existing list is one an earlier run could not clear: it is never overwritten.
bool OpenList() {
    if (g_list != INVALID_HANDLE_VALUE) return true;
    if (g_listPath[0] == '\0') return false;
    g_list = CreateFileA(g_listPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (g_list == INVALID_HANDLE_VALUE) return false;
    char header[sizeof kListHeader + kPathSize + 4];
    if (JoinText(header, sizeof header, {kListHeader, "\r\n", g_product, "\r\n"}) && WriteText(g_list, header)) {
        return true;
    }
    CloseHandle(g_list);
    g_list = INVALID_HANDLE_VALUE;
    DeleteFileA(g_listPath);
    return false;
}

void RemoveList() {
    if (g_list != INVALID_HANDLE_VALUE) {
        CloseHandle(g_list);
        g_list = INVALID_HANDLE_VALUE;
        DeleteFileA(g_listPath);
    }
}

// The kept original number beside path: "~ZKnnnnn.BAK".
bool KeptPathOf(const char* path, int number, char (&kept)[kPathSize]) {
    char folder[kPathSize];
    char name[kPathSize];
    char keptName[16];
    wsprintfA(keptName, "~ZK%05d.BAK", number);
    return SplitPath(folder, name, path) && JoinPath(kept, folder, keptName);
}

// A name beside path that nothing uses yet.
bool FreeKeptName(const char* path, char (&kept)[kPathSize], int* number) {
    for (int tries = 0; tries < 1000 && g_nextKept < 100000; ++tries) {
        *number = g_nextKept++;
        if (!KeptPathOf(path, *number, kept)) return false;
        if (GetFileAttributesA(kept) == INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
}

bool KeptPath(const Entry& entry, char (&kept)[kPathSize]) { return KeptPathOf(entry.path, entry.number, kept); }

// Keeps the existing file at path aside: listed on disk first, then renamed beside itself,
// or copied there when it cannot be renamed (then *copied). A read-only file is not
// replaced by the run at all.
bool KeepOriginal(const char* path, bool* copied, bool readOnlyToo = false) {
    *copied = false;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // gone meanwhile: nothing to keep
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !readOnlyToo) return false;
    char kept[kPathSize];
    int number = 0;
    Entry* entry = nullptr;
    char pair[2 * kPathSize + 4];
    // One write per kept original: the list is written through to the disk.
    if (g_count < kCapacity && FreeKeptName(path, kept, &number) && OpenList() &&
        JoinText(pair, sizeof pair, {kept, "\r\n", path, "\r\n"}) && WriteText(g_list, pair)) {
        entry = Add(Step::ReplacedFile, path);
    }
    if (entry == nullptr) return false;
    entry->number = number;
    if (MoveFileA(path, kept)) return true;
    if (CopyFileA(path, kept, TRUE)) {
        entry->copiedAside = *copied = true;
        return true;
    }
    DeleteFileA(kept);
    --g_count;
    return false;
}

void DeleteRunFile(const char* path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

// ---- undo of each step ----

void PutBack(const Entry& entry) {
    char kept[kPathSize];
    if (!KeptPath(entry, kept) || GetFileAttributesA(kept) == INVALID_FILE_ATTRIBUTES) return;
    DeleteRunFile(entry.path);
    MoveFileA(kept, entry.path);
}

void RestoreFontsValue(const Entry& entry) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const EarlierValue& earlier = g_earlierValues[entry.number];
    if (earlier.existed) {
        RegSetValueExA(key, entry.path, 0, earlier.type, earlier.data, earlier.size);
    } else {
        RegDeleteValueA(key, entry.path);
    }
    RegCloseKey(key);
}

// Undoes one entry; true when the fonts changed.
bool Undo(const Entry& entry) {
    switch (entry.step) {
    case Step::CreatedFile: DeleteRunFile(entry.path); break;
    case Step::ReplacedFile: PutBack(entry); break;
    case Step::CreatedFolder:
        if (RemoveDirectoryA(entry.path)) NotifyShell(SHCNE_RMDIR, entry.path);
        break;
    case Step::ResourceAdded: RemoveFontResourceA(entry.path); return true;
    case Step::ResourceRemoved: AddFontResourceA(entry.path); return true;
    case Step::FontsValue: RestoreFontsValue(entry); break;
    case Step::ProgmanGroup:
        // The run made it, and its items are gone by now; it goes when nothing else has
        // come into it meanwhile.
        if (GetProgmanGroupState(entry.path) == GroupState::Empty) ProgmanDeleteGroup(entry.path);
        break;
    case Step::ProgmanItem:
        // Item deletion acts on the active group.
        if (ProgmanShowGroup(g_progmanGroup, 1)) ProgmanDeleteItem(entry.path);
        break;
    case Step::RegistryKey: RegDeleteKeyA(entry.root, entry.path); break;
    }
    return false;
}

void Reset() {
    g_count = 0;
    g_earlierCount = 0;
    g_progmanGroup[0] = '\0';
}

}  // namespace

void BeginJournal(const SetupContext& context) {
    Reset();
    g_product = context.unRegistry ? context.unRegistry : "";
    if (!ListPathOf(context, g_listPath)) g_listPath[0] = '\0';
}

int CopyJournaledFile(const char* source, const char* destination) {
    if (g_count == kCapacity) return 0;
    switch (CopyInstallFileAs(source, destination, false)) {
    case CopyResult::Copied: return Note(Step::CreatedFile, destination) ? 1 : 0;
    case CopyResult::Failed: return 0;
    case CopyResult::Exists: break;
    }
    bool copied;
    if (!KeepOriginal(destination, &copied)) return 0;
    // A copied-aside original still lies in the way: it is overwritten.
    return CopyInstallFileAs(source, destination, copied) == CopyResult::Copied ? 1 : 0;
}

bool PrepareToWrite(const char* path, bool readOnlyToo) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return Note(Step::CreatedFile, path);
    bool copied;
    return KeepOriginal(path, &copied, readOnlyToo);
}

bool NoteCreatedFolder(const char* path) { return Note(Step::CreatedFolder, path); }
bool NoteFontResourceAdded(const char* name) { return Note(Step::ResourceAdded, name); }
bool NoteFontResourceRemoved(const char* name) { return Note(Step::ResourceRemoved, name); }
bool NoteProgmanGroup(const char* group) { return Note(Step::ProgmanGroup, group); }

bool NoteProgmanItem(const char* group, const char* item) {
    return CopyString(g_progmanGroup, group) && Note(Step::ProgmanItem, item);
}

bool NoteRegistryKey(HKEY root, const char* key) {
    Entry* entry = key != nullptr ? Add(Step::RegistryKey, key) : nullptr;
    if (entry != nullptr) entry->root = root;
    return entry != nullptr;
}

bool NoteFontsValue(const char* valueName) {
    if (valueName == nullptr || g_earlierCount == kMaxFonts) return false;
    EarlierValue& earlier = g_earlierValues[g_earlierCount];
    earlier.existed = false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        earlier.size = sizeof earlier.data;
        LONG result = RegQueryValueExA(key, valueName, nullptr, &earlier.type, earlier.data, &earlier.size);
        RegCloseKey(key);
        // Data that does not fit could not be put back: the value is then not touched.
        if (result == ERROR_MORE_DATA) return false;
        earlier.existed = result == ERROR_SUCCESS;
    }
    Entry* entry = Add(Step::FontsValue, valueName);
    if (entry == nullptr) return false;
    entry->number = g_earlierCount++;
    return true;
}

void RollBackJournal() {
    bool fontsChanged = false;
    for (int i = g_count - 1; i >= 0; --i) fontsChanged = Undo(g_entries[i]) || fontsChanged;
    if (fontsChanged) BroadcastFontChange();
    RemoveCreatedFolder();
    // Every original is back: the list has done its work.
    RemoveList();
    Reset();
}

void CommitJournal() {
    // The list goes first: were the run ended now, no later run may put back an original
    // over this installation.
    RemoveList();
    for (int i = 0; i < g_count; ++i) {
        char kept[kPathSize];
        if (g_entries[i].step == Step::ReplacedFile && KeptPath(g_entries[i], kept)) DeleteRunFile(kept);
    }
    Reset();
}

bool RestoreInterruptedRun(const SetupContext& context) {
    char listPath[kPathSize];
    if (!ListPathOf(context, listPath)) return false;
    LineReader reader;
    if (!reader.Open(listPath)) return false;
    char line[kPathSize];
    char kept[kPathSize];
    // The header, then the product: a list of another product whose key name gives the same
    // file name is left alone.
    const char* product = context.unRegistry ? context.unRegistry : "";
    bool ours = reader.Next(line) && (StripLineEnd(line), lstrcmpA(line, kListHeader) == 0) &&
                reader.Next(line) && (StripLineEnd(line), lstrcmpiA(line, product) == 0);
    if (!ours) return false;
    Reset();
    while (reader.Next(kept) && reader.Next(line)) {
        StripLineEnd(kept);
        StripLineEnd(line);
        // The kept file lies beside the original; its name carries its number.
        char folder[kPathSize];
        char name[kPathSize];
        Entry* entry = SplitPath(folder, name, kept) ? Add(Step::ReplacedFile, line) : nullptr;
        if (entry == nullptr) break;
        entry->number = lstrlenA(name) > 3 ? ParseDecimal(name + 3) : 0;
    }
    reader.Close();
    // A file may be listed twice (a partial copy of the run kept before a retry): putting
    // them back last to first ends with the oldest, the original.
    for (int i = g_count - 1; i >= 0; --i) PutBack(g_entries[i]);
    Reset();
    DeleteFileA(listPath);
    return true;
}
