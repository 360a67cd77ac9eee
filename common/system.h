// Platform tests and file tests shared by setup and unZELK (Win32).
#ifndef ZELK_COMMON_SYSTEM_H
#define ZELK_COMMON_SYSTEM_H

#include <windows.h>

// Every message box of both programs is shown through this pointer (MessageBoxA), so that
// unit tests can answer the boxes themselves.
using MessageBoxFunction = int (WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
extern MessageBoxFunction g_messageBox;

// True when the system is of the NT platform (any version).
bool IsWindowsNT();

// The key under HKEY_LOCAL_MACHINE where Windows NT registers its fonts.
extern const char kFontsKey[];

// Shows the name of a failed system call in an ownerless "API エラー" box; goes on.
void ShowApiError(const char* name);

// Text id of the program's own string table in out (empty when the table lacks it); out.
// The program file's own module, so that code without the instance at hand can load.
char* LoadText(UINT id, char* out, int size);

// Windows 95 shows texts in its own code page only: on one that is not Japanese, an English
// box says so and this returns true; the program then ends before it changes anything.
bool RefuseForeignWindows95();

// Deletes the file, read-only or not (setup installs some of its files read-only); the run
// goes on when it stays.
void DeleteAnyFile(const char* path);

// True when the path begins with the drive letter of an existing disk.
bool IsValidDrive(const char* path);
// True when a file (not a folder) exists at the path; wildcards match any file.
bool FileExists(const char* path);
// True when a folder exists at the path; a bare drive ("C:") counts, a root ("C:\") does not.
bool DirectoryExists(const char* path);
// True when the folder exists and holds nothing (a drive's empty root, which no search
// finds anything in, counts as not known to be empty).
bool FolderIsEmpty(const char* folder);

// Sends WM_FONTCHANGE to every top-level window, waiting at most a few seconds for any one
// of them, so a window that does not answer cannot hang the program.
void BroadcastFontChange();

#endif
