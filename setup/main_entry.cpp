// Entry point of setup.exe: single instance, start-up, message loop, restart step.
#include "setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static const char kMutexName[] = "ZELKSetupMutex";
    HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (other != nullptr) {
        // Another setup runs: leave it alone and end quietly.
        CloseHandle(other);
        return 0;
    }
    // Held only as a marker until the loop has ended; never waited on.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);

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
