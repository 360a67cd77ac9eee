// Removal of recorded files, folders, the shared-DLL notice and registry records.
#include "uninst.h"

#include <stdlib.h>
#include <string.h>

#include "registry.h"
#include "shell.h"
#include "ids.h"
#include "system.h"
#include "textsub.h"
#include "wintext.h"

namespace {

// The shared files noted since the last reset. unZELK's reader keeps up to 64 Dll lines,
// so the list has room for all of them; should more be noted, they are counted and the
// notice says how many more there are, so that none is left out silently.
constexpr int kNoticeSlots = kRecordFontSlots;

struct SharedFileNotice {
    char* paths[kNoticeSlots];
    int count;
    int notListed;  // present files beyond the list's room
};

SharedFileNotice sharedFileNotice;

void FreeNoticePaths() {
    for (int i = 0; i < sharedFileNotice.count; ++i) free(sharedFileNotice.paths[i]);
    sharedFileNotice.count = 0;
    sharedFileNotice.notListed = 0;
}

// The programs beside the record; the record goes after them.
const char* const kProgramsBesideRecord[] = {"unZELK.exe", "rmZELK.bin"};

// A value that names a registry key: present and not empty (an empty name would make the
// formed key the parent itself).
bool IsKeyName(const char* name) { return name != nullptr && name[0] != '\0'; }

}  // namespace

void ResetSharedFileNotice() { FreeNoticePaths(); }

void NoteSharedFile(const char* folder, const char* name) {
    if (name == nullptr) return;
    char path[kPathSize];
    if (!JoinPath(path, folder, name) || !FileExists(path)) return;
    if (sharedFileNotice.count == kNoticeSlots) {
        ++sharedFileNotice.notListed;
        return;
    }
    char* copy = DuplicateString(path);
    if (copy == nullptr) {
        ++sharedFileNotice.notListed;  // still counted, so the notice mentions it
        return;
    }
    sharedFileNotice.paths[sharedFileNotice.count++] = copy;
}

char* FormatSharedFileNotice() {
    if (sharedFileNotice.count == 0 && sharedFileNotice.notListed == 0) return nullptr;
    size_t size = 256;  // the heading, the "more" line and the terminator
    for (int i = 0; i < sharedFileNotice.count; ++i) size += strlen(sharedFileNotice.paths[i]) + 1;
    char* text = static_cast<char*>(malloc(size));
    if (text == nullptr) return nullptr;
    text[0] = '\0';
    char line[128];
    bool fits = AppendString(text, size, LoadText(IDS_SHARED_FILES, line, sizeof line));
    for (int i = 0; fits && i < sharedFileNotice.count; ++i) {
        fits = AppendString(text, size, sharedFileNotice.paths[i]) && AppendString(text, size, "\n");
    }
    if (fits && sharedFileNotice.notListed > 0) {
        char more[64];
        wsprintfA(more, LoadText(IDS_SHARED_FILES_MORE, line, sizeof line), sharedFileNotice.notListed);
        fits = AppendString(text, size, more);
    }
    if (!fits) {  // cannot happen with the size above; never show a cut list
        free(text);
        return nullptr;
    }
    return text;
}

// A text made for one box (none when null), then freed.
static void ShowMadeText(HWND owner, char* text, const char* caption, UINT style) {
    if (text == nullptr) return;
    g_messageBox(owner, text, caption, style);
    free(text);
}

void ShowSharedFileNotice(HWND owner, const char* caption) {
    char* text = FormatSharedFileNotice();
    FreeNoticePaths();
    ShowMadeText(owner, text, caption, MB_ICONINFORMATION);
}

// Tells the user which lines of the record are left alone, when there are any.
static void ShowForeignLines(const UninstallRecord& record, const char* folder, const RemovalStyle& style) {
    ShowMadeText(style.owner, FormatForeignLines(record, folder, style.foreignHeading), style.caption, MB_ICONWARNING);
}

