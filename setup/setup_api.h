// The functions only setup.exe looks up at run time, beside those both programs look up
// (common/system_api.h, which says why and how; tests/platform/imports.txt lists them all).
#ifndef ZELK_SETUP_SETUP_API_H
#define ZELK_SETUP_SETUP_API_H

#include <windows.h>
#include <commctrl.h>
#include <lzexpand.h>
#include <objbase.h>
#include <shlobj.h>

#include "common/system_api.h"

// DLL, function: what setup.exe alone looks up.
#define ZELK_SETUP_FUNCTIONS(X)                                                               \
    X(ADVAPI32, AdjustTokenPrivileges)                                                        \
    X(ADVAPI32, LookupPrivilegeValueA)                                                        \
    X(ADVAPI32, OpenProcessToken)                                                             \
    X(COMCTL32, InitCommonControls)                                                           \
    X(LZ32, LZClose)                                                                          \
    X(LZ32, LZCopy)                                                                           \
    X(LZ32, LZInit)                                                                           \
    X(LZ32, LZSeek)                                                                           \
    X(OLE32, CoCreateInstance)

struct SetupFunctions {
    ZELK_SETUP_FUNCTIONS(ZELK_SYSTEM_FUNCTION_FIELD)
};

// Looks the functions up at the first call (the DLLs are loaded by then: SystemApi()).
const SetupFunctions& SetupApi();

// The calls with a result, each failing as the function itself fails where it is missing.
namespace sys {
void InitCommonControls();
INT LZInit(INT file);                                 // LZERROR_BADINHANDLE
LONG LZCopy(INT from, INT to);                        // LZERROR_BADINHANDLE
LONG LZSeek(INT file, LONG offset, INT origin);       // LZERROR_BADINHANDLE
void LZClose(INT file);
HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object);             // REGDB_E_CLASSNOTREG
}  // namespace sys

#endif
