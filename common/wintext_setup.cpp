// The text boundary's functions that setup.exe alone uses (wintext.h): its windows and
// painting, the wizard and the browse dialog, fonts, version resources, the temporary folder.
#include <string.h>

#include "wintext.h"
#include "wintext_table.h"

// Rows of the table below, which this file alone calls: no "A" form unawares.
#undef CreateDialogIndirectParam
#undef DialogBoxIndirectParam
#undef FindResource
#undef GetTextFace

namespace win {

namespace {

#define ZELK_SETUP_TEXT_FUNCTIONS(T)                                                          \
    T(ADVAPI32, RegCreateKeyEx)                                                               \
    T(COMCTL32, PropertySheet)                                                                \
    T(GDI32, AddFontResource)                                                                 \
    T(GDI32, CreateFont)                                                                      \
    T(GDI32, CreateScalableFontResource)                                                      \
    T(GDI32, GetTextExtentPoint32)                                                            \
    T(GDI32, GetTextFace)                                                                     \
    T(GDI32, TextOut)                                                                         \
    T(KERNEL32, CreateDirectory)                                                              \
    T(KERNEL32, FindResource)                                                                 \
    T(KERNEL32, GetCurrentDirectory)                                                          \
    T(KERNEL32, GetDiskFreeSpace)                                                             \
    T(KERNEL32, GetDiskFreeSpaceEx)                                                           \
    T(KERNEL32, GetTempFileName)                                                              \
    T(KERNEL32, GetTempPath)                                                                  \
    T(KERNEL32, MoveFile)                                                                     \
    T(KERNEL32, SetCurrentDirectory)                                                          \
    T(SHELL32, SHBrowseForFolder)                                                             \
    T(USER32, CreateDialogIndirectParam)                                                      \
    T(USER32, CreateWindowEx)                                                                 \
    T(USER32, DefWindowProc)                                                                  \
    T(USER32, DialogBoxIndirectParam)                                                         \
    T(USER32, DialogBoxParam)                                                                 \
    T(USER32, GetDlgItemText)                                                                 \
    T(USER32, RegisterClass)                                                                  \
    T(USER32, RegisterClassEx)                                                                \
    T(USER32, SendMessage)                                                                    \
    T(USER32, SetDlgItemText)                                                                 \
    T(USER32, SetWindowText)                                                                  \
    T(VERSION, GetFileVersionInfo)                                                            \
    T(VERSION, GetFileVersionInfoSize)                                                        \
    T(VERSION, VerQueryValue)

struct SetupTextFunctions {
    ZELK_SETUP_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

const SystemDll kSetupDlls[] = {ZELK_SETUP_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
static_assert(sizeof(SetupTextFunctions) == sizeof kSetupDlls / sizeof kSetupDlls[0] * sizeof(FARPROC),
              "one pointer per row");

SetupTextFunctions setupFunctions;
const TextTableLookUp setupLookUp(kSetupDlls, ZELK_SETUP_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &setupFunctions,
                                  sizeof setupFunctions / sizeof(FARPROC));

const SetupTextFunctions& SetupTextApi() { return setupFunctions; }

// Calls call(text, length) with the first length bytes of text in the form the call takes.
template <typename Call>
BOOL WithPart(const char* text, int length, Call call) {
    char* part = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (part == nullptr) return FALSE;
    memcpy(part, text, length);
    part[length] = '\0';
    Text form(part);
    int units = 0;
    if (IsWide()) {
        while (form.Ok() && form.Get()[units] != 0) ++units;
    } else {
        units = length;
    }
    BOOL done = form.Ok() && call(form.Get(), units);
    HeapFree(GetProcessHeap(), 0, part);
    return done;
}

constexpr UINT kMaxPages = 8;

// ---- The dialogs' face ----
// The face the dialog templates name, and the face shown where a system lacks it. The
// first is among the optional Japanese fonts of a current Windows of another language; the
// second is a base font of every language's.
const WCHAR kTemplateFace[] = L"\xFF2D\xFF33 \xFF30\x660E\x671D";            // "ＭＳ Ｐ明朝"
const WCHAR kStandInFace[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // "ＭＳ Ｐゴシック"
constexpr DWORD kTemplateFaceUnits = sizeof kTemplateFace / sizeof(WCHAR);  // with the zero

// True when text begins with the templates' face and its zero.
bool IsTemplateFace(const WCHAR* text) {
    for (DWORD i = 0; i < kTemplateFaceUnits; ++i) {
        if (text[i] != kTemplateFace[i]) return false;
    }
    return true;
}

// True when the font the system makes for the templates' face is of another face: the
// mapper found no such font. Asked once.
bool TemplateFaceMissing() {
    static int missing = -1;  // not asked yet
    if (missing >= 0) return missing != 0;
    WCHAR face[LF_FACESIZE] = {};
    HFONT font = SetupTextApi().CreateFont(0, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                           kTemplateFace);
    HDC screen = CreateCompatibleDC(nullptr);
    if (font != nullptr && screen != nullptr) {
        HGDIOBJ old = SelectObject(screen, font);
        if (SetupTextApi().GetTextFace(screen, LF_FACESIZE, face) > 0) {
            missing = IsTemplateFace(face) ? 0 : 1;
        }
        SelectObject(screen, old);
    }
    if (screen != nullptr) DeleteDC(screen);
    if (font != nullptr) DeleteObject(font);
    return missing > 0;  // not known: shown as it is
}

// Where the face of a DIALOG template of count UTF-16 units begins (past the header, the
// menu, the class, the title and the point size); 0 where it has no face or its fields run
// past its end. A DIALOGEX template begins 1, 0xFFFF: its fields lie elsewhere.
DWORD FaceAt(const WCHAR* units, DWORD count) {
    constexpr DWORD kHeaderUnits = 9;  // style, extended style, count of controls, x, y, cx, cy
    if (count <= kHeaderUnits || units[1] == 0xFFFF) return 0;
    if (!(reinterpret_cast<const DLGTEMPLATE*>(units)->style & DS_SETFONT)) return 0;
    DWORD at = kHeaderUnits;
    for (int field = 0; field < 3 && at < count; ++field) {  // the menu and the class may be numbers
        if (field < 2 && units[at] == 0xFFFF) {
            at += 2;
            continue;
        }
        while (at < count && units[at] != 0) ++at;
        ++at;
    }
    return at + 1 < count ? at + 1 : 0;
}

DWORD DwordUp(DWORD bytes) { return (bytes + 3) & ~DWORD(3); }

}  // namespace

DLGTEMPLATE* CopyWithStandInFace(const void* dialog, DWORD size) {
    const auto* units = static_cast<const WCHAR*>(dialog);
    DWORD face = FaceAt(units, size / sizeof(WCHAR));
    if (face == 0 || size / sizeof(WCHAR) - face < kTemplateFaceUnits || !IsTemplateFace(units + face)) return nullptr;
    // The controls begin at the first DWORD boundary after the face: in the copy, after the new one.
    DWORD faceStart = face * sizeof(WCHAR);
    DWORD controls = DwordUp(faceStart + sizeof kTemplateFace);
    DWORD moved = DwordUp(faceStart + sizeof kStandInFace);
    DWORD rest = size > controls ? size - controls : 0;
    auto* copy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, moved + rest));
    if (copy == nullptr) return nullptr;
    memcpy(copy, dialog, faceStart);
    memcpy(copy + faceStart, kStandInFace, sizeof kStandInFace);
    memcpy(copy + moved, static_cast<const BYTE*>(dialog) + controls, rest);
    return reinterpret_cast<DLGTEMPLATE*>(copy);
}

namespace {

// The program's dialog template number dialog with the stand-in face, where the system is of
// the NT family and lacks the templates' face; null where the template is shown as it is
// (Windows 95 refuses to run unless Japanese, which has the face).
DLGTEMPLATE* StandInTemplate(HINSTANCE instance, const char* dialog) {
    if (!IsWide() || !IS_INTRESOURCE(dialog) || !TemplateFaceMissing()) return nullptr;
    HRSRC found =
        SetupTextApi().FindResource(instance, reinterpret_cast<LPCWSTR>(dialog), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    return data != nullptr ? CopyWithStandInFace(data, SizeofResource(instance, found)) : nullptr;
}

// A template made by StandInTemplate, freed with its holder; null: the resource itself.
struct TemplateCopy {
    DLGTEMPLATE* copy = nullptr;
    TemplateCopy() = default;
    TemplateCopy(HINSTANCE instance, const char* dialog) : copy(StandInTemplate(instance, dialog)) {}
    ~TemplateCopy() {
        if (copy != nullptr) HeapFree(GetProcessHeap(), 0, copy);
    }
    TemplateCopy(const TemplateCopy&) = delete;
    TemplateCopy& operator=(const TemplateCopy&) = delete;
};

}  // namespace

// ---- Files, folders, registry ----

ZELK_OUT_OF_LINE BOOL MoveFile(const char* from, const char* to) {
    Name source(from);
    Name target(to);
    return source.Ok() && target.Ok() && SetupTextApi().MoveFile(source, target);
}

BOOL CreateDirectory(const char* path, LPSECURITY_ATTRIBUTES security) {
    Name text(path);
    return text.Ok() && SetupTextApi().CreateDirectory(text, security);
}

BOOL SetCurrentDirectory(const char* path) {
    return CallWithName(AsNameFunction(SetupTextApi().SetCurrentDirectory), path, FALSE);
}

DWORD GetCurrentDirectory(DWORD size, char* out) {
    FillText fill = [](LPWSTR buffer, DWORD capacity, const void*) { return SetupTextApi().GetCurrentDirectory(capacity, buffer); };
    return GiveText(out, size, fill, nullptr);
}

BOOL SetDlgItemText(HWND dialog, int id, const char* text) {
    Text value(text);
    return value.Ok() && SetupTextApi().SetDlgItemText(dialog, id, value);
}

BOOL GetDiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                      DWORD* clusters) {
    Name text(root);
    return text.Ok() && SetupTextApi().GetDiskFreeSpace(text, sectorsPerCluster, bytesPerSector, freeClusters, clusters);
}

BOOL GetDiskFreeSpaceEx(const char* root, ULARGE_INTEGER* available) {
    Name text(root);
    return SetupTextApi().GetDiskFreeSpaceEx != nullptr && text.Ok() &&
           SetupTextApi().GetDiskFreeSpaceEx(text, available, nullptr, nullptr);
}

DWORD GetTempPath(DWORD size, char* out) {
    WCHAR wide[MAX_PATH + 1];
    if (!IsWide()) return SetupTextApi().GetTempPath(size, reinterpret_cast<LPWSTR>(out));
    DWORD length = SetupTextApi().GetTempPath(MAX_PATH + 1, wide);
    if (length == 0 || length > MAX_PATH) return length;
    int written = ToShiftJis(wide, static_cast<int>(length), out, static_cast<int>(size));
    return written > 0 ? static_cast<DWORD>(written) : 0;
}

ZELK_OUT_OF_LINE UINT GetTempFileName(const char* folder, const char* prefix, UINT unique, char* out) {
    Name path(folder);
    Name start(prefix);
    if (!path.Ok() || !start.Ok()) return 0;
    if (!IsWide()) return SetupTextApi().GetTempFileName(path, start, unique, reinterpret_cast<LPWSTR>(out));
    WCHAR wide[MAX_PATH];
    UINT number = SetupTextApi().GetTempFileName(path, start, unique, wide);
    return number != 0 && ToShiftJis(wide, -1, out, MAX_PATH) > 0 ? number : 0;
}

LONG RegCreateKeyEx(HKEY root, const char* key, REGSAM access, HKEY* created, DWORD* disposition) {
    Name text(key);
    static const WCHAR kNoClass[1] = {0};  // a zero in either form
    return text.Ok() ? SetupTextApi().RegCreateKeyEx(root, text, 0, const_cast<LPWSTR>(kNoClass), REG_OPTION_NON_VOLATILE,
                                            access, nullptr, created, disposition)
                     : ERROR_NO_UNICODE_TRANSLATION;
}

// ---- Fonts and painting ----

int AddFontResource(const char* file) {
    return static_cast<int>(CallWithName(AsNameFunction(SetupTextApi().AddFontResource), file, 0));
}

ZELK_OUT_OF_LINE BOOL CreateScalableFontResource(const char* resource, const char* fontFile, const char* folder) {
    Name target(resource);
    Name font(fontFile);
    Name path(folder);
    return target.Ok() && font.Ok() && path.Ok() && SetupTextApi().CreateScalableFontResource(0, target, font, path);
}

HFONT CreateFont(int height, int weight, BYTE charSet, BYTE pitchAndFamily, const char* face) {
    Name text(face);
    return text.Ok() ? SetupTextApi().CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charSet, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, text)
                     : nullptr;
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int length) {
    return WithPart(text, length, [dc, x, y](LPCWSTR part, int units) { return SetupTextApi().TextOut(dc, x, y, part, units); });
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size) {
    return WithPart(text, length, [dc, size](LPCWSTR part, int units) {
        return SetupTextApi().GetTextExtentPoint32(dc, part, units, size);
    });
}

// ---- Windows and dialogs ----

BOOL SetWindowText(HWND window, const char* text) {
    Text value(text);
    return value.Ok() && SetupTextApi().SetWindowText(window, value);
}

bool GetDlgItemText(HWND dialog, int id, char* out, int size) {
    out[0] = '\0';
    if (!IsWide()) {
        UINT length = SetupTextApi().GetDlgItemText(dialog, id, reinterpret_cast<LPWSTR>(out), size);
        return static_cast<int>(length) + 1 < size;  // a text that filled the buffer was cut
    }
    WCHAR wide[MAX_PATH + 1];
    UINT length = SetupTextApi().GetDlgItemText(dialog, id, wide, MAX_PATH + 1);
    return length < MAX_PATH && ToShiftJis(wide, static_cast<int>(length), out, size) >= 0;
}

ATOM RegisterClass(const WNDCLASSEXA& windowClass) {
    Name name(windowClass.lpszClassName);
    if (!name.Ok()) return 0;
    WNDCLASSEXW wide;
    memcpy(&wide, &windowClass, sizeof wide);  // the same fields, but for the kind of the names
    wide.lpszClassName = name;
    if (SetupTextApi().RegisterClassEx != nullptr) return SetupTextApi().RegisterClassEx(&wide);
    // NT 3.51 has only the first form, without the small icon.
    WNDCLASSW plain = {wide.style, wide.lpfnWndProc, wide.cbClsExtra, wide.cbWndExtra, wide.hInstance,
                       wide.hIcon, wide.hCursor, wide.hbrBackground, nullptr, wide.lpszClassName};
    return SetupTextApi().RegisterClass(&plain);
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    Name name(className);
    Text caption(title);
    return name.Ok() && caption.Ok() ? SetupTextApi().CreateWindowEx(exStyle, name, caption, style, x, y, width, height,
                                                            parent, menu, instance, param)
                                     : nullptr;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SetupTextApi().DefWindowProc(window, message, wParam, lParam);
}

INT_PTR DialogBoxParam(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param) {
    TemplateCopy standIn(instance, dialog);
    if (standIn.copy != nullptr) {
        return SetupTextApi().DialogBoxIndirectParam(instance, standIn.copy, owner, procedure, param);
    }
    Name name(dialog);
    return name.Ok() ? SetupTextApi().DialogBoxParam(instance, name, owner, procedure, param) : -1;
}

HWND CreateDialogParam(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param) {
    TemplateCopy standIn(instance, dialog);  // the dialog keeps nothing of its template
    if (standIn.copy != nullptr) {
        return SetupTextApi().CreateDialogIndirectParam(instance, standIn.copy, owner, procedure, param);
    }
    return CreateDialogAsIs(instance, dialog, owner, procedure, param);
}

INT_PTR PropertySheet(PROPSHEETHEADERA* header) {
    if (SetupTextApi().PropertySheet == nullptr || header->nPages > kMaxPages) return -1;
    // The pages copied with their titles in the sheet's kind; the header's fields are the
    // same in either kind, but for the kind of its texts.
    PROPSHEETPAGEA_V1 pages[kMaxPages];
    const auto* given = reinterpret_cast<const PROPSHEETPAGEA_V1*>(header->ppsp);
    Text caption(header->pszCaption);
    Text titles[kMaxPages];
    TemplateCopy standIns[kMaxPages];  // made into pages as the sheet shows them: kept to its end
    bool ok = caption.Ok();
    for (UINT i = 0; i < header->nPages; ++i) {
        pages[i] = given[i];
        standIns[i].copy = StandInTemplate(given[i].hInstance, given[i].pszTemplate);
        if (standIns[i].copy != nullptr) {
            pages[i].dwFlags |= PSP_DLGINDIRECT;
            pages[i].pResource = standIns[i].copy;
        }
        if (!(given[i].dwFlags & PSP_USETITLE)) continue;
        titles[i].Reset(given[i].pszTitle);
        ok = ok && titles[i].Ok();
        pages[i].pszTitle = reinterpret_cast<LPCSTR>(titles[i].Get());
    }
    PROPSHEETHEADERA sheet = *header;
    sheet.pszCaption = reinterpret_cast<LPCSTR>(caption.Get());
    sheet.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    return ok ? SetupTextApi().PropertySheet(reinterpret_cast<LPCPROPSHEETHEADERW>(&sheet)) : -1;
}

// ---- The shell ----

LPITEMIDLIST SHBrowseForFolder(BROWSEINFOA* info) {
    if (SetupTextApi().SHBrowseForFolder == nullptr) return nullptr;
    Text title(info->lpszTitle);
    if (!title.Ok()) return nullptr;
    WCHAR shown[MAX_PATH];  // the picked folder's display name, which no caller reads
    BROWSEINFOW wide;
    memcpy(&wide, info, sizeof wide);
    wide.lpszTitle = title;
    if (IsWide()) wide.pszDisplayName = shown;
    info->pszDisplayName[0] = '\0';
    return SetupTextApi().SHBrowseForFolder(&wide);
}

void SetBrowseSelection(HWND browser, const char* path) {
    Name text(path);
    if (text.Ok()) {
        SetupTextApi().SendMessage(browser, IsWide() ? BFFM_SETSELECTIONW : BFFM_SETSELECTIONA, TRUE,
                          reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
    }
}

void SetBrowseStatus(HWND browser, const char* text) {
    Text value(text);
    if (value.Ok()) {
        SetupTextApi().SendMessage(browser, IsWide() ? BFFM_SETSTATUSTEXTW : BFFM_SETSTATUSTEXTA, 0,
                          reinterpret_cast<LPARAM>(value.Get()));
    }
}

// ---- Version resources ----

DWORD GetFileVersionInfoSize(const char* path) {
    Name text(path);
    DWORD handle = 0;
    return SetupTextApi().GetFileVersionInfoSize != nullptr && text.Ok() ? SetupTextApi().GetFileVersionInfoSize(text, &handle) : 0;
}

BOOL GetFileVersionInfo(const char* path, DWORD size, void* data) {
    Name text(path);
    return SetupTextApi().GetFileVersionInfo != nullptr && text.Ok() && SetupTextApi().GetFileVersionInfo(text, 0, size, data);
}

BOOL VerQueryRoot(const void* block, VS_FIXEDFILEINFO** info) {
    static const char kRoot[] = "\\";
    static const WCHAR kWideRoot[] = {'\\', 0};
    UINT length = 0;
    void* found = nullptr;
    BOOL ok = SetupTextApi().VerQueryValue != nullptr &&
              SetupTextApi().VerQueryValue(block, IsWide() ? kWideRoot : reinterpret_cast<LPCWSTR>(kRoot), &found, &length) &&
              found != nullptr && length >= sizeof(VS_FIXEDFILEINFO);
    *info = ok ? static_cast<VS_FIXEDFILEINFO*>(found) : nullptr;
    return ok;
}

}  // namespace win
