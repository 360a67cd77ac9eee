// The look-up of the programs' function tables (system_api.h): the DLLs loaded from the
// system folder by their full paths, and each table's functions found in them. Apart from
// the table of both programs (system_api.cpp), as the companion has tables of its own only.
#include "system_api.h"

#include <string.h>

#include "system_dll.h"

namespace {

// The DLLs of the list, in the order of SystemDll.
const char kSystemDllFiles[kSystemDllCount][13] = {"advapi32.dll", "comctl32.dll", "gdi32.dll",
                                                   "kernel32.dll", "lz32.dll",     "ole32.dll",
                                                   "shell32.dll",  "user32.dll",   "version.dll"};

HMODULE modules[kSystemDllCount];

// The DLL, loaded at its first use (a DLL that could not be loaded is tried again there).
HMODULE SystemModule(int dll) {
    if (modules[dll] == nullptr) modules[dll] = LoadSystemDll(kSystemDllFiles[dll]);
    return modules[dll];
}

}  // namespace

void LoadSystemDlls() {
    for (int dll = 0; dll < kSystemDllCount; ++dll) SystemModule(dll);
}

void FindSystemFunctions(const SystemDll* dlls, const char* names, void* functions, int count, char suffix) {
    for (int i = 0; i < count; ++i, names += strlen(names) + 1) {
        char name[40];  // longer than any name of a table with its suffix
        size_t length = 0;
        for (; names[length] != '\0' && length + 2 < sizeof name; ++length) name[length] = names[length];
        name[length] = suffix;
        name[length + 1] = '\0';
        HMODULE module = SystemModule(dlls[i]);
        // A name too long for the room is not looked up in part.
        FARPROC function = module != nullptr && names[length] == '\0' ? GetProcAddress(module, name) : nullptr;
        memcpy(static_cast<char*>(functions) + i * sizeof function, &function, sizeof function);
    }
}
