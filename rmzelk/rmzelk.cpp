// The companion "rmZELK.bin": started by the uninstaller as "~rmZELK.~ <depth> <path>" just
// before it ends, it deletes the uninstaller's program file once that has ended, then the
// folder levels the installation created. It shows nothing and needs no C runtime.
#include <windows.h>
#include <shlobj.h>

#include "common/static_objects.h"
#include "common/system_dll.h"
#include "common/wintext.h"
#include "rmzelk_command.h"

namespace {

// The uninstaller ends right after starting this program. Between two attempts (one
// failing DeleteFile each) the companion sleeps on the uninstaller's process, so that its
// end wakes it at once; where that process cannot be opened, a short step notices the end.
constexpr int kWaitStep = 10;         // ms between two attempts
constexpr int kWaitAttempts = 3000;   // 30 s in all

const char kNtLibrary[] = "ntdll.dll";
const char kQueryProcess[] = "NtQueryInformationProcess";

// The process that started this one (the uninstaller), opened for waiting; null where the
// system does not tell it (Windows 95 has no such query).
HANDLE OpenStarter() {
    using QueryFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    HMODULE ntdll = GetModuleHandleA(kNtLibrary);
    auto query = ntdll != nullptr ? reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
                                        GetProcAddress(ntdll, kQueryProcess)))
                                  : nullptr;
    // The process's basic information; its last field is the id of the starting process.
    // The native API names the calling process by the handle -1 (its NtCurrentProcess()).
    HANDLE self = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
    ULONG_PTR basic[6] = {};
    if (query == nullptr || query(self, 0, basic, sizeof basic, nullptr) != 0) {
        return nullptr;
    }
    return OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(basic[5]));
}

// Waits one step, or until the starter has ended; once it has, the steps are plain sleeps
// (the file may be held a moment longer, and an ended process would not wait at all).
void WaitStep(HANDLE& starter) {
    if (starter == nullptr) {
        Sleep(kWaitStep);
    } else if (WaitForSingleObject(starter, kWaitStep) != WAIT_TIMEOUT) {
        CloseHandle(starter);
        starter = nullptr;
    }
}

// Attempts to delete the file until it is gone or the attempts run out.
bool DeleteAttempts(const char* path, HANDLE& starter) {
    for (int attempt = 0; attempt < kWaitAttempts; ++attempt) {
        if (win::DeleteFile(path)) return true;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        WaitStep(starter);
    }
    return false;
}

// Deletes the file as soon as its program has ended. True when it is gone.
bool DeleteWhenFree(const char* path) {
    DWORD attributes = win::GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // nothing left to delete
    win::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);     // installed read-only
    HANDLE starter = OpenStarter();
    bool deleted = DeleteAttempts(path, starter);
    if (starter != nullptr) CloseHandle(starter);
    if (!deleted) win::SetFileAttributes(path, attributes);  // the program still runs: leave it as it was
    return deleted;
}

// Levels 0 .. depth-1 of the file's folder, empty ones only, each told to the shell.
void RemoveFolderLevels(const char* filePath, int depth) {
    for (int level = 0; level < depth; ++level) {
        char folder[kCompanionPathSize];
        if (!CompanionFolderLevel(folder, sizeof folder, filePath, level)) return;
        if (win::RemoveDirectory(folder)) win::NotifyShell(SHCNE_RMDIR, folder);
    }
}

UINT RunCompanion(const char* commandLine) {
    CompanionCommand command;
    if (!ParseCompanionCommand(commandLine, &command)) return 1;
    if (!DeleteWhenFree(command.path)) return 2;
    RemoveFolderLevels(command.path, command.depth);
    return 0;
}

}  // namespace

// Entry point without the C runtime's start-up code.
extern "C" void WINAPI RmzelkEntry() {
    NarrowDllSearch();
    RunStaticConstructors();
    ExitProcess(RunCompanion(win::GetCommandLine()));
}
