// The entry point of setup.exe and unZELK.exe, in place of the toolchain's start-up code.
//
// The programs use no C runtime DLL (common/runtime.cpp has the few library functions they
// call). What is left to do at start is to build the static objects and call WinMain with
// the documented arguments; at the end, exit() runs the static objects' destructors and
// ends the process. The toolchain's own start-up code does much more (argument vectors,
// floating-point and exception set-up, thread-local storage, run-time relocation of
// imported data) that these programs do not use, and it costs several kilobytes.
#include <windows.h>

#include <stdlib.h>

#include "common/command.h"
#include "common/static_objects.h"
#include "common/system_api.h"
#include "common/system_dll.h"
#include "common/wintext.h"

namespace {

// The destructors of the static objects, in the order they were registered: a handful in
// either program.
constexpr int kMaxExitFunctions = 32;
void(__cdecl* exitFunctions[kMaxExitFunctions])();
int exitFunctionCount = 0;

}  // namespace

extern "C" {

// The compiler registers each static object's destructor here, as its constructor runs.
int __cdecl atexit(void(__cdecl* function)()) {
    if (exitFunctionCount == kMaxExitFunctions) return -1;
    exitFunctions[exitFunctionCount++] = function;
    return 0;
}

// Runs the registered functions, the last registered first, then ends the process.
void __cdecl exit(int code) {
    while (exitFunctionCount > 0) exitFunctions[--exitFunctionCount]();
    ExitProcess(static_cast<UINT>(code));
}

void WINAPI ZelkProgramEntry() {
    // Before any DLL beyond the load-time imports is loaded.
    NarrowDllSearch();
    LoadSystemDlls();
    RunStaticConstructors();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char* arguments = const_cast<char*>(SkipProgramName(win::GetCommandLine()));
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show));
}

}  // extern "C"
