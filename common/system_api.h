// The functions setup.exe and unZELK.exe take from Windows at run time rather than through
// their import tables: those of the DLLs that are not loaded from the system folder whatever
// the program's folder holds (loaded by full path, common/system_dll.h), and those that came
// after Windows 95 and NT 3.51. tests/platform/imports.txt lists every one of them beside the
// load-time imports, and its check holds the list below to it.
//
// Each is looked up once, at the first call of SystemApi(). A function that cannot be had is
// null there; the wrappers below then give the function's own failure result, so the step
// that needs it fails as it would on any other failure of that call, with its message.
#ifndef ZELK_COMMON_SYSTEM_API_H
#define ZELK_COMMON_SYSTEM_API_H

#include <windows.h>
#include <commctrl.h>
#include <lzexpand.h>
#include <objbase.h>
#include <shlobj.h>

// DLL, function: what the programs look up.
#define ZELK_SYSTEM_FUNCTIONS(X)                                                              \
    X(COMCTL32, InitCommonControls)                                                           \
    X(COMCTL32, PropertySheetA)                                                               \
    X(KERNEL32, GetDiskFreeSpaceExA)                                                          \
    X(LZ32, LZClose)                                                                          \
    X(LZ32, LZCopy)                                                                           \
    X(LZ32, LZInit)                                                                           \
    X(LZ32, LZSeek)                                                                           \
    X(OLE32, CoCreateInstance)                                                                \
    X(OLE32, CoInitialize)                                                                    \
    X(OLE32, CoUninitialize)                                                                  \
    X(SHELL32, SHBrowseForFolderA)                                                            \
    X(SHELL32, SHChangeNotify)                                                                \
    X(SHELL32, SHGetMalloc)                                                                   \
    X(SHELL32, SHGetPathFromIDListA)                                                          \
    X(SHELL32, SHGetSpecialFolderLocation)                                                    \
    X(USER32, RegisterClassExA)                                                               \
    X(VERSION, GetFileVersionInfoA)                                                           \
    X(VERSION, GetFileVersionInfoSizeA)                                                       \
    X(VERSION, VerQueryValueA)

struct SystemFunctions {
#define ZELK_SYSTEM_FUNCTION_FIELD(dll, name) decltype(&::name) name;
    ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_FIELD)
#undef ZELK_SYSTEM_FUNCTION_FIELD
};

// Loads the DLLs from the system folder and looks the functions up, at the first call; the
// programs call it first thing at start, so that a DLL a system DLL later loads by its bare
// name is found already loaded.
const SystemFunctions& SystemApi();

// The calls with a result, each failing as the function itself fails where it is missing.
namespace sys {
void InitCommonControls();
INT_PTR PropertySheetA(LPCPROPSHEETHEADERA header);   // -1
INT LZInit(INT file);                                 // LZERROR_BADINHANDLE
LONG LZCopy(INT from, INT to);                        // LZERROR_BADINHANDLE
LONG LZSeek(INT file, LONG offset, INT origin);       // LZERROR_BADINHANDLE
void LZClose(INT file);
HRESULT CoInitialize(LPVOID reserved);                // E_FAIL; CoUninitialize only after S_OK/S_FALSE
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object);             // REGDB_E_CLASSNOTREG
DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle);                   // 0
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data); // FALSE
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length); // FALSE
}  // namespace sys

#endif
