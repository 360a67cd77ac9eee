// A shared DLL for the installation tests; only its version resource matters.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
extern "C" __declspec(dllexport) int ZelkTestValue() { return 1; }
