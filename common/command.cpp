// Command lines that cross between the programs (portable).
#include "command.h"

#include <string.h>

#include "textsub.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasBlank(const char* s) { return strpbrk(s, " \t") != nullptr; }

}  // namespace

// Readers take everything after the first asterisk as the record path, so the record path
// is never quoted; the program path is, when it holds a blank, so that the system finds it.
bool FormatUninstallCommand(char* out, size_t size, const char* destination, const char* recordName) {
    char program[kPathSize];
    char record[kPathSize];
    if (size > 0) out[0] = '\0';
    if (!JoinPath(program, destination, "unZELK.exe") || !JoinPath(record, destination, recordName)) {
        return false;
    }
    if (HasBlank(program)) return JoinText(out, size, {"\"", program, "\" *", record});
    return JoinText(out, size, {program, " *", record});
}

const char* RecordPathFromArguments(const char* arguments) {
    const char* p = arguments;
    while (*p == '*' || IsBlank(*p)) ++p;
    return p;
}
