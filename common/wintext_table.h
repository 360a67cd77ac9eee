// What the text boundary's files share (common/wintext*.cpp): how their tables are made, and
// the pieces of the conversion. A table has rows T(DLL, Name) of functions that Windows has
// in an "A" and a "W" form. Each is looked up with the suffix of the system's kind
// (TextTableLookUp); the two forms take the same arguments but for the kind of their
// texts, so one pointer of the "W" type holds either.
#ifndef ZELK_COMMON_WINTEXT_TABLE_H
#define ZELK_COMMON_WINTEXT_TABLE_H

#include "system_api.h"
#include "wintext.h"

#define ZELK_TEXT_FUNCTION_FIELD(dll, name) decltype(&::name##W) name;

// A call that holds a Name stays out of line: the name's room (half a kilobyte) must not add
// to the frames of its callers.
#define ZELK_OUT_OF_LINE __attribute__((noinline))

namespace win {

constexpr UINT kShiftJis = 932;

// A buffer of UTF-16 for what Windows gives back, freed at its end.
class WideBuffer {
public:
    explicit WideBuffer(DWORD count);
    ~WideBuffer();
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;
    WCHAR* Get() const { return text_; }

private:
    WCHAR* text_;
};

// A text that Windows writes into out (size bytes) by fill(buffer, capacity, context),
// which returns its length: on NT into UTF-16, then converted. The length, 0 on failure and
// size or more when it does not fit, as the system's own functions count. One routine for
// every such text, its callers' differences in their small fill functions.
using FillText = DWORD (*)(LPWSTR buffer, DWORD capacity, const void* context);
DWORD GiveText(char* out, DWORD size, FillText fill, const void* context);

// The many "W" forms that take a name and nothing else, through one pointer type: whatever
// each gives back (BOOL, UINT, DWORD) comes back in the same register.
using NameFunction = DWORD(WINAPI*)(LPCWSTR);
template <typename Function>
NameFunction AsNameFunction(Function function) {
    return reinterpret_cast<NameFunction>(function);
}

// Calls function with the name converted; failure where the name cannot be. One routine for
// them all, so that each such call is a line, not a frame of its own with the name's room.
DWORD CallWithName(NameFunction function, const char* name, DWORD failure);

// Looks a table up as the program starts (TableLookUp), with "W" appended on NT, "A" else.
// A program carries the names of the tables it uses only, so the functions are kept in
// tables by the programs that call them.
struct TextTableLookUp : TableLookUp {
    TextTableLookUp(const SystemDll* dlls, const char* names, void* functions, int count)
        : TableLookUp(dlls, names, functions, count, IsWide() ? 'W' : 'A') {}
};
}  // namespace win

#endif
