// Platform tests and file tests shared by setup and unZELK.
#include "system.h"

#include "ids.h"
#include "textsub.h"
#include "wintext.h"

MessageBoxFunction g_messageBox = win::MessageBox;

const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// The question the text boundary asks too, answered in one place.
bool IsWindowsNT() { return win::IsWide(); }

void ShowApiError(const char* name) {
    char caption[32];
    if (name != nullptr) g_messageBox(nullptr, name, LoadText(IDS_API_ERROR, caption, sizeof caption), MB_OK);
}

char* LoadText(UINT id, char* out, int size) {
    win::LoadString(id, out, size);
    return out;
}

bool RefuseForeignWindows95() {
    if (IsWindowsNT() || GetACP() == 932) return false;
    g_messageBox(nullptr, "This program needs Japanese Windows to show its texts. Nothing was changed.",
                 "ZELK", MB_OK | MB_ICONSTOP);
    return true;
}

bool IsValidDrive(const char* path) {
    char root[4];
    if (path == nullptr || GetDriveRoot(root, path) != 0) return false;
    UINT type = win::GetDriveType(root);
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

// Finds the first entry matching path; its attributes in *attributes. The search handle is
// closed at once.
static bool FindEntry(const char* path, DWORD* attributes) {
    if (!IsValidDrive(path)) return false;
    win::FoundEntry entry;
    HANDLE search = win::FindFirstFile(path, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    if (!FindClose(search)) ShowApiError("FindClose");
    *attributes = entry.attributes;
    return true;
}

bool FileExists(const char* path) {
    DWORD attributes;
    return FindEntry(path, &attributes) && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderIsEmpty(const char* folder) {
    char pattern[kPathSize];
    if (!JoinPath(pattern, folder, "*")) return false;
    win::FoundEntry entry;
    HANDLE search = win::FindFirstFile(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool empty = true;
    do {
        empty = entry.dots;
    } while (empty && win::FindNextFile(search, &entry));
    FindClose(search);
    return empty;
}

bool DirectoryExists(const char* path) {
    if (!IsValidDrive(path)) return false;
    if (lstrlenA(path) == 2) return true;  // a bare drive such as "C:"
    DWORD attributes;
    return FindEntry(path, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void BroadcastFontChange() {
    DWORD_PTR result;
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
}

void DeleteAnyFile(const char* path) {
    win::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    win::DeleteFile(path);
}
