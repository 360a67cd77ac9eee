// Entry point of setup.exe: single instance, start-up, message loop, restart step.
#include "setup.h"

#include "common/system.h"

// The one-instance marker, taken in one step: null when another setup holds it. Where the
// system has per-session namespaces (Windows 2000 and later, NT 4.0 Terminal Server) the
// name goes in the global one, so that setups of all sessions exclude each other, as the
// journal list they use is the machine's; elsewhere, where no "Global\\" directory exists,
// the plain name is the machine's already. Wine has the namespaces, in every version mode.
static HANDLE TakeInstanceMarker() {
    static const char kMutexName[] = "ZELKSetupMutex";
    static const char kGlobalMutexName[] = "Global\\ZELKSetupMutex";
    HANDLE mutex = nullptr;
    if (IsWindowsNT()) {
        mutex = CreateMutexA(nullptr, FALSE, kGlobalMutexName);
        DWORD error = GetLastError();
        if (mutex == nullptr && error != ERROR_PATH_NOT_FOUND && error != ERROR_BAD_PATHNAME &&
            error != ERROR_INVALID_NAME) {
            return nullptr;  // held by a setup of another user, or not to be had
        }
    }
    if (mutex == nullptr) mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Another setup runs: leave it alone and end quietly. Held only as a marker until the
    // loop has ended; never waited on.
    HANDLE mutex = TakeInstanceMarker();
    if (mutex == nullptr) return 0;

    int exitCode = 1;  // start-up failed: its step has told the user
    if (InitializeSetup(instance) == 0) {
        PostMessageA(GetSetupWindow(), WM_USER, 0, 0);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        exitCode = static_cast<int>(message.wParam);
    }
    if (mutex != nullptr) CloseHandle(mutex);
    RunRestartStep();
    return exitCode;
}
