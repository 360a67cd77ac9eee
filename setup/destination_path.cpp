// The syntax check of a destination path (portable).
#include "destination_path.h"

#include <string.h>

#include "../common/textsub.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Characters a folder name cannot hold, and "," and "=", which would cut the path's line
// in the uninstall record (a file line ends at ",", a line with "=" is a keyword line).
bool IsRefused(char c) { return c != '\0' && strchr("\"*/:<>?|,=", c) != nullptr; }

}  // namespace

// "X:\" and then folder names: no refused character, no empty name between two
// backslashes. A trailing backslash and the bare root are accepted. The path is scanned by
// character, so the second byte of a Shift-JIS character is neither a separator nor refused.
bool IsValidPath(const char* path) {
    if (path == nullptr || !IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') {
        return false;
    }
    bool afterSeparator = true;  // the drive's own backslash
    for (const char* p = path + 3; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0') return false;  // a character cut in half
            ++p;
            afterSeparator = false;
        } else if (*p == '\\') {
            if (afterSeparator) return false;
            afterSeparator = true;
        } else if (IsRefused(*p)) {
            return false;
        } else {
            afterSeparator = false;
        }
    }
    return true;
}
