// The copy engine: the file list, the DLLs and the fonts, one item at a time inside the
// progress dialog, with the user's choice to copy a failed item again or to abandon.
#include "setup.h"

#include <lzexpand.h>
#include <shlobj.h>
#include <string.h>

#include "common/handles.h"
#include "common/shell.h"
#include "common/system.h"
#include "ids.h"
#include "journal.h"
#include "setup_api.h"
#include "common/wintext.h"

enum class ItemKind { File, Dll, Font };

// Source and destination path of one item. A path that does not fit is a failure of the
// item; the line then shows the bare name so the user sees which item it was.
struct ItemPaths {
    char source[kPathSize];
    char destination[kPathSize];
    bool joined;
};

static ItemPaths PathsOf(ItemKind kind, int i) {
    const SetupContext& c = g_setup;
    const char* sourceName = c.fileSource[i];
    const char* destName = InstalledFileName(c, i);
    const char* folder = c.destination;
    if (kind == ItemKind::Dll) {
        sourceName = c.dllSource[i];
        destName = InstalledDllName(c, i);
        folder = c.systemDir;
    } else if (kind == ItemKind::Font) {
        sourceName = c.fontSource[i];
        destName = InstalledFontName(c, i);
        folder = c.fontsDir;
    }
    ItemPaths paths;
    bool sourceJoined = JoinPath(paths.source, c.srcDirectory, sourceName);
    bool destJoined = JoinPath(paths.destination, folder, destName);
    if (!sourceJoined) CopyString(paths.source, sourceName);
    if (!destJoined) CopyString(paths.destination, destName);
    paths.joined = sourceJoined && destJoined;
    return paths;
}

static int InstallItem(ItemKind kind, int i, const ItemPaths& paths) {
    if (!paths.joined) return 0;
    const SetupContext& c = g_setup;
    switch (kind) {
    case ItemKind::File: return CopyJournaledFile(paths.source, paths.destination);
    case ItemKind::Dll: return InstallDll(paths.source, paths.destination);
    case ItemKind::Font:
        return InstallFont(c.srcDirectory, c.fontsDir, c.fontSource[i], InstalledFontName(c, i),
                           c.fontName[i]);
    }
    return 0;
}

// What the progress dialog shows. Painting a path line or a step of the bar takes longer
// than copying a small file, so while items go by faster than anyone can read them, the
// dialog is brought up to date at most every kRefreshInterval: the paths of the item that
// is starting then, and the bar with every step finished since. An item that may take a
// while (a large file, a DLL or a font) is always shown as it starts; before a question
// and at the end the dialog is exact.
//
// The messages are pumped after an item whenever the dialog was brought up to date during
// it, so at least every kRefreshInterval and after every long item: the new texts are
// painted and a cancel is answered between two items, as ever. After the other small
// items the pump is left out: each call asks the window manager, and on a busy machine that
// costs about a millisecond, several times the copy of a small file.
static const DWORD kRefreshInterval = 25;          // ms
static const uint32_t kLongItemBytes = 64 * 1024;  // a file this large is always shown

struct ProgressView {
    HWND dialog;
    HWND bar;
    DWORD lastRefresh;
    bool refreshed;    // anything shown yet
    int pendingSteps;  // items finished but not yet on the bar

    bool Due() const { return !refreshed || GetTickCount() - lastRefresh >= kRefreshInterval; }

    void Stamp() {
        lastRefresh = GetTickCount();
        refreshed = true;
    }

    void ShowSteps() {
        if (pendingSteps != 0) SendMessageA(bar, PBM_DELTAPOS, pendingSteps, 0);
        pendingSteps = 0;
    }

    void ShowItem(const ItemPaths& paths) {
        SetItemText(dialog, IDC_SOURCE_PATH, paths.source);
        SetItemText(dialog, IDC_DEST_PATH, paths.destination);
        ShowSteps();
        Stamp();
    }

    // True when the bar was brought up to date.
    bool Step() {
        ++pendingSteps;
        if (!Due()) return false;
        ShowSteps();
        Stamp();
        return true;
    }
};

static bool IsLongItem(ItemKind kind, int i) {
    return kind != ItemKind::File || g_setup.fileSize[i] >= kLongItemBytes;
}

// Installs one item, asking again while it fails. False when the copy is to stop: the user
// abandoned it (the dialog has been told) or confirmed a cancel (the dialog is ending).
static bool CopyItem(ProgressView& view, ItemKind kind, int i) {
    ItemPaths paths = PathsOf(kind, i);
    bool shown = view.Due() || IsLongItem(kind, i);
    if (shown) view.ShowItem(paths);
    while (InstallItem(kind, i, paths) == 0) {
        // The question is asked over the failed item's paths.
        if (!shown) view.ShowItem(paths);
        shown = true;
        // Anything but "copy again" abandons, also a failure dialog that could not be shown:
        // retrying without asking would never end.
        if (AskCopyRetry(view.dialog) != IDB_COPY_AGAIN) {
            SendMessageA(view.dialog, WM_USER, 0, 0);
            return false;
        }
    }
    if (kind == ItemKind::File && i >= g_setup.fileCount) {
        win::SetFileAttributes(paths.destination, FILE_ATTRIBUTE_READONLY);  // the two built-ins
    }
    if (view.Step() || shown) PumpMessages();
    return g_cancelFlag == 0;
}

