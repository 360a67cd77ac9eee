// The table of the functions both programs look up at run time (see system_api.h).
#include "system_api.h"

namespace {

const SystemDll kDlls[] = {ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
constexpr int kCount = sizeof kDlls / sizeof kDlls[0];
static_assert(sizeof(SystemFunctions) == kCount * sizeof(FARPROC), "one pointer per row");

SystemFunctions functions;
const TableLookUp lookUp(kDlls, ZELK_SYSTEM_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &functions, kCount);

}  // namespace

const SystemFunctions& SystemApi() { return functions; }

namespace sys {

HRESULT CoInitialize(LPVOID reserved) {
    return SystemApi().CoInitialize ? SystemApi().CoInitialize(reserved) : E_FAIL;
}

void CoUninitialize() {
    if (SystemApi().CoUninitialize) SystemApi().CoUninitialize();
}

}  // namespace sys
