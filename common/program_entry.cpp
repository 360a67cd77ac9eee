// The entry point of setup.exe and unZELK.exe, in place of the toolchain's start-up code.
//
// The C runtime library the programs use (msvcrt.dll) initialises itself when it is loaded;
// what is left for a program to do is to build its static objects, call WinMain with the
// documented arguments and end through exit(), which runs the static objects' destructors.
// The toolchain's own start-up code does much more (argument vectors, floating-point and
// exception set-up, thread-local storage, run-time relocation of imported data) that these
// programs do not use, and it costs several kilobytes in each of them.
#include <windows.h>

#include <stdlib.h>

#include "common/command.h"

extern "C" {

// libgcc's constructor runner: calls every static constructor and registers the
// destructors through atexit.
void __main();

// The compiler registers each static object's destructor here; exit() runs them.
int __cdecl atexit(void(__cdecl* function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

void WINAPI ZelkProgramEntry() {
    __main();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char* arguments = const_cast<char*>(SkipProgramName(GetCommandLineA()));
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show));
}

}  // extern "C"
