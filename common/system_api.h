// The functions setup.exe and unZELK.exe take from Windows at run time rather than through
// their import tables: those of the DLLs that are not loaded from the system folder whatever
// the program's folder holds (loaded by full path, common/system_dll.h), and those that came
// after Windows 95 and NT 3.51. tests/platform/imports.txt lists every one of them beside the
// load-time imports, and its check holds the tables to it.
//
// Each program looks up only what it uses: the table below holds what both use, and
// setup.exe has a table of its own (setup/setup_api.h). Both programs load every DLL of the
// list as they start, and look every table up (TableLookUp). A function that cannot be had
// is null there; the wrappers then give the function's own failure result, so the step that
// needs it fails as it would on any other failure of that call, with its message.
#ifndef ZELK_COMMON_SYSTEM_API_H
#define ZELK_COMMON_SYSTEM_API_H

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

// The DLLs loaded by full path, which a table's rows name.
enum SystemDll : unsigned char { ADVAPI32, COMCTL32, GDI32, KERNEL32, LZ32, OLE32, SHELL32, USER32, VERSION, kSystemDllCount };

// DLL, function: what both programs look up.
#define ZELK_SYSTEM_FUNCTIONS(X)                                                              \
    X(KERNEL32, GetShortPathNameA)                                                            \
    X(KERNEL32, IsWow64Process)                                                               \
    X(OLE32, CoInitialize)                                                                    \
    X(OLE32, CoUninitialize)                                                                  \
    X(SHELL32, SHGetMalloc)                                                                   \
    X(SHELL32, SHGetSpecialFolderLocation)

// What a table makes of its rows: a field per function, its DLL, its name. The names follow
// one another in one string, each ending in a zero.
#define ZELK_SYSTEM_FUNCTION_FIELD(dll, name) decltype(&::name) name;
#define ZELK_SYSTEM_FUNCTION_DLL(dll, name) dll,
#define ZELK_SYSTEM_FUNCTION_NAME(dll, name) #name "\0"

struct SystemFunctions {
    ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_FIELD)
};

// The table's functions, looked up as the program starts.
const SystemFunctions& SystemApi();

// Loads every DLL of the list from the system folder: setup and unZELK do so first thing, so
// that a DLL one of them loads later by its bare name (a DLL it imports) is found already
// loaded. Otherwise a DLL is loaded as a table first needs it: the companion needs little.
void LoadSystemDlls();

// Looks up a table of count functions: the i-th in the DLL dlls[i], by the i-th of names
// (with suffix appended where it is not zero), into the i-th pointer of functions (a
// table's structure, one pointer per row).
void FindSystemFunctions(const SystemDll* dlls, const char* names, void* functions, int count, char suffix = 0);

// Looks a table up as the program starts: each table's file has one of these, a static
// object, which the programs build right after they have loaded their DLLs. The calls then
// go straight to the table, with no question whether it was looked up.
struct TableLookUp {
    TableLookUp(const SystemDll* dlls, const char* names, void* functions, int count, char suffix = 0) {
        FindSystemFunctions(dlls, names, functions, count, suffix);
    }
};

// The calls with a result, each failing as the function itself fails where it is missing.
namespace sys {
HRESULT CoInitialize(LPVOID reserved);                // E_FAIL; CoUninitialize only after S_OK/S_FALSE
void CoUninitialize();
}  // namespace sys

#endif