static bool CopyList(ProgressView& view, ItemKind kind, int count) {
    for (int i = 0; i < count; ++i) {
        if (!CopyItem(view, kind, i)) return false;
    }
    return true;
}

int CopyAllFiles(HWND dialog) {
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (bar == nullptr) {
        ShowApiError("GetDlgItem");
        SendMessageA(dialog, WM_USER, 0, 0);
        return 0;
    }
    const SetupContext& c = g_setup;
    int files = c.fileCount + 2;  // the script's files and the two built-ins
    int total = files + c.dllCount + c.fontCount;
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, total));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    ProgressView view = {dialog, bar, 0, false, 0};
    if (CopyList(view, ItemKind::File, files) && CopyList(view, ItemKind::Dll, c.dllCount) &&
        CopyList(view, ItemKind::Font, c.fontCount)) {
        view.ShowSteps();  // the bar is full when the copy reports done
        SendMessageA(dialog, WM_USER + 1, 0, 0);
    }
    return 0;
}

void SetItemText(HWND dialog, int controlId, const char* text) {
    win::SetDlgItemText(dialog, controlId, text);
}

// ---- the copy primitive ----

// True when the last character of the name is "_" (a Shift-JIS trail byte may have that
// value without being one).
bool IsCompressedName(const char* name) {
    const char* last = nullptr;
    for (const char* p = name; *p != '\0';) {
        last = p;
        p += CharacterLength(p);
    }
    return last != nullptr && last[0] == '_' && last[1] == '\0';
}

// Expands an LZ-compressed source into destination and gives the result the source's
// creation time as all three of its times.
//
// Both files are opened with CreateFile, each without sharing, and the source is handed to
// LZInit. LZOpenFile would do the same through OpenFile, but OpenFile takes no path of 128
// bytes or more, and when it cannot open a destination, LZOpenFile creates a file of a
// different name (the last character replaced by "_") and reports success.
static CopyResult ExpandFile(const char* source, const char* destination, bool replace) {
    UniqueFile input(win::CreateFile(source, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!input) return CopyResult::Failed;
    UniqueFile output(win::CreateFile(destination, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  replace ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) return GetLastError() == ERROR_FILE_EXISTS ? CopyResult::Exists : CopyResult::Failed;
    bool expanded = false;
    INT expander = sys::LZInit(static_cast<INT>(HandleToLong(input.Get())));
    if (expander >= 0) {
        input.Release();  // LZClose closes the file now
        expanded = sys::LZCopy(expander, static_cast<INT>(HandleToLong(output.Get()))) >= 0;
        sys::LZClose(expander);
    }
    output.Reset();
    FILETIME created;
    if (expanded && GetFileCreationTime(source, &created)) {
        SetAllFileTimes(destination, &created);
        return CopyResult::Copied;
    }
    // A file this copy created is not left half made.
    if (!replace) win::DeleteFile(destination);
    return CopyResult::Failed;
}

CopyResult CopyInstallFileAs(const char* source, const char* destination, bool replace) {
    if (IsCompressedName(source)) {
        CopyResult result = ExpandFile(source, destination, replace);
        if (result != CopyResult::Copied) return result;
    } else if (!win::CopyFile(source, destination, replace ? FALSE : TRUE)) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return CopyResult::Exists;
        // What lies there now is this copy's broken start (a full disk leaves one on some
        // systems): it is not left for a later attempt to take for the user's file.
        if (!replace) win::DeleteFile(destination);
        return CopyResult::Failed;
    }
    win::SetFileAttributes(destination, FILE_ATTRIBUTE_NORMAL);
    NotifyShell(SHCNE_CREATE, destination);
    return CopyResult::Copied;
}

int CopyInstallFile(const char* source, const char* destination) {
    return CopyInstallFileAs(source, destination, true) == CopyResult::Copied ? 1 : 0;
}

int GetFileCreationTime(const char* path, FILETIME* time) {
    UniqueFile file(
        win::CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && GetFileTime(file.Get(), time, nullptr, nullptr) ? 1 : 0;
}

int SetAllFileTimes(const char* path, const FILETIME* time) {
    UniqueFile file(win::CreateFile(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && SetFileTime(file.Get(), time, time, time) ? 1 : 0;
}
