// The uninstaller's steps.
#ifndef ZELK_UNINSTALL_UNZELK_H
#define ZELK_UNINSTALL_UNZELK_H

#include <windows.h>
#include <stddef.h>

#include "common/record.h"
#include "common/system.h"

// The whole run of unZELK for the given full command line; always 0.
int RunUninstaller(HINSTANCE instance, const char* commandLine);

// ---- unzelk.cpp: the steps of the run ----
// The record path that the full command line names (program name, then "*" and the path);
// null when the arguments are empty or blanks and tabs only.
const char* RecordPathOfCommandLine(const char* commandLine);
// The companion's command line "copy depth ownPath" into out; the copy's path is quoted
// when it holds a blank. False (out empty) when it does not fit.
bool FormatCompanionCommand(char* out, size_t size, const char* copyPath, int depth,
                            const char* ownPath);
// DeleteRecordedRegistry, RemoveRecordedItems, RemoveMenuEntries over the record read
// from recordPath.
void RunRemoval(const char* recordPath, const char* systemDir, const char* fontsDir);

// ---- unzelk_messages.cpp: what the user sees ----
// Every message box goes through g_messageBox (common/system.h), so the tests can answer them;
// the caption is "ZELKアンインストーラ".
int ShowUninstallerMessage(const char* text, UINT type = MB_OK);
// The same with text id of the string table.
int ShowUninstallerText(UINT id, UINT type = MB_OK);
// The reader's messages, for unZELK's record reader.
const RecordSink& UninstallerRecordSink();
// Yes/No question with the record's title; false only for No.
bool ConfirmRemoval(const char* title);
// The uninstaller program file cannot be removed by the companion: tells the user which.
void ShowUninstallerLeft(const char* path);

// The deleting-files window (dialog 102).
HWND ShowDeletingWindow(HINSTANCE instance);
INT_PTR CALLBACK DeletingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CenterOnScreen(HWND window);

#endif
