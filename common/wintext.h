// The one place where text crosses to Windows and back.
//
// Inside, the three programs keep every text as Shift-JIS (code page 932): the script, the
// record, the journal's list, every buffer. Windows reads the text of its "A" functions in
// the system's own code page, which is 932 only on a Japanese Windows. So on the NT family
// the functions here convert explicitly between 932 and UTF-16 and call the "W" form; text
// coming back (an edit control, the browse dialog, a module's path) is converted back, and a
// character that 932 cannot hold is refused (ERROR_NO_UNICODE_TRANSLATION), never replaced.
// Windows 95 has no working "W" forms: there the "A" form is called as it is, and a Windows 95
// that is not Japanese is refused at start (RefuseWithoutJapanese).
//
// The functions keep the names and, where it can, the arguments of Windows' own, so that a
// call reads as the system call it is. No other code calls a Windows function that takes or
// gives text; tests/platform/check-text-boundary holds the built objects to that.
#ifndef ZELK_COMMON_WINTEXT_H
#define ZELK_COMMON_WINTEXT_H

#include <windows.h>
#include <ddeml.h>
#include <prsht.h>
#include <shlobj.h>

// The names below are the boundary's own: the headers' macros that would make each the
// "A" form are taken away, so that no code that sees this header calls that form unawares.
#undef CreateFile
#undef DeleteFile
#undef CopyFile
#undef MoveFile
#undef MoveFileEx
#undef CreateDirectory
#undef RemoveDirectory
#undef GetFileAttributes
#undef SetFileAttributes
#undef SetCurrentDirectory
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetDiskFreeSpace
#undef GetDiskFreeSpaceEx
#undef GetModuleFileName
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef GetSystemWow64Directory
#undef GetTempPath
#undef GetTempFileName
#undef FindFirstFile
#undef FindNextFile
#undef GetCommandLine
#undef CreateProcess
#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegDeleteKey
#undef RegDeleteValue
#undef RegEnumKey
#undef RegQueryValueEx
#undef RegSetValueEx
#undef AddFontResource
#undef RemoveFontResource
#undef CreateScalableFontResource
#undef CreateFont
#undef TextOut
#undef GetTextExtentPoint32
#undef LoadString
#undef MessageBox
#undef SetWindowText
#undef SetDlgItemText
#undef GetDlgItemText
#undef RegisterClass
#undef RegisterClassEx
#undef CreateWindowEx
#undef DefWindowProc
#undef DialogBoxParam
#undef CreateDialogParam
#undef PropertySheet
#undef SHGetPathFromIDList
#undef SHBrowseForFolder
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue
#undef DdeInitialize
#undef DdeCreateStringHandle
#undef lstrcmpi

#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif

