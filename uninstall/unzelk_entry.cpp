// Entry point of unZELK.exe.
#include <windows.h>
#include "unzelk.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunUninstaller(instance, GetCommandLineA());
}
