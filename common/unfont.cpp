// Removal of fonts: the user is asked about each font file that is present; a failing step
// offers Abort, Retry and Ignore.
#include "uninst.h"

#include "ids.h"
#include "system.h"
#include "textsub.h"
#include "wintext.h"

namespace {

// Repeats action on name while it fails and the user answers Retry. 1 when it succeeded at
// once, else the last button pressed (IDRETRY after a retry that succeeded; 0 when the box
// fails).
int RetryWhileFailing(HWND owner, const char* caption, UINT formatId, BOOL (*action)(const char*), const char* name) {
    int result = 1;
    while (!action(name)) {
        char format[64];
        char text[256];
        DWORD error = GetLastError();
        wsprintfA(text, LoadText(formatId, format, sizeof format), static_cast<unsigned>(error));
        result = g_messageBox(owner, text, caption, MB_ICONERROR | MB_ABORTRETRYIGNORE);
        if (result != IDRETRY) break;
    }
    return result;
}

bool Stopped(int result) { return result == 0 || result == IDABORT; }

bool AskToRemove(HWND owner, const char* caption, const char* path) {
    char format[128];
    char text[kPathSize + 128];
    wsprintfA(text, LoadText(IDS_ASK_SHARED_FONT, format, sizeof format), path);
    return g_messageBox(owner, text, caption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

// True when name occurs in the bytes of text, ASCII letters compared without case.
bool ContainsName(const char* text, DWORD length, const char* name) {
    DWORD nameLength = static_cast<DWORD>(lstrlenA(name));
    if (nameLength == 0) return false;
    for (DWORD at = 0; at + nameLength <= length; ++at) {
        DWORD i = 0;
        while (i < nameLength && UpperAscii(text[at + i]) == UpperAscii(name[i])) ++i;
        if (i == nameLength) return true;
    }
    return false;
}

// Windows NT: the ".fot" resource and its file when they are this font's (another font's
// resource file of the same name stays), the font file, the Fonts registry value.
int RemoveFontNT(HWND owner, const char* caption, const char* fotPath, const char* fileName,
                 const char* path, const char* valueName) {
    bool foreign = FileExists(fotPath) && !FotBelongsToFont(fotPath, fileName);
    if (!foreign) {
        if (Stopped(RemoveFontResourceRetry(owner, caption, fotPath))) return 0;
        if (Stopped(DeleteFontFileRetry(owner, caption, fotPath))) return 0;
    }
    if (Stopped(DeleteFontFileRetry(owner, caption, path))) return 0;
    // A missing value name would name the key's default value instead.
    if (valueName == nullptr) return 0;
    HKEY key;
    if (win::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return 0;
    LONG deleted = win::RegDeleteValue(key, valueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS ? 1 : 0;
}

// Windows 95: the font resource by its bare file name, then the font file.
int RemoveFont95(HWND owner, const char* caption, const char* fileName, const char* path) {
    if (Stopped(RemoveFontResourceRetry(owner, caption, fileName))) return 0;
    if (Stopped(DeleteFontFileRetry(owner, caption, path))) return 0;
    return 1;
}

}  // namespace

// A resource file is small: it names its font file in its first few hundred bytes. The
// block is static: the programs' stack frames stay below a page (cmake/windows.cmake).
bool FotBelongsToFont(const char* fotPath, const char* fontFileName) {
    HANDLE file = win::CreateFile(fotPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    static char text[4096];
    DWORD length = 0;
    BOOL read = ReadFile(file, text, sizeof text, &length, nullptr);
    CloseHandle(file);
    return read && ContainsName(text, length, fontFileName);
}

int RemoveFontResourceRetry(HWND owner, const char* caption, const char* name) {
    return RetryWhileFailing(owner, caption, IDS_FONT_RESOURCE_FAILED, win::RemoveFontResource, name);
}

int DeleteFontFileRetry(HWND owner, const char* caption, const char* path) {
    if (!FileExists(path)) return 1;
    return RetryWhileFailing(owner, caption, IDS_FONT_FILE_FAILED, win::DeleteFile, path);
}

int RemoveFont(HWND owner, const char* caption, const char* fontsDir, const char* fileName,
               const char* valueName) {
    // Paths that do not fit are not shortened into another file's name: nothing is done.
    char path[kPathSize];
    if (fileName == nullptr || !JoinPath(path, fontsDir, fileName) || !FileExists(path)) return 1;
    bool nt = IsWindowsNT();
    char fotName[kPathSize];
    char fotPath[kPathSize];
    if (nt && (!ReplaceExtension(fotName, fileName, ".fot") || !JoinPath(fotPath, fontsDir, fotName))) {
        return 1;
    }
    if (!AskToRemove(owner, caption, path)) return 1;
    int result = nt ? RemoveFontNT(owner, caption, fotPath, fileName, path, valueName)
                    : RemoveFont95(owner, caption, fileName, path);
    if (result == 1) BroadcastFontChange();
    return result;
}
