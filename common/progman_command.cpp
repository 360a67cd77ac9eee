// Forming Program Manager's DDE command strings (portable).
#include "progman.h"

#include "textsub.h"

namespace {

bool IsGiven(const char* s) { return s != nullptr && s[0] != '\0'; }

// A command either fits its buffer whole or is not formed at all (JoinText): a cut command
// could name another group or item.
bool NotFormed(char* out, size_t size) {
    if (size > 0) out[0] = '\0';
    return false;
}

}  // namespace

bool FormatCreateGroup(char* out, size_t size, const char* name, const char* groupFile) {
    if (IsGiven(groupFile)) return JoinText(out, size, {"[CreateGroup(", name, ",", groupFile, ")]"});
    return JoinText(out, size, {"[CreateGroup(", name, ")]"});
}

// The show command and the icon index travel as unsigned 16-bit numbers.
bool FormatShowGroup(char* out, size_t size, const char* name, unsigned showCommand) {
    if (!IsGiven(name)) return NotFormed(out, size);
    char number[12];
    FormatDecimal(number, static_cast<int>(showCommand & 0xFFFFu));
    return JoinText(out, size, {"[ShowGroup(", name, ",", number, ")]"});
}

bool FormatAddItem(char* out, size_t size, const char* commandLine, const char* name,
                   const char* iconPath, unsigned iconIndex) {
    if (IsGiven(iconPath)) {
        char number[12];
        FormatDecimal(number, static_cast<int>(iconIndex & 0xFFFFu));
        return JoinText(out, size, {"[AddItem(", commandLine, ",", name, ",", iconPath, ",", number, ")]"});
    }
    return JoinText(out, size, {"[AddItem(", commandLine, ",", name, ")]"});
}

bool FormatDeleteItem(char* out, size_t size, const char* name) {
    if (!IsGiven(name)) return NotFormed(out, size);
    return JoinText(out, size, {"[DeleteItem(", name, ")]"});
}

bool FormatDeleteGroup(char* out, size_t size, const char* name) {
    if (!IsGiven(name)) return NotFormed(out, size);
    return JoinText(out, size, {"[DeleteGroup(", name, ")]"});
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

// Each line after the first describes an item, its name first and in double quotes.
bool GroupDataHoldsItem(const char* data, size_t length, const char* item) {
    if (data == nullptr || !IsGiven(item)) return false;
    size_t at = 0;
    while (at < length && data[at] != '\0' && data[at] != '\n') ++at;  // the group's own line
    while (at < length && data[at] == '\n') {
        size_t start = ++at;
        if (start < length && data[start] == '"') {
            const char* name = data + start + 1;
            size_t room = length - start - 1;
            size_t i = 0;
            while (i < room && item[i] != '\0' && UpperAscii(name[i]) == UpperAscii(item[i])) ++i;
            if (item[i] == '\0' && i < room && name[i] == '"') return true;
        }
        while (at < length && data[at] != '\0' && data[at] != '\n') ++at;
    }
    return false;
}
