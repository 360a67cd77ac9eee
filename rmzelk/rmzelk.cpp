// The companion "rmZELK.bin": started by the uninstaller as "~rmZELK.~ <depth> <path>" just
// before it ends, it deletes the uninstaller's program file once that has ended, then the
// folder levels the installation created. It shows nothing and needs no C runtime.
#include <windows.h>
#include <shlobj.h>

#include "rmzelk_command.h"

namespace {

// The uninstaller ends right after starting this program: a short step notices its end
// at once, and an attempt (one failing DeleteFile) costs next to nothing.
constexpr int kWaitStep = 10;         // ms between two attempts
constexpr int kWaitAttempts = 3000;   // 30 s in all

// Deletes the file as soon as its program has ended. True when it is gone.
bool DeleteWhenFree(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // nothing left to delete
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);         // installed read-only
    for (int attempt = 0; attempt < kWaitAttempts; ++attempt) {
        if (DeleteFileA(path)) return true;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        Sleep(kWaitStep);
    }
    SetFileAttributesA(path, attributes);  // the program still runs: leave it as it was
    return false;
}

// The two names stay in the code section: a data section of their own would add a
// kilobyte to this two-kilobyte file (its header would no longer fit the first 512 bytes).
__attribute__((section(".text$names"))) const char kShellLibrary[] = "shell32.dll";
__attribute__((section(".text$names"))) const char kChangeNotify[] = "SHChangeNotify";

// The shell's change notice, where the system has one: NT 3.51 has not, and a program
// importing it would not start there.
decltype(&SHChangeNotify) FindChangeNotify() {
    HMODULE shell = LoadLibraryA(kShellLibrary);
    if (shell == nullptr) return nullptr;
    return reinterpret_cast<decltype(&SHChangeNotify)>(GetProcAddress(shell, kChangeNotify));
}

// Levels 0 .. depth-1 of the file's folder, empty ones only, each told to the shell.
void RemoveFolderLevels(const char* filePath, int depth) {
    decltype(&SHChangeNotify) notify = depth > 0 ? FindChangeNotify() : nullptr;
    for (int level = 0; level < depth; ++level) {
        char folder[kCompanionPathSize];
        if (!CompanionFolderLevel(folder, sizeof folder, filePath, level)) return;
        if (RemoveDirectoryA(folder) && notify) notify(SHCNE_RMDIR, SHCNF_PATH, folder, nullptr);
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
extern "C" void WINAPI RmzelkEntry() { ExitProcess(RunCompanion(GetCommandLineA())); }
