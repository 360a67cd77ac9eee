// The functions looked up at run time (see system_api.h).
#include "system_api.h"

#include "system_dll.h"

namespace {

// The DLLs of the list, in the order of this enumeration's names.
enum SystemDllIndex { COMCTL32, KERNEL32, LZ32, OLE32, SHELL32, USER32, VERSION, kSystemDllCount };
const char* const kSystemDllFiles[kSystemDllCount] = {
    "comctl32.dll", "kernel32.dll", "lz32.dll", "ole32.dll", "shell32.dll", "user32.dll", "version.dll"};

SystemFunctions functions;
bool lookedUp;

template <typename Function>
void Find(HMODULE module, const char* name, Function* function) {
    *function = module != nullptr
                    ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                    : nullptr;
}

}  // namespace

const SystemFunctions& SystemApi() {
    if (lookedUp) return functions;
    lookedUp = true;
    HMODULE modules[kSystemDllCount];
    for (int i = 0; i < kSystemDllCount; ++i) modules[i] = LoadSystemDll(kSystemDllFiles[i]);
#define ZELK_SYSTEM_FUNCTION_FIND(dll, name) Find(modules[dll], #name, &functions.name);
    ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_FIND)
#undef ZELK_SYSTEM_FUNCTION_FIND
    return functions;
}

namespace sys {

void InitCommonControls() {
    if (SystemApi().InitCommonControls) SystemApi().InitCommonControls();
}

INT_PTR PropertySheetA(LPCPROPSHEETHEADERA header) {
    return SystemApi().PropertySheetA ? SystemApi().PropertySheetA(header) : -1;
}

INT LZInit(INT file) {
    return SystemApi().LZInit ? SystemApi().LZInit(file) : LZERROR_BADINHANDLE;
}

LONG LZCopy(INT from, INT to) {
    return SystemApi().LZCopy ? SystemApi().LZCopy(from, to) : LZERROR_BADINHANDLE;
}

LONG LZSeek(INT file, LONG offset, INT origin) {
    return SystemApi().LZSeek ? SystemApi().LZSeek(file, offset, origin) : LZERROR_BADINHANDLE;
}

void LZClose(INT file) {
    if (SystemApi().LZClose) SystemApi().LZClose(file);
}

HRESULT CoInitialize(LPVOID reserved) {
    return SystemApi().CoInitialize ? SystemApi().CoInitialize(reserved) : E_FAIL;
}

void CoUninitialize() {
    if (SystemApi().CoUninitialize) SystemApi().CoUninitialize();
}

HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object) {
    *object = nullptr;
    return SystemApi().CoCreateInstance
               ? SystemApi().CoCreateInstance(type, outer, context, interfaceId, object)
               : REGDB_E_CLASSNOTREG;
}

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) {
    return SystemApi().GetFileVersionInfoSizeA ? SystemApi().GetFileVersionInfoSizeA(path, handle) : 0;
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data) {
    return SystemApi().GetFileVersionInfoA && SystemApi().GetFileVersionInfoA(path, handle, size, data);
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
    return SystemApi().VerQueryValueA && SystemApi().VerQueryValueA(block, subBlock, buffer, length);
}

}  // namespace sys
