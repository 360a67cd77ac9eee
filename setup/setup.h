// The operations of setup.exe, by module. Each block names the file that implements it.
#ifndef ZELK_SETUP_SETUP_H
#define ZELK_SETUP_SETUP_H

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdint.h>

#include "context.h"
#include "dll_compare.h"
#include "destination_path.h"
#include "record_writer.h"
#include "script.h"

// ---- sequence.cpp: the steps of start-up and of the installation ----
// One step: its name (what the benchmark's profile reports) and what it does, 0 on success.
struct SetupStep {
    const char* name;
    int (*run)(SetupContext& context);
};
// Runs the steps in order until one fails; 0 when every one succeeded. With pump, the
// messages that came meanwhile are dispatched after each step.
int RunSteps(const SetupStep* steps, int count, SetupContext& context, bool pump);
template <int count>
int RunSteps(const SetupStep (&steps)[count], SetupContext& context, bool pump) {
    return RunSteps(steps, count, context, pump);
}
// Called right before (done false) and after (done true) each step. Null in setup.exe; the
// benchmark's profile times the very steps setup runs here.
using StepWatch = void (*)(const char* step, bool done);
extern StepWatch g_stepWatch;
extern const SetupStep kStartupSteps[4];    // main.cpp: after the version test and the splash
extern const SetupStep kPrepareSteps[5];    // prepare.cpp: PrepareSetupContext
extern const SetupStep kInstallSteps[7];    // sequence.cpp: after the wizard's Finish
int CreateDestination(SetupContext& context);
int RunMenuStep(SetupContext& context);
void RunInstallation(SetupContext& context);

// ---- main.cpp: start-up, main loop, accessors ----
extern int restartRequired;
bool IsSupportedWindows();
// Version information through a seam, so tests can present any Windows version.
using GetVersionFunction = BOOL (WINAPI*)(OSVERSIONINFOA* info);
extern GetVersionFunction g_getVersion;
int InitializeSetup(HINSTANCE instance);
int RegisterSetupWindowClass(HINSTANCE instance);
int CreateSetupWindow();
HINSTANCE GetSetupInstance();
HWND GetSetupWindow();
void PumpMessages();
// The restart step after the message loop; tests replace the system call through the seam.
void RunRestartStep();
using ExitWindowsFunction = BOOL (WINAPI*)(UINT flags, DWORD reserved);
extern ExitWindowsFunction g_exitWindows;

// ---- mainwnd.cpp: the background window ----
LRESULT CALLBACK SetupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintSetupWindow(HWND window);
void PaintBackground(HDC dc, int width, int height);
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);
void DrawLogoBitmap(HDC dc, int x, int y);
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, DWORD rop);
void PaintLogoText(HDC dc, int width, int height, int rightMargin, int bottomMargin);
void DrawLogoText(const SetupContext& context, HDC dc, int width, int height, int rightMargin,
                  int bottomMargin);
HFONT CreateFontWithFallback(int height, int weight, const char* face);
void LimitToWorkArea(MINMAXINFO* info);
// The work-area query through a seam, so tests can make it fail.
using SystemParametersFunction = BOOL (WINAPI*)(UINT action, UINT param, PVOID value, UINT flags);
extern SystemParametersFunction g_systemParametersInfo;

// ---- prepare.cpp: folder preparation and the start-up half of the sequence ----
int PrepareFolders(SetupContext& context);
int PrepareSetupContext(SetupContext& context);
int ComputeRequiredSize(SetupContext& context);
// The ScriptReport that shows the reader's messages as string-table boxes without owner.
ScriptReport MessageBoxScriptReport();

// ---- registry_records.cpp: the uninstall entry, the application keys ----
int ReadPreviousInstall(SetupContext& context);
int CheckPreviousInstall(SetupContext& context, HWND owner);
void RemovePreviousInstall(SetupContext& context);
int WriteRegistryRecords(SetupContext& context);
int DeleteRegistryRecords(SetupContext& context);

