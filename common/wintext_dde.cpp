// The text boundary's Program Manager conversation (wintext.h): DDE crosses as UTF-16 only
// where the system's own code page is not Shift-JIS. Apart from the rest of the boundary, as
// the companion has no conversation.
#include "wintext.h"

#include "system.h"
#include "wintext_table.h"

namespace win {

namespace {

#define ZELK_DDE_TEXT_FUNCTIONS(T)                                                            \
    T(USER32, DdeCreateStringHandle)                                                          \
    T(USER32, DdeInitialize)

struct DdeFunctions {
    ZELK_DDE_TEXT_FUNCTIONS(ZELK_TEXT_FUNCTION_FIELD)
};

const SystemDll kDdeDlls[] = {ZELK_DDE_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_DLL)};
constexpr int kDdeCount = sizeof kDdeDlls / sizeof kDdeDlls[0];

bool DdeIsWide() { return IsWide() && GetACP() != kShiftJis; }

DdeFunctions ddeFunctions;
const TableLookUp ddeLookUp(kDdeDlls, ZELK_DDE_TEXT_FUNCTIONS(ZELK_SYSTEM_FUNCTION_NAME), &ddeFunctions, kDdeCount,
                            DdeIsWide() ? 'W' : 'A');

const DdeFunctions& DdeApi() { return ddeFunctions; }

// The DDE form of a text: UTF-16 where DDE crosses so, the bytes themselves else.
class DdeText {
public:
    explicit DdeText(const char* text) : wide_(DdeIsWide() ? text : nullptr), text_(text) {}
    bool Ok() const { return !DdeIsWide() || wide_.Ok(); }
    LPCWSTR Get() const { return DdeIsWide() ? wide_.Get() : reinterpret_cast<LPCWSTR>(text_); }

private:
    Text wide_;
    const char* text_;
};

}  // namespace

UINT DdeInitialize(DWORD* instance, PFNCALLBACK callback, DWORD flags) {
    return DdeApi().DdeInitialize(instance, callback, flags, 0);
}

HSZ DdeCreateStringHandle(DWORD instance, const char* text) {
    DdeText value(text);
    return value.Ok() ? DdeApi().DdeCreateStringHandle(instance, value.Get(), DdeIsWide() ? CP_WINUNICODE : CP_WINANSI)
                      : nullptr;
}

HDDEDATA DdeCreateCommandHandle(DWORD instance, const char* command) {
    DdeText value(command);
    if (!value.Ok()) return nullptr;
    DWORD bytes = 0;
    if (DdeIsWide()) {
        while (value.Get()[bytes] != 0) ++bytes;
        bytes = (bytes + 1) * sizeof(WCHAR);
    } else {
        bytes = lstrlenA(command) + 1;
    }
    return DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(const_cast<LPWSTR>(value.Get())), bytes, 0,
                               nullptr, 0, 0);
}

DWORD DdeGetText(HDDEDATA data, char* out, DWORD size) {
    DWORD length = DdeGetData(data, nullptr, 0, 0);
    out[0] = '\0';
    if (length == 0 || length >= size) return length;
    length = DdeGetData(data, reinterpret_cast<BYTE*>(out), length, 0);
    out[length] = '\0';
    if (!DdeIsWide()) return length;
    // Program Manager answers in text of the system's own code page: through UTF-16 into
    // Shift-JIS, which keeps whatever that code page held of a Japanese name.
    WideBuffer wide(length + 1);
    int units = wide.Get() != nullptr ? MultiByteToWideChar(CP_ACP, 0, out, static_cast<int>(length), wide.Get(),
                                                            static_cast<int>(length))
                                      : 0;
    int written = units > 0 ? ToShiftJis(wide.Get(), units, out, static_cast<int>(size)) : -1;
    return written > 0 ? static_cast<DWORD>(written) : 0;
}

}  // namespace win