namespace win {

// True where text crosses as UTF-16 (the NT family).
bool IsWide();

// Text turned into what the "W" form takes: UTF-16 on NT, the text itself on Windows 95 (and
// a null pointer or a resource number as it is). Ok() is false when the text is no valid
// Shift-JIS; the last error then says so.
class Text {
public:
    Text() = default;  // no text (a null pointer) until Reset
    explicit Text(const char* text) { Reset(text); }
    ~Text();
    void Reset(const char* text);
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    bool Ok() const { return ok_; }
    LPCWSTR Get() const { return text_; }
    operator LPCWSTR() const { return text_; }

private:
    LPCWSTR text_ = nullptr;
    WCHAR* owned_ = nullptr;
    bool ok_ = true;
};

// A name turned into what the "W" form takes, as Text does, but held in the object itself:
// a path, a registry key or value name, a font, a window class. A name of the programs'
// buffers (MAX_PATH bytes with its zero) always fits, each of its characters being one UTF-16
// unit; a longer one is refused (the last error ERROR_INSUFFICIENT_BUFFER), never cut. No
// heap and nothing to free: most calls of the programs name something.
class Name {
public:
    explicit Name(const char* text);
    Name(const Name&) = delete;
    Name& operator=(const Name&) = delete;
    bool Ok() const { return ok_; }
    operator LPCWSTR() const { return text_; }

private:
    LPCWSTR text_;
    bool ok_ = true;
    WCHAR wide_[MAX_PATH];
};

// UTF-16 text of length units (-1: up to its zero) into out as Shift-JIS, terminated; the
// bytes written before the added zero. -1 (out empty; last error ERROR_NO_UNICODE_TRANSLATION
// or ERROR_INSUFFICIENT_BUFFER) when a character has no Shift-JIS form or it does not fit.
int ToShiftJis(const WCHAR* text, int length, char* out, int size);
// Shift-JIS text into out as UTF-16, terminated; false when it is no valid Shift-JIS or does
// not fit. On any system: a shortcut's file name, a Unicode DDE string.
bool ToUtf16(const char* text, WCHAR* out, int size);

// True when the two names are the same to the system (letters of either case alike),
// compared in the system's kind of text: in another code page a trail byte would pass for
// a letter, and two Japanese names could pass for one.
bool SameName(const char* a, const char* b);

// ---- Files and folders ----
HANDLE CreateFile(const char* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                  DWORD disposition, DWORD flags, HANDLE model);
BOOL DeleteFile(const char* path);
BOOL CopyFile(const char* from, const char* to, BOOL failIfExists);
BOOL MoveFile(const char* from, const char* to);
BOOL MoveFileEx(const char* from, const char* to, DWORD flags);
BOOL CreateDirectory(const char* path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectory(const char* path);
DWORD GetFileAttributes(const char* path);
BOOL SetFileAttributes(const char* path, DWORD attributes);
BOOL SetCurrentDirectory(const char* path);
DWORD GetCurrentDirectory(DWORD size, char* out);
UINT GetDriveType(const char* root);
BOOL GetDiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                      DWORD* freeClusters, DWORD* clusters);
// The bytes free to the caller; FALSE where the system has no such call (before Windows 95
// OSR2 and NT 4.0) as on any failure.
BOOL GetDiskFreeSpaceEx(const char* root, ULARGE_INTEGER* available);
DWORD GetModuleFileName(HMODULE module, char* out, DWORD size);
UINT GetWindowsDirectory(char* out, UINT size);
UINT GetSystemDirectory(char* out, UINT size);
UINT GetSystemWow64Directory(char* out, UINT size);  // 0 where the system has none
DWORD GetTempPath(DWORD size, char* out);
UINT GetTempFileName(const char* folder, const char* prefix, UINT unique, char* out);

// What a search tells of an entry: the fields that both forms of the search's data share,
// and whether it is "." or "..".
struct FoundEntry {
    DWORD attributes;
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
    DWORD sizeHigh;
    DWORD sizeLow;
    bool dots;
};
HANDLE FindFirstFile(const char* pattern, FoundEntry* entry);
BOOL FindNextFile(HANDLE search, FoundEntry* entry);
// Hands each entry of the listing that pattern names to listed, with its name in Shift-JIS
// (empty when Shift-JIS has no form of it); nothing when there is no such listing.
using ListedEntry = void (*)(const char* name, const FoundEntry& entry, void* context);
void ListFolder(const char* pattern, ListedEntry listed, void* context);

// ---- Processes ----
// The program's command line in Shift-JIS, read once; an empty line when it holds a
// character that Shift-JIS cannot.
const char* GetCommandLine();
BOOL CreateProcess(const char* program, char* commandLine, const char* folder, STARTUPINFOA* startup,
                   PROCESS_INFORMATION* process);

// ---- Registry ----
LONG RegOpenKeyEx(HKEY root, const char* key, DWORD options, REGSAM access, HKEY* opened);
LONG RegCreateKeyEx(HKEY root, const char* key, REGSAM access, HKEY* created, DWORD* disposition);
LONG RegDeleteKey(HKEY root, const char* key);
LONG RegDeleteValue(HKEY key, const char* name);
LONG RegEnumKey(HKEY key, DWORD index, char* out, DWORD size);
// String values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) cross as text, their sizes in bytes
// of Shift-JIS; others as they are.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
// The value as the system holds it, bytes for bytes (a UTF-16 list on NT); size as asked.
LONG RegQueryRawValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetRawValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);

