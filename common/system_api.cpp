// The functions looked up at run time (see system_api.h).
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

const SystemDll kDlls[] = {ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
constexpr int kCount = sizeof kDlls / sizeof kDlls[0];
static_assert(sizeof(SystemFunctions) == kCount * sizeof(FARPROC), "one pointer per row");

SystemFunctions functions;
const TableLookUp lookUp(kDlls, ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &functions, kCount);

}  // namespace

void FindSystemFunctions(const SystemDll* dlls, const char* names, void* functions, int count, char suffix) {
    LoadSystemDlls();
    for (int i = 0; i < count; ++i) {
        HMODULE module = modules[dlls[i]];
        char name[40];  // longer than any name of a table with its suffix
        size_t length = strlen(names);
        FARPROC function = nullptr;
        if (module != nullptr && length + 2 <= sizeof name) {
            memcpy(name, names, length);
            name[length] = suffix;
            name[length + 1] = '\0';
            function = GetProcAddress(module, name);
        }
        memcpy(static_cast<char*>(functions) + i * sizeof function, &function, sizeof function);
        names += strlen(names) + 1;
    }
}

const SystemFunctions& SystemApi() { return functions; }

namespace sys {

HRESULT CoInitialize(LPVOID reserved) {
    return SystemApi().CoInitialize ? SystemApi().CoInitialize(reserved) : E_FAIL;
}

void CoUninitialize() {
    if (SystemApi().CoUninitialize) SystemApi().CoUninitialize();
}

}  // namespace sys
