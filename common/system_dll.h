// Where the three programs take their DLLs from: the system folder, and nowhere else.
//
// A program started from a folder that others can write (a download folder, a medium copied
// to disk) would otherwise load whatever DLL of a wanted name lies beside it: Windows looks
// in the program's own folder first for any DLL that is not one of its known system DLLs.
// So the programs import at load time only what every Windows takes from its system folder
// whatever the program's folder holds (tests/platform/imports.txt says which and why), load
// every other DLL by its full path in the system folder, and narrow the search that system
// DLLs make for their own DLLs to the system folder where the system can.
//
// Header-only: the companion takes its loading of DLLs from here without the rest.
#ifndef ZELK_COMMON_SYSTEM_DLL_H
#define ZELK_COMMON_SYSTEM_DLL_H

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The DLL of that file name ("lz32.dll") loaded from the system folder by its full path;
// null when the path does not fit or the DLL cannot be loaded. Kept until the program ends.
inline HMODULE LoadSystemDll(const char* fileName) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    path[length++] = '\\';
    for (; *fileName != '\0'; ++fileName) {
        if (length + 1 >= MAX_PATH) return nullptr;  // never a shortened name
        path[length++] = *fileName;
    }
    path[length] = '\0';
    return LoadLibraryA(path);
}

// Makes the system folder the only place where DLLs that are loaded later by a bare name are
// looked for, and takes the current folder out of the search. Windows 95, NT 3.51 and NT 4.0
// have neither call (nor a system of the first years of current Windows without its update);
// there the full-path loads above are the defence. Called first thing at start.
static const char kKernelLibrary[] = "kernel32.dll";
static const char kSetDefaultDllDirectories[] = "SetDefaultDllDirectories";
static const char kSetDllDirectoryA[] = "SetDllDirectoryA";
static const char kNoDllDirectory[] = "";

inline void NarrowDllSearch() {
    HMODULE kernel = GetModuleHandleA(kKernelLibrary);
    if (kernel == nullptr) return;
    using SetDefaultFunction = BOOL(WINAPI*)(DWORD);
    using SetDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
    auto setDefault = reinterpret_cast<SetDefaultFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, kSetDefaultDllDirectories)));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto setDirectory = reinterpret_cast<SetDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, kSetDllDirectoryA)));
    if (setDirectory != nullptr) setDirectory(kNoDllDirectory);
}

#endif