// ---- Fonts and painting ----
int AddFontResource(const char* file);
BOOL RemoveFontResource(const char* file);
BOOL CreateScalableFontResource(const char* resource, const char* fontFile, const char* folder);
HFONT CreateFont(int height, int weight, BYTE charSet, BYTE pitchAndFamily, const char* face);
BOOL TextOut(HDC dc, int x, int y, const char* text, int length);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size);

// ---- Windows and dialogs ----
// The program's own string table; the length of the text in out (0: none, out empty).
int LoadString(UINT id, char* out, int size);
// WINAPI, as the pointer that every message box of the programs goes through (system.h).
int WINAPI MessageBox(HWND owner, const char* text, const char* caption, UINT style);
BOOL SetWindowText(HWND window, const char* text);
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
// The control's text; false (out empty) when it does not fit or holds a character that
// Shift-JIS cannot.
bool GetDlgItemText(HWND dialog, int id, char* out, int size);
// The class is registered as a Unicode window's on NT, so that its texts stay UTF-16.
ATOM RegisterClass(const WNDCLASSEXA& windowClass);
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR DialogBoxParam(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param);
HWND CreateDialogParam(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param);
// The same with the template as it is: unZELK's name a base font of every Windows, and it
// need not carry the stand-in below. The dialog is given by its number (MAKEINTRESOURCE); a
// name is refused (ERROR_INVALID_PARAMETER).
HWND CreateDialogAsIs(HINSTANCE instance, const char* dialog, HWND owner, DLGPROC procedure, LPARAM param);
// The sheet's caption and its pages' titles (when they have any) cross as text.
INT_PTR PropertySheet(PROPSHEETHEADERA* header);
// The three above show setup's dialogs, whose templates name "ＭＳ Ｐ明朝": where an NT system
// lacks that face, from a copy of the template made by this, which names "ＭＳ Ｐゴシック"
// instead. The copy of a DIALOG template of size bytes, on the process heap (HeapFree); null
// for a template that names another face.
DLGTEMPLATE* CopyWithStandInFace(const void* dialog, DWORD size);

// ---- The shell ----
BOOL SHGetPathFromIDList(LPCITEMIDLIST item, char* out);
// The browse dialog; its title crosses as text. In its callback, SetBrowseSelection and
// SetBrowseStatus send the messages of the dialog's own kind.
LPITEMIDLIST SHBrowseForFolder(BROWSEINFOA* info);
void SetBrowseSelection(HWND browser, const char* path);
void SetBrowseStatus(HWND browser, const char* text);

// The shell's notice of a change at path (SHCNF_PATH), where the system has the notice.
void NotifyShell(LONG event, const char* path);

// ---- Version resources ----
DWORD GetFileVersionInfoSize(const char* path);
BOOL GetFileVersionInfo(const char* path, DWORD size, void* data);
// The fixed part of a version resource that GetFileVersionInfo read.
BOOL VerQueryRoot(const void* block, VS_FIXEDFILEINFO** info);

// ---- DDE: a Unicode client on NT, so that a Unicode service gets the same Japanese text ----
// Unicode where the system is of the NT family and its code page is not 932; a Japanese
// system gets the Shift-JIS bytes themselves, as every Program Manager has taken them.
UINT DdeInitialize(DWORD* instance, PFNCALLBACK callback, DWORD flags);
HSZ DdeCreateStringHandle(DWORD instance, const char* text);
// An execute command's data: the text in the client's own kind, its zero included.
HDDEDATA DdeCreateCommandHandle(DWORD instance, const char* command);
// A request's answer (CF_TEXT) as Shift-JIS text; its length, 0 when empty, size or more
// when it does not fit (out then empty).
DWORD DdeGetText(HDDEDATA data, char* out, DWORD size);

}  // namespace win

#endif
