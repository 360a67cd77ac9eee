// The functions only setup.exe looks up at run time (see setup_api.h).
#include "setup_api.h"

namespace {

const SystemDll kDlls[] = {ZELK_SETUP_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
constexpr int kCount = sizeof kDlls / sizeof kDlls[0];
static_assert(sizeof(SetupFunctions) == kCount * sizeof(FARPROC), "one pointer per row");

SetupFunctions functions;
const TableLookUp lookUp(kDlls, ZELK_SETUP_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &functions, kCount);

}  // namespace

const SetupFunctions& SetupApi() { return functions; }

namespace sys {

void InitCommonControls() {
    if (SetupApi().InitCommonControls) SetupApi().InitCommonControls();
}

INT LZInit(INT file) {
    return SetupApi().LZInit ? SetupApi().LZInit(file) : LZERROR_BADINHANDLE;
}

LONG LZCopy(INT from, INT to) {
    return SetupApi().LZCopy ? SetupApi().LZCopy(from, to) : LZERROR_BADINHANDLE;
}

LONG LZSeek(INT file, LONG offset, INT origin) {
    return SetupApi().LZSeek ? SetupApi().LZSeek(file, offset, origin) : LZERROR_BADINHANDLE;
}

void LZClose(INT file) {
    if (SetupApi().LZClose) SetupApi().LZClose(file);
}

HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object) {
    *object = nullptr;
    return SetupApi().CoCreateInstance
               ? SetupApi().CoCreateInstance(type, outer, context, interfaceId, object)
               : REGDB_E_CLASSNOTREG;
}

}  // namespace sys
