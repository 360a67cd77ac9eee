// Someone else's DLL, planted beside a program under the name of a system DLL: it exports the
// names the programs take from that DLL (planted_dll.def) and, once loaded, leaves a marker
// file C:\zelk-planted\<its own file name>. The tests expect no marker ever.
#include <windows.h>

namespace {

void LeaveMarker(HINSTANCE self) {
    char path[MAX_PATH] = "C:\\zelk-planted\\";
    CreateDirectoryA(path, nullptr);
    char own[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, own, MAX_PATH);
    const char* name = own;
    for (DWORD i = 0; i < length; ++i) {
        if (own[i] == '\\') name = own + i + 1;
    }
    if (lstrlenA(path) + lstrlenA(name) >= MAX_PATH) return;
    lstrcatA(path, name);
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
    return TRUE;
}

// Every export: a program that calls one has already loaded this DLL, which is the fault.
extern "C" int PlantedExport() { return 0; }
