// The text boundary's conversions and the calls that all three programs make (wintext.h);
// the calls of setup and unZELK alone are in wintext_programs.cpp, so that the companion
// carries neither their code nor their table.
#include "wintext.h"

#include <string.h>

#include "system.h"
#include "system_api.h"
#include "wintext_table.h"

namespace win {

namespace {

// Looked up by name with "A" or "W" appended: each row's "A" and "W" forms take the same
// arguments, but for the kind of their texts, so one pointer of the "W" type holds either.
// The companion's few.
#define ZELK_BASIC_TEXT_FUNCTIONS(T)                                                          \
    T(KERNEL32, DeleteFile)                                                                   \
    T(KERNEL32, GetCommandLine)                                                               \
    T(KERNEL32, GetFileAttributes)                                                            \
    T(KERNEL32, RemoveDirectory)                                                              \
    T(KERNEL32, SetFileAttributes)

struct BasicTextFunctions {
    ZELK_BASIC_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

const SystemDll kBasicDlls[] = {ZELK_BASIC_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
static_assert(sizeof(BasicTextFunctions) == sizeof kBasicDlls / sizeof kBasicDlls[0] * sizeof(FARPROC), "one pointer per row");

BasicTextFunctions basicFunctions;
const TextTableLookUp basicLookUp(kBasicDlls, ZELK_BASIC_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &basicFunctions,
                                  sizeof basicFunctions / sizeof(FARPROC));

const BasicTextFunctions& BasicApi() { return basicFunctions; }

// The shell's change notice takes a path of either kind, as it is told: a row of its own,
// as it has no "A" and "W" forms. Looked up at the first notice: the companion loads the
// shell, and all it loads in turn, only once it has removed a folder.
#define ZELK_NOTICE_FUNCTIONS(X)                                                              \
    X(SHELL32, SHChangeNotify)

struct NoticeFunctions {
    ZELK_NOTICE_FUNCTIONS(ZELK_SYSTEM_FUNCTION_FIELD)
};

const SystemDll kNoticeDlls[] = {ZELK_NOTICE_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
NoticeFunctions noticeFunctions;

// The "A" form's text, seen through the "W" form's pointer type.
LPWSTR AsWide(char* text) { return reinterpret_cast<LPWSTR>(text); }

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

void Text::Reset(const char* text) {
    if (owned_ != nullptr) HeapFree(GetProcessHeap(), 0, owned_);
    owned_ = nullptr;
    ok_ = true;
    text_ = reinterpret_cast<LPCWSTR>(text);
    if (!IsWide() || text == nullptr || IS_INTRESOURCE(text)) return;
    // Each byte of Shift-JIS becomes one UTF-16 unit at most: room for as many, and its zero.
    int count = static_cast<int>(strlen(text)) + 1;
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

ZELK_OUT_OF_LINE DWORD CallWithName(NameFunction function, const char* name, DWORD failure) {
    Name text(name);
    return text.Ok() ? function(text) : failure;
}

// ---- Files and folders ----

BOOL DeleteFile(const char* path) { return CallWithName(AsNameFunction(BasicApi().DeleteFile), path, FALSE); }

BOOL RemoveDirectory(const char* path) {
    return CallWithName(AsNameFunction(BasicApi().RemoveDirectory), path, FALSE);
}

DWORD GetFileAttributes(const char* path) {
    return CallWithName(AsNameFunction(BasicApi().GetFileAttributes), path, INVALID_FILE_ATTRIBUTES);
}

BOOL SetFileAttributes(const char* path, DWORD attributes) {
    Name text(path);
    return text.Ok() && BasicApi().SetFileAttributes(text, attributes);
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

// ---- The shell ----

void NotifyShell(LONG event, const char* path) {
    if (noticeFunctions.SHChangeNotify == nullptr) {  // looked up again only where the system has none
        FindSystemFunctions(kNoticeDlls, ZELK_NOTICE_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &noticeFunctions, 1);
    }
    Name text(path);
    if (text.Ok() && noticeFunctions.SHChangeNotify) {
        noticeFunctions.SHChangeNotify(event, IsWide() ? SHCNF_PATHW : SHCNF_PATHA, static_cast<LPCWSTR>(text), nullptr);
    }
}

}  // namespace win
