// The text boundary's conversions and its functions that both programs use (wintext.h).
#include "wintext.h"

#include <string.h>

#include "system.h"
#include "system_api.h"
#include "wintext_table.h"

namespace win {

namespace {

// Looked up by name with "A" or "W" appended: each row's "A" and "W" forms take the same
// arguments, but for the kind of their texts, so one pointer of the "W" type holds either.
// The companion's few first, in a table of their own; the others' in the second.
#define ZELK_BASIC_TEXT_FUNCTIONS(T)                                                          \
    T(KERNEL32, DeleteFile)                                                                   \
    T(KERNEL32, GetCommandLine)                                                               \
    T(KERNEL32, GetFileAttributes)                                                            \
    T(KERNEL32, RemoveDirectory)                                                              \
    T(KERNEL32, SetFileAttributes)

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

struct BasicTextFunctions {
    ZELK_BASIC_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

struct TextFunctions {
    ZELK_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

const SystemDll kBasicDlls[] = {ZELK_BASIC_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
const SystemDll kTextDlls[] = {ZELK_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
static_assert(sizeof(BasicTextFunctions) == sizeof kBasicDlls / sizeof kBasicDlls[0] * sizeof(FARPROC), "one pointer per row");
static_assert(sizeof(TextFunctions) == sizeof kTextDlls / sizeof kTextDlls[0] * sizeof(FARPROC), "one pointer per row");

BasicTextFunctions basicFunctions;
bool basicLookedUp;
TextFunctions textFunctions;
bool textLookedUp;

const BasicTextFunctions& BasicApi() {
    return LookedUp(basicFunctions, basicLookedUp, kBasicDlls, ZELK_BASIC_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME));
}

const TextFunctions& TextApi() {
    return LookedUp(textFunctions, textLookedUp, kTextDlls, ZELK_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME));
}

// The "A" form's text, seen through the "W" form's pointer type.
LPWSTR AsWide(char* text) { return reinterpret_cast<LPWSTR>(text); }

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

void ReadEntry(const WIN32_FIND_DATAW& found, FoundEntry* entry) {
    entry->attributes = found.dwFileAttributes;
    entry->created = found.ftCreationTime;
    entry->accessed = found.ftLastAccessTime;
    entry->written = found.ftLastWriteTime;
    entry->sizeHigh = found.nFileSizeHigh;
    entry->sizeLow = found.nFileSizeLow;
    // "." or "..": in either form the name begins with the same dots.
    const char* a = reinterpret_cast<const char*>(found.cFileName);
    const WCHAR* w = found.cFileName;
    entry->dots = IsWide() ? (w[0] == '.' && (w[1] == 0 || (w[1] == '.' && w[2] == 0)))
                           : (a[0] == '.' && (a[1] == 0 || (a[1] == '.' && a[2] == 0)));
}

bool IsStringValue(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

DWORD GiveText(char* out, DWORD size, FillText fill, const void* context) {
    if (!IsWide()) return fill(AsWide(out), size, context);
    WideBuffer wide(size);
    DWORD length = wide.Get() != nullptr ? fill(wide.Get(), size, context) : 0;
    if (length == 0 || length >= size) return length;
    int written = ToShiftJis(wide.Get(), static_cast<int>(length), out, static_cast<int>(size));
    return written > 0 ? static_cast<DWORD>(written) : 0;
}

// The version's high bit is clear on the NT family alone; asked of the system each time, as
// cheap as a cached answer, and the companion needs nothing else of the version. One call
// for the many places that ask.
__attribute__((noinline)) bool IsWide() { return static_cast<LONG>(GetVersion()) >= 0; }

void FindTextFunctions(const SystemDll* dlls, const char* names, void* functions, int count) {
    FindSystemFunctions(dlls, names, functions, count, IsWide() ? 'W' : 'A');
}

void Text::Reset(const char* text) {
    if (owned_ != nullptr) HeapFree(GetProcessHeap(), 0, owned_);
    owned_ = nullptr;
    ok_ = true;
    text_ = reinterpret_cast<LPCWSTR>(text);
    if (!IsWide() || text == nullptr || IS_INTRESOURCE(text)) return;
    // Each byte of Shift-JIS becomes one UTF-16 unit at most: room for as many, and its zero.
    int count = lstrlenA(text) + 1;
    owned_ = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(WCHAR)));
    ok_ = owned_ != nullptr && MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text, -1, owned_, count) > 0;
    text_ = owned_;
    if (!ok_) SetLastError(ERROR_NO_UNICODE_TRANSLATION);
}

WideBuffer::WideBuffer(DWORD count)
    : text_(static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(WCHAR)))) {}

