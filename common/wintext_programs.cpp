// The text boundary's calls that setup and unZELK make, and the companion does not
// (wintext.h).
#include "wintext.h"

#include <stddef.h>
#include <string.h>

#include "system_api.h"
#include "wintext_table.h"

namespace win {

namespace {

// Looked up by name with "A" or "W" appended (wintext_table.h).
#define ZELK_TEXT_FUNCTIONS(T)                                                                \
    T(ADVAPI32, RegDeleteKey)                                                                 \
    T(ADVAPI32, RegDeleteValue)                                                               \
    T(ADVAPI32, RegEnumKey)                                                                   \
    T(ADVAPI32, RegOpenKeyEx)                                                                 \
    T(ADVAPI32, RegQueryValueEx)                                                              \
    T(ADVAPI32, RegSetValueEx)                                                                \
    T(GDI32, RemoveFontResource)                                                              \
    T(KERNEL32, CopyFile)                                                                     \
    T(KERNEL32, CreateFile)                                                                   \
    T(KERNEL32, CreateProcess)                                                                \
    T(KERNEL32, FindFirstFile)                                                                \
    T(KERNEL32, FindNextFile)                                                                 \
    T(KERNEL32, GetDriveType)                                                                 \
    T(KERNEL32, GetModuleFileName)                                                            \
    T(KERNEL32, GetSystemDirectory)                                                           \
    T(KERNEL32, GetSystemWow64Directory)                                                      \
    T(KERNEL32, GetWindowsDirectory)                                                          \
    T(KERNEL32, lstrcmpi)                                                                     \
    T(KERNEL32, MoveFileEx)                                                                   \
    T(SHELL32, SHGetPathFromIDList)                                                           \
    T(USER32, CreateDialogParam)                                                              \
    T(USER32, LoadString)                                                                     \
    T(USER32, MessageBox)

struct TextFunctions {
    ZELK_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

const SystemDll kTextDlls[] = {ZELK_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
static_assert(sizeof(TextFunctions) == sizeof kTextDlls / sizeof kTextDlls[0] * sizeof(FARPROC), "one pointer per row");

TextFunctions textFunctions;
const TextTableLookUp textLookUp(kTextDlls, ZELK_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &textFunctions,
                                 sizeof textFunctions / sizeof(FARPROC));

const TextFunctions& TextApi() { return textFunctions; }

// The folders the system names by a call of the form (buffer, capacity).
using FolderFunction = UINT(WINAPI*)(LPWSTR, UINT);

DWORD FillFolder(LPWSTR buffer, DWORD capacity, const void* function) {
    return (*static_cast<const FolderFunction*>(function))(buffer, capacity);
}

// The length of a text a fill function was given back, in either kind of text.
DWORD Length(LPCWSTR text) {
    if (!IsWide()) return static_cast<DWORD>(lstrlenA(reinterpret_cast<const char*>(text)));
    DWORD length = 0;
    while (text[length] != 0) ++length;
    return length;
}

// The entry's fields open both forms of the search's data, in the same order and places.
constexpr size_t kSharedFields = offsetof(WIN32_FIND_DATAW, dwReserved0);
static_assert(offsetof(FoundEntry, dots) == kSharedFields && offsetof(FoundEntry, sizeLow) ==
                  offsetof(WIN32_FIND_DATAA, nFileSizeLow), "the search's fields in their places");

void ReadEntry(const WIN32_FIND_DATAW& found, FoundEntry* entry) {
    memcpy(entry, &found, kSharedFields);
    // "." or "..": in either form the name begins with the same dots.
    const char* a = reinterpret_cast<const char*>(found.cFileName);
    const WCHAR* w = found.cFileName;
    entry->dots = IsWide() ? (w[0] == '.' && (w[1] == 0 || (w[1] == '.' && w[2] == 0)))
                           : (a[0] == '.' && (a[1] == 0 || (a[1] == '.' && a[2] == 0)));
}

bool IsStringValue(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

ZELK_OUT_OF_LINE bool SameName(const char* a, const char* b) {
    Name first(a);
    Name second(b);
    return first.Ok() && second.Ok() && TextApi().lstrcmpi(first, second) == 0;
}

// ---- Files and folders ----

HANDLE CreateFile(const char* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                  DWORD disposition, DWORD flags, HANDLE model) {
    Name text(path);
    return text.Ok() ? TextApi().CreateFile(text, access, share, security, disposition, flags, model) : INVALID_HANDLE_VALUE;
}

ZELK_OUT_OF_LINE BOOL CopyFile(const char* from, const char* to, BOOL failIfExists) {
    Name source(from);
    Name target(to);
    return source.Ok() && target.Ok() && TextApi().CopyFile(source, target, failIfExists);
}

ZELK_OUT_OF_LINE BOOL MoveFileEx(const char* from, const char* to, DWORD flags) {
    Name source(from);
    Name target(to);
    return source.Ok() && target.Ok() && TextApi().MoveFileEx(source, target, flags);
}

UINT GetDriveType(const char* root) {
    return CallWithName(AsNameFunction(TextApi().GetDriveType), root, DRIVE_UNKNOWN);
}

DWORD GetModuleFileName(HMODULE module, char* out, DWORD size) {
    FillText fill = [](LPWSTR buffer, DWORD capacity, const void* module) {
        return TextApi().GetModuleFileName(static_cast<HMODULE>(const_cast<void*>(module)), buffer, capacity);
    };
    return GiveText(out, size, fill, module);
}

UINT GetWindowsDirectory(char* out, UINT size) { return GiveText(out, size, FillFolder, &TextApi().GetWindowsDirectory); }

UINT GetSystemDirectory(char* out, UINT size) { return GiveText(out, size, FillFolder, &TextApi().GetSystemDirectory); }

UINT GetSystemWow64Directory(char* out, UINT size) {
    if (TextApi().GetSystemWow64Directory == nullptr) return 0;
    return GiveText(out, size, FillFolder, &TextApi().GetSystemWow64Directory);
}

HANDLE FindFirstFile(const char* pattern, FoundEntry* entry) {
    Name text(pattern);
    WIN32_FIND_DATAW found;  // the larger of the two forms
    HANDLE search = text.Ok() ? TextApi().FindFirstFile(text, &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) ReadEntry(found, entry);
    return search;
}

BOOL FindNextFile(HANDLE search, FoundEntry* entry) {
    WIN32_FIND_DATAW found;
    if (!TextApi().FindNextFile(search, &found)) return FALSE;
    ReadEntry(found, entry);
    return TRUE;
}

void ListFolder(const char* pattern, ListedEntry listed, void* context) {
    Name text(pattern);
    WIN32_FIND_DATAW found;
    HANDLE search = text.Ok() ? TextApi().FindFirstFile(text, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        FoundEntry entry;
        ReadEntry(found, &entry);
        // Windows 95's name is Shift-JIS already (its code page is 932), where the names
        // of both forms begin.
        char converted[MAX_PATH];
        const char* name = reinterpret_cast<const char*>(found.cFileName);
        if (IsWide()) {
            ToShiftJis(found.cFileName, -1, converted, sizeof converted);  // empty when it cannot
            name = converted;
        }
        listed(name, entry, context);
    } while (TextApi().FindNextFile(search, &found));
    FindClose(search);
}

ZELK_OUT_OF_LINE BOOL CreateProcess(const char* program, char* commandLine, const char* folder, STARTUPINFOA* startup,
                   PROCESS_INFORMATION* process) {
    Name path(program);
    Text line(commandLine);
    Name current(folder);
    // The "W" form may write into its command line: the converted one is this call's own.
    return path.Ok() && line.Ok() && current.Ok() &&
           TextApi().CreateProcess(path, const_cast<LPWSTR>(line.Get()), nullptr, nullptr, FALSE, 0, nullptr, current,
                               reinterpret_cast<STARTUPINFOW*>(startup), process);
}

// ---- Registry ----

LONG RegOpenKeyEx(HKEY root, const char* key, DWORD options, REGSAM access, HKEY* opened) {
    Name text(key);
    return text.Ok() ? TextApi().RegOpenKeyEx(root, text, options, access, opened) : ERROR_NO_UNICODE_TRANSLATION;
}

LONG RegDeleteKey(HKEY root, const char* key) {
    Name text(key);
    return text.Ok() ? TextApi().RegDeleteKey(root, text) : ERROR_NO_UNICODE_TRANSLATION;
}

LONG RegDeleteValue(HKEY key, const char* name) {
    Name text(name);
    return text.Ok() ? TextApi().RegDeleteValue(key, text) : ERROR_NO_UNICODE_TRANSLATION;
}

LONG RegEnumKey(HKEY key, DWORD index, char* out, DWORD size) {
    struct Enumeration {
        HKEY key;
        DWORD index;
        LONG result;
    } enumeration = {key, index, ERROR_SUCCESS};
    FillText fill = [](LPWSTR buffer, DWORD capacity, const void* context) -> DWORD {
        auto* asked = static_cast<Enumeration*>(const_cast<void*>(context));
        asked->result = TextApi().RegEnumKey(asked->key, asked->index, buffer, capacity);
        return asked->result == ERROR_SUCCESS ? Length(buffer) : 0;
    };
    GiveText(out, size, fill, &enumeration);
    LONG result = enumeration.result;
    if (result == ERROR_SUCCESS && out[0] == '\0') result = ERROR_NO_UNICODE_TRANSLATION;  // a name has letters
    return result;
}

LONG RegQueryRawValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    Name text(name);
    return text.Ok() ? TextApi().RegQueryValueEx(key, text, nullptr, type, data, size) : ERROR_NO_UNICODE_TRANSLATION;
}

LONG RegSetRawValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    Name text(name);
    return text.Ok() ? TextApi().RegSetValueEx(key, text, 0, type, data, size) : ERROR_NO_UNICODE_TRANSLATION;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    DWORD kind = REG_NONE;
    DWORD asked = data != nullptr ? *size : 0;
    LONG result = RegQueryRawValue(key, name, &kind, nullptr, size);
    if (type != nullptr) *type = kind;
    if (result != ERROR_SUCCESS || !IsWide() || !IsStringValue(kind)) {
        if (result != ERROR_SUCCESS || data == nullptr) return result;
        *size = asked;  // the caller's buffer, not the value's size that the first query gave
        return RegQueryRawValue(key, name, type, data, size);
    }
    // A string value: read as UTF-16, given as Shift-JIS of at most as many bytes, zeros kept.
    DWORD wideSize = *size;
    WideBuffer wide(wideSize / sizeof(WCHAR) + 1);
    if (wide.Get() == nullptr) return ERROR_OUTOFMEMORY;
    result = RegQueryRawValue(key, name, &kind, reinterpret_cast<BYTE*>(wide.Get()), &wideSize);
    if (result != ERROR_SUCCESS) return result;
    if (data == nullptr) return ERROR_SUCCESS;  // *size: UTF-16's bytes, never fewer than Shift-JIS's
    // The strings and their zeros converted as one; a character without its Shift-JIS form
    // is refused, and a value that does not fit is more data, as the system says it. The
    // value's last zero is the one the conversion adds: a value that fills the buffer with
    // its zero fits.
    int units = static_cast<int>(wideSize / sizeof(WCHAR));
    bool ended = units > 0 && wide.Get()[units - 1] == 0;
    int written = ToShiftJis(wide.Get(), units - ended, reinterpret_cast<char*>(data), static_cast<int>(asked));
    if (written < 0) {
        return GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? ERROR_NO_UNICODE_TRANSLATION : ERROR_MORE_DATA;
    }
    *size = static_cast<DWORD>(written + ended);
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    if (!IsWide() || !IsStringValue(type)) return RegSetRawValue(key, name, type, data, size);
    int units = size > 0 ? MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(data),
                                               static_cast<int>(size), nullptr, 0)
                         : 0;
    if (size > 0 && units == 0) return ERROR_NO_UNICODE_TRANSLATION;
    WideBuffer wide(static_cast<DWORD>(units) + 1);
    if (wide.Get() == nullptr) return ERROR_OUTOFMEMORY;
    if (units > 0) MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), wide.Get(), units);
    return RegSetRawValue(key, name, type, reinterpret_cast<const BYTE*>(wide.Get()), units * sizeof(WCHAR));
}

