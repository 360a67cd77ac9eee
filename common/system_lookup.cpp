// The look-up of the programs' function tables (system_api.h): the DLLs loaded from the
// system folder by their full paths, and each table's functions found in them. Apart from
// the table of both programs (system_api.cpp), as the companion has tables of its own only.
#include "system_api.h"

#include <string.h>

#include "system_dll.h"

namespace {

// The DLLs of the list, in the order of SystemDll, one after another, each ending in a zero.
const char kSystemDllFiles[] =
    "advapi32.dll\0comctl32.dll\0gdi32.dll\0kernel32.dll\0lz32.dll\0ole32.dll\0shell32.dll\0user32.dll\0version.dll";

HMODULE modules[kSystemDllCount];
bool loaded;

void LoadSystemDlls() {
    if (loaded) return;
    loaded = true;
    const char* file = kSystemDllFiles;
    for (int i = 0; i < kSystemDllCount; ++i, file += strlen(file) + 1) modules[i] = LoadSystemDll(file);
}

}  // namespace

void FindSystemFunctions(const SystemDll* dlls, const char* names, void* functions, int count, char suffix) {
    LoadSystemDlls();
    for (int i = 0; i < count; ++i, names += strlen(names) + 1) {
        char name[40];  // longer than any name of a table with its suffix
        size_t length = 0;
        for (; names[length] != '\0' && length + 2 < sizeof name; ++length) name[length] = names[length];
        name[length] = suffix;
        name[length + 1] = '\0';
        HMODULE module = modules[dlls[i]];
        // A name too long for the room is not looked up in part.
        FARPROC function = module != nullptr && names[length] == '\0' ? GetProcAddress(module, name) : nullptr;
        memcpy(static_cast<char*>(functions) + i * sizeof function, &function, sizeof function);
    }
}