// ---- record_file.cpp: the uninstall record in the destination ----
int WriteUninstallRecord(SetupContext& context);  // its lines: record_writer.h

// ---- destination.cpp: the destination's drive and folders (its syntax: destination_path.h) ----
bool CheckDriveType(HWND owner, const char* path);
uint64_t GetFreeDiskBytes(const char* path);
int CreateDirectoryPath(const char* path);
void FindDeepestExistingFolder(char* out, size_t size, const char* path);

// ---- messages.cpp: message helpers ----
void CenterWindow(HWND window);
int ShowMessage(HWND owner, int stringId);
[[noreturn]] void FatalError(const char* text);
int FormatTitleString(char* out, size_t size, int stringId);
// format with text put in for every "%s" ("%%" is one "%"). When the result would not fit
// out, each inserted text is cut (at a character boundary) to an equal share of the room.
int SubstituteText(char* out, size_t size, const char* format, const char* text);

// ---- dialog_wizard.cpp: the three wizard pages ----
// Finish: non-zero; cancelled: 0; -1 when the system could not show the sheet.
int RunSetupWizard(SetupContext& context);
void InitWizardPage(PROPSHEETPAGEA_V1* page, int templateId, DLGPROC procedure, const char* title);
INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
int BrowseForDestination(HWND page);
int CALLBACK BrowseCallback(HWND browser, UINT event, LPARAM lParam, LPARAM data);
void ShowKilobytes(HWND page, int controlId, uint64_t bytes);
void RemoveCreatedFolder();

// ---- dialog_messages.cpp: message dialogs, wait windows, the progress dialog ----
extern volatile int g_cancelFlag;
bool ConfirmCancel(HWND owner);
bool ConfirmLowSpace(HWND owner);
int ConfirmCreateFolder(HWND owner);
int AskCopyRetry(HWND owner);
int RunCopyProgress();
void ShowFinishedDialog();
void ShowAbortedDialog();
HWND ShowInitWindow();
HWND ShowMenuWaitWindow();

// ---- dialog_copy.cpp: the copy engine ----
int CopyAllFiles(HWND dialog);
void SetItemText(HWND dialog, int controlId, const char* text);
int CopyInstallFile(const char* source, const char* destination);
// The copy primitive itself. Without replace, an existing destination is left as it is and
// reported as Exists; a file the copy created and could not complete is deleted again. So
// without replace the destination must be a path that was free a moment before and that the
// journal lists as the run's new file: a copy whose source cannot be read may fail before it
// sees a file there, and what it deletes then is one that came since, which an undo of the
// list would take away as well; never the user's file.
enum class CopyResult { Copied, Exists, Failed };
CopyResult CopyInstallFileAs(const char* source, const char* destination, bool replace);
// True when the file name ends in "_": the file is compressed in the LZ format.
bool IsCompressedName(const char* name);
int GetFileCreationTime(const char* path, FILETIME* time);
int SetAllFileTimes(const char* path, const FILETIME* time);

// ---- font.cpp, dll.cpp: fonts and shared DLLs ----
int InstallFont(const char* sourceFolder, const char* fontFolder, const char* sourceName,
                const char* destName, const char* valueName);
int CompareCreationTimes(const char* sourcePath, const char* destPath);
int InstallDll(const char* sourcePath, const char* destPath);
int CompareFileVersions(const char* sourcePath, const char* destPath);
int ReadFixedFileInfo(const char* path, FixedFileInfo* block);

// ---- menu.cpp: start-menu shortcuts and Program Manager items ----
int CreateMenuItems(SetupContext& context);
HRESULT CreateShellLink(const char* target, const char* linkPath, const char* arguments,
                        const char* workingFolder);
int CreateProgmanItems(SetupContext& context);

// ---- remove.cpp: setup-side removal ----
int ReadUninstallRecord(const char* path);            // setup's silent variant
int RemoveInstallationByRecord(SetupContext& context, const char* recordPath);
void RemoveUninstallerAndFolders(const char* recordPath);
int RollBackInstallation(SetupContext& context);

#endif