// ---- Fonts ----

BOOL RemoveFontResource(const char* file) {
    return CallWithName(AsNameFunction(TextApi().RemoveFontResource), file, FALSE);
}

// ---- Windows and dialogs ----

int LoadString(UINT id, char* out, int size) {
    out[0] = '\0';
    FillText fill = [](LPWSTR buffer, DWORD capacity, const void* id) -> DWORD {
        return static_cast<DWORD>(TextApi().LoadString(GetModuleHandleA(nullptr), static_cast<UINT>(reinterpret_cast<UINT_PTR>(id)),
                                                       buffer, static_cast<int>(capacity)));
    };
    DWORD length = GiveText(out, static_cast<DWORD>(size), fill, reinterpret_cast<const void*>(static_cast<UINT_PTR>(id)));
    // A text that filled the buffer was cut by the system: none rather than a part.
    if (length + 1 >= static_cast<DWORD>(size)) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<int>(length);
}

int WINAPI MessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    Text message(text);
    Text title(caption);
    return message.Ok() && title.Ok() ? TextApi().MessageBox(owner, message, title, style) : 0;
}

HWND CreateDialogAsIs(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param) {
    if (!IS_INTRESOURCE(dialog)) {  // a number crosses as it is; the programs name no dialog
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return TextApi().CreateDialogParam(instance, reinterpret_cast<LPCWSTR>(dialog), owner, procedure, param);
}

// ---- The shell ----

BOOL SHGetPathFromIDList(LPCITEMIDLIST item, char* out) {
    if (TextApi().SHGetPathFromIDList == nullptr) return FALSE;
    FillText fill = [](LPWSTR buffer, DWORD, const void* item) -> DWORD {
        return TextApi().SHGetPathFromIDList(static_cast<LPCITEMIDLIST>(item), buffer) ? Length(buffer) : 0;
    };
    return GiveText(out, MAX_PATH, fill, item) != 0 && out[0] != '\0';
}

}  // namespace win
