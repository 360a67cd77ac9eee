// Forming Program Manager's DDE command strings (portable).
#include "progman.h"

#include <stdarg.h>
#include <stdio.h>

namespace {

bool IsGiven(const char* s) { return s != nullptr && s[0] != '\0'; }

const char* Text(const char* s) { return s ? s : ""; }

// A command either fits its buffer whole or is not formed at all: a cut command could
// name another group or item.
bool Format(char* out, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(out, size, format, arguments);
    va_end(arguments);
    if (length >= 0 && static_cast<size_t>(length) < size) return true;
    if (size > 0) out[0] = '\0';
    return false;
}

bool NotFormed(char* out, size_t size) {
    if (size > 0) out[0] = '\0';
    return false;
}

}  // namespace

bool FormatCreateGroup(char* out, size_t size, const char* name, const char* groupFile) {
    if (IsGiven(groupFile)) return Format(out, size, "[CreateGroup(%s,%s)]", Text(name), groupFile);
    return Format(out, size, "[CreateGroup(%s)]", Text(name));
}

// The show command and the icon index travel as unsigned 16-bit numbers.
bool FormatShowGroup(char* out, size_t size, const char* name, unsigned showCommand) {
    if (!IsGiven(name)) return NotFormed(out, size);
    return Format(out, size, "[ShowGroup(%s,%u)]", name, showCommand & 0xFFFFu);
}

bool FormatAddItem(char* out, size_t size, const char* commandLine, const char* name,
                   const char* iconPath, unsigned iconIndex) {
    if (IsGiven(iconPath)) {
        return Format(out, size, "[AddItem(%s,%s,%s,%u)]", Text(commandLine), Text(name), iconPath,
                      iconIndex & 0xFFFFu);
    }
    return Format(out, size, "[AddItem(%s,%s)]", Text(commandLine), Text(name));
}

bool FormatDeleteItem(char* out, size_t size, const char* name) {
    if (!IsGiven(name)) return NotFormed(out, size);
    return Format(out, size, "[DeleteItem(%s)]", name);
}

bool FormatDeleteGroup(char* out, size_t size, const char* name) {
    if (!IsGiven(name)) return NotFormed(out, size);
    return Format(out, size, "[DeleteGroup(%s)]", name);
}

// The first line of the description is "group name,group file,item count". Only a count
// that starts with "0" means empty; no data, or more than the 1024 bytes the client takes,
// is never taken for an empty group, since an empty group gets deleted.
bool GroupDataIsEmpty(const char* data, size_t length) {
    constexpr size_t kMaxGroupData = 1024;
    if (data == nullptr || length == 0 || length > kMaxGroupData) return false;
    int commas = 0;
    for (size_t i = 0; i < length && data[i] != '\0'; ++i) {
        if (data[i] == ',' && ++commas == 2) return i + 1 < length && data[i + 1] == '0';
    }
    return false;
}
