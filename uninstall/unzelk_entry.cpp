// Entry point of unZELK.exe.
#include <windows.h>
#include "common/wintext.h"
#include "unzelk.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunUninstaller(instance, win::GetCommandLine());
}
