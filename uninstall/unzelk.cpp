// The uninstaller: reads the record named on its command line, asks once, removes the
// installation and hands its own program file and folders over to the companion.
#include "unzelk.h"

#include <objbase.h>

#include "common/command.h"
#include "common/handles.h"
#include "common/restart.h"
#include "common/system.h"
#include "common/system_api.h"
#include "common/textsub.h"
#include "common/uninst.h"
#include "ids.h"
#include "common/wintext.h"

namespace {

const char kMutexName[] = "unZELKMutex";
const char kCompanionName[] = "rmZELK.bin";
const char kCompanionCopyName[] = "~rmZELK.~";

// The program's folders.
char ownPath[kPathSize];
char windowsDir[kPathSize];
char fontsDir[kPathSize];
char systemDir[kPathSize];

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Windows, fonts and system folders; false after the message when one is not found.
bool FindFolders() {
    UINT length = win::GetWindowsDirectory(windowsDir, sizeof windowsDir);
    if (length == 0 || length >= sizeof windowsDir) {
        ShowUninstallerText(IDS_UN_NO_WINDOWS_DIR);
        return false;
    }
    bool nt = IsWindowsNT();
    if (!JoinPath(fontsDir, windowsDir, nt ? "SYSTEM" : "FONTS") ||
        (nt && !JoinPath(systemDir, windowsDir, "SYSTEM"))) {
        ShowUninstallerText(IDS_UN_NO_WINDOWS_DIR);
        return false;
    }
    if (nt) return true;
    length = win::GetSystemDirectory(systemDir, sizeof systemDir);
    if (length == 0 || length >= sizeof systemDir) {
        ShowUninstallerText(IDS_UN_NO_SYSTEM_DIR);
        return false;
    }
    return true;
}

// Copies "rmZELK.bin" from beside the program to copy (in the Windows folder); the original
// goes at the end of the removal (DeleteLastFiles). A removal ended after that deletion and
// started again finds the copy it made. False after the message when there is no copy:
// nothing is removed.
bool TakeOverCompanion(char (&copy)[kPathSize]) {
    char folder[kPathSize];
    char name[kPathSize];
    char source[kPathSize];
    bool named = SplitPath(folder, name, ownPath) && JoinPath(source, folder, kCompanionName) &&
                 JoinPath(copy, windowsDir, kCompanionCopyName);
    bool copied = named && (win::CopyFile(source, copy, FALSE) || (!FileExists(source) && FileExists(copy)));
    if (!copied) {
        ShowUninstallerText(IDS_UN_COPY_FAILED, MB_ICONERROR);
        return false;
    }
    // setup installed the companion read-only.
    win::SetFileAttributes(copy, FILE_ATTRIBUTE_NORMAL);
    return true;
}

// Starts the companion copy, which deletes the program file and the created folder levels
// once this program has ended.
void StartCompanion(const char* copy, int depth) {
    char commandLine[kPathSize];
    if (!FormatCompanionCommand(commandLine, sizeof commandLine, copy, depth, ownPath)) {
        // A cut command would name another file; the program file stays, and the user is told.
        ShowUninstallerLeft(ownPath);
        return;
    }
    // 68 bytes on 32-bit Windows (104 in the x86-64 test build).
    static_assert(sizeof(STARTUPINFOA) == (sizeof(void*) == 4 ? 68 : 104), "the start-up block");
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!win::CreateProcess(copy, commandLine, windowsDir, &startup, &process)) {
        ShowApiError("CreateProcess");
        return;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

// Steps from the confirmation on: wait cursor and window, companion, removal, hand-over.
void RemoveConfirmed(HINSTANCE instance, UniqueHandle& mutex, const char* recordPath) {
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    HWND window = ShowDeletingWindow(instance);
    sys::CoInitialize(nullptr);
    char copy[kPathSize];
    if (TakeOverCompanion(copy)) {
        RunRemoval(recordPath, systemDir, fontsDir);
        ScheduleDeletionAtRestart(copy);
        int depth = g_record.dirDepth;
        FreeUninstallRecord(g_record);
        StartCompanion(copy, depth);
    } else {
        FreeUninstallRecord(g_record);
    }
    sys::CoUninitialize();
    mutex.Reset();
    SetCursor(previousCursor);
    if (window != nullptr) DestroyWindow(window);
}

// Everything after the single-instance test, while the mutex is held.
void RunWithMutex(HINSTANCE instance, const char* commandLine, UniqueHandle& mutex) {
    if (!FindFolders()) return;
    const char* recordPath = RecordPathOfCommandLine(commandLine);
    if (recordPath == nullptr) {
        ShowUninstallerText(IDS_UN_USE_CONTROL_PANEL);
        return;
    }
    static constexpr RecordReaderRules rules{kRecordFontSlots, kRecordFontSlots, true};
    if (ReadRecordFile(g_record, recordPath, rules, UninstallerRecordSink()) == 0) {
        FreeUninstallRecord(g_record);
        return;
    }
    if (!ConfirmRemoval(g_record.title)) {
        FreeUninstallRecord(g_record);
        return;
    }
    RemoveConfirmed(instance, mutex, recordPath);
}

}  // namespace

const char* RecordPathOfCommandLine(const char* commandLine) {
    const char* arguments = SkipProgramName(commandLine);
    const char* p = arguments;
    while (IsBlank(*p)) ++p;
    if (*p == '\0') return nullptr;
    return RecordPathFromArguments(arguments);
}

bool FormatCompanionCommand(char* out, size_t size, const char* copyPath, int depth,
                            const char* ownPath) {
    // A copy path with a blank is quoted, or the companion would take its second part for
    // the depth.
    bool quote = false;
    for (const char* p = copyPath; *p; ++p) quote = quote || *p == ' ';
    char number[16];
    wsprintfA(number, " %d ", depth);
    out[0] = '\0';
    return (!quote || AppendString(out, size, "\"")) && AppendString(out, size, copyPath) &&
           (!quote || AppendString(out, size, "\"")) && AppendString(out, size, number) &&
           AppendString(out, size, ownPath);
}

void RunRemoval(const char* recordPath, const char* systemDir, const char* fontsDir) {
    char caption[32];
    char heading[512];
    const RemovalStyle style{nullptr, LoadText(IDS_UN_CAPTION, caption, sizeof caption),
                             FILE_ATTRIBUTE_NORMAL, LoadText(IDS_FOREIGN_LINES, heading, sizeof heading)};
    RemoveRecordedItems(g_record, style, recordPath, systemDir, fontsDir);
    RemoveMenuEntries(g_record.menuGroup, g_record.menuItems, g_record.menuItemCount);
    DeleteRecordedAppKeys(g_record);
    // Until here the list of programs still starts this removal again.
    DeleteLastFiles(recordPath);
    DeleteRecordedEntry(g_record);
}

int RunUninstaller(HINSTANCE instance, const char* commandLine) {
    if (RefuseForeignWindows95()) return 0;
    DWORD length = win::GetModuleFileName(instance, ownPath, sizeof ownPath);
    if (length == 0 || length >= sizeof ownPath) {
        ShowApiError("GetModuleFileName");
        return 0;
    }
    UniqueHandle running(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName));
    if (running) return 0;  // another unZELK is at work
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, kMutexName));
    RunWithMutex(instance, commandLine, mutex);
    return 0;
}