void RemoveRecordedItems(const UninstallRecord& record, const RemovalStyle& style, const char* recordPath,
                         const char* systemDir, const char* fontsDir) {
    // Only full paths in the record's own folder are the product's: anything else would
    // be taken relative to whatever folder is current, or lie outside the product.
    char folder[kPathSize];
    GetRecordFolder(folder, recordPath);
    ShowForeignLines(record, folder, style);
    for (int i = 0; i < record.fileCount; ++i) {
        const char* path = record.files[i];
        if (!IsOwnPath(path, folder) || IsLeftForLast(path, recordPath)) continue;
        // Most files go at the first attempt; the attributes are set (a read-only file
        // cannot be deleted) only for a file that stays, which then ends as it always did.
        if (win::DeleteFile(path)) continue;
        win::SetFileAttributes(path, style.clearAttributes);
        win::DeleteFile(path);
    }
    for (int i = 0; i < record.directoryCount; ++i) {
        if (IsOwnPath(record.directories[i], folder)) win::RemoveDirectory(record.directories[i]);
    }
    ResetSharedFileNotice();
    for (int i = 0; i < record.dllCount; ++i) {
        if (IsOwnFileName(record.dlls[i])) NoteSharedFile(systemDir, record.dlls[i]);
    }
    ShowSharedFileNotice(style.owner, style.caption);
    for (int i = 0; i < record.fontCount; ++i) {
        if (!IsOwnFileName(record.fontFiles[i])) continue;
        RemoveFont(style.owner, style.caption, fontsDir, record.fontFiles[i], record.fontNames[i]);
    }
}

bool IsLeftForLast(const char* path, const char* recordPath) {
    if (win::SameName(path, recordPath)) return true;
    char folder[kPathSize];
    char name[kPathSize];
    if (!SplitPath(folder, name, recordPath)) return false;
    for (const char* program : kProgramsBesideRecord) {
        char beside[kPathSize];
        if (JoinPath(beside, folder, program) && win::SameName(path, beside)) return true;
    }
    return false;
}

void DeleteLastFiles(const char* recordPath) {
    char folder[kPathSize];
    char name[kPathSize];
    if (!SplitPath(folder, name, recordPath)) return;
    // A running uninstaller cannot delete its own program file: its companion does that.
    for (const char* program : kProgramsBesideRecord) {
        char path[kPathSize];
        if (!JoinPath(path, folder, program)) continue;
        DeleteAnyFile(path);  // setup installed both read-only
    }
    DeleteAnyFile(recordPath);
}

void DeleteAppKeysOf(const char* appRegistry, const char* appVersion) {
    if (!IsKeyName(appRegistry)) return;
    DeleteAppKeys(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZELK", appRegistry, appVersion);
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", appRegistry, appVersion);
}

void DeleteRecordedAppKeys(const UninstallRecord& record) { DeleteAppKeysOf(record.appRegistry, record.appVersion); }

void DeleteRecordedRegistry(const UninstallRecord& record) {
    DeleteRecordedAppKeys(record);
    DeleteRecordedEntry(record);
}

void DeleteRecordedEntry(const UninstallRecord& record) {
    // Without a name the key would be the Uninstall branch itself; a name too long for the
    // buffer is not shortened into some other key's name.
    char key[kPathSize];
    if (IsKeyName(record.unRegistry) && JoinPath(key, kUninstallBranch, record.unRegistry)) {
        win::RegDeleteKey(HKEY_LOCAL_MACHINE, key);
    }
}

// True for "X:" and "X:\" and anything shorter: never a folder level of an installation.
static bool IsDriveOrRoot(const char* path) {
    size_t length = strlen(path);
    if (length < 2) return true;
    if (path[1] != ':') return false;
    return length == 2 || (length == 3 && path[2] == '\\');
}

void RemoveFolderLevels(const char* folder, int depth, bool notify) {
    for (int level = 0; level < depth; ++level) {
        char path[kPathSize];
        // A path with fewer levels has nothing more to remove.
        if (GetAncestorPath(path, folder, level) != 0) return;
        if (IsDriveOrRoot(path)) return;
        if (win::RemoveDirectory(path) && notify) {
            NotifyShell(SHCNE_RMDIR, path);
        }
    }
}