WideBuffer::~WideBuffer() {
    if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_);
}

Name::Name(const char* text) : text_(reinterpret_cast<LPCWSTR>(text)) {
    if (!IsWide() || text == nullptr || IS_INTRESOURCE(text)) return;
    ok_ = ToUtf16(text, wide_, MAX_PATH);
    text_ = wide_;
}

Text::~Text() {
    if (owned_ != nullptr) HeapFree(GetProcessHeap(), 0, owned_);
}

int ToShiftJis(const WCHAR* text, int length, char* out, int size) {
    if (length < 0) for (length = 0; text[length] != 0;) ++length;
    out[0] = '\0';
    int written = length > 0 ? WideCharToMultiByte(kShiftJis, 0, text, length, out, size - 1, nullptr, nullptr) : 0;
    if (written == 0 && length > 0) return -1;  // the system's error: no room, or no such text
    out[written] = '\0';
    // Converted back and compared: a character without a Shift-JIS form comes out as another
    // (the default character, or one that looks alike), and a name would then name another.
    WideBuffer back(static_cast<DWORD>(length) + 1);
    bool same = back.Get() != nullptr && MultiByteToWideChar(kShiftJis, 0, out, written, back.Get(), length) == length;
    for (int i = 0; same && i < length; ++i) same = back.Get()[i] == text[i];
    if (same) return written;
    out[0] = '\0';
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return -1;
}

bool ToUtf16(const char* text, WCHAR* out, int size) {
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text, -1, out, size) > 0;
}

}  // namespace win

namespace win {

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

BOOL DeleteFile(const char* path) {
    Name text(path);
    return text.Ok() && BasicApi().DeleteFile(text);
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

BOOL RemoveDirectory(const char* path) {
    Name text(path);
    return text.Ok() && BasicApi().RemoveDirectory(text);
}

DWORD GetFileAttributes(const char* path) {
    Name text(path);
    return text.Ok() ? BasicApi().GetFileAttributes(text) : INVALID_FILE_ATTRIBUTES;
}

BOOL SetFileAttributes(const char* path, DWORD attributes) {
    Name text(path);
    return text.Ok() && BasicApi().SetFileAttributes(text, attributes);
}

UINT GetDriveType(const char* root) {
    Name text(root);
    return text.Ok() ? TextApi().GetDriveType(text) : DRIVE_UNKNOWN;
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

// ---- Processes ----

const char* GetCommandLine() {
    static char* line;
    if (line != nullptr) return line;
    LPWSTR wide = BasicApi().GetCommandLine();
    if (!IsWide()) return line = reinterpret_cast<char*>(wide);
    int length = 0;
    while (wide[length] != 0) ++length;
    int size = 2 * length + 1;  // each UTF-16 unit is at most two bytes of Shift-JIS
    line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    static char empty[1];
    if (line == nullptr || ToShiftJis(wide, length, line, size) < 0) line = empty;
    return line;
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
    Name text(file);
    return text.Ok() && TextApi().RemoveFontResource(text);
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

ZELK_OUT_OF_LINE HWND CreateDialogAsIs(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure,
                                       LPARAM param) {
    Name name(dialog);
    return name.Ok() ? TextApi().CreateDialogParam(instance, name, owner, procedure, param) : nullptr;
}

// ---- The shell ----

BOOL SHGetPathFromIDList(LPCITEMIDLIST item, char* out) {
    if (TextApi().SHGetPathFromIDList == nullptr) return FALSE;
    FillText fill = [](LPWSTR buffer, DWORD, const void* item) -> DWORD {
        return TextApi().SHGetPathFromIDList(static_cast<LPCITEMIDLIST>(item), buffer) ? Length(buffer) : 0;
    };
    return GiveText(out, MAX_PATH, fill, item) != 0 && out[0] != '\0';
}

void NotifyShell(LONG event, const char* path) {
    Name text(path);
    if (text.Ok() && SystemApi().SHChangeNotify) {
        SystemApi().SHChangeNotify(event, IsWide() ? SHCNF_PATHW : SHCNF_PATHA, static_cast<LPCWSTR>(text), nullptr);
    }
}

}  // namespace win
