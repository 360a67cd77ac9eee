// The system's list of files to replace or delete when it next starts (see restart.h): the
// entries both programs add. Taking one off again, which setup alone does, is in
// setup/restart_cancel.cpp.
#include "restart.h"
#include "restart_parts.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "system.h"
#include "system_api.h"
#include "textsub.h"
#include "wintext.h"

namespace restart_parts {

const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";
const char kWininit[] = "WININIT.INI";
const char kRenameSection[] = "rename";

namespace {

constexpr DWORD kSectionSize = 32767;  // the most Windows 95 gives of a section

bool ShortPath(char (&out)[kPathSize], const char* path) {
    DWORD length = SystemApi().GetShortPathNameA ? SystemApi().GetShortPathNameA(path, out, sizeof out) : 0;
    return length != 0 && length < sizeof out;
}

}  // namespace

// path as the system reads it when it starts. Under WoW64 (where IsWow64Process says so; it
// came after Windows 95 and NT 3.51) the system folder this program sees is the 32-bit one.
bool RealPath(char (&out)[kPathSize], const char* path) {
    const SystemFunctions& api = SystemApi();
    char system[kPathSize];
    char real[kPathSize];
    BOOL wow64 = FALSE;
    UINT length = win::GetSystemDirectory(system, sizeof system);
    if (api.IsWow64Process == nullptr ||
        !api.IsWow64Process(GetCurrentProcess(), &wow64) || !wow64 || length == 0 || length >= sizeof system ||
        !IsPathWithin(path, system)) {
        return CopyString(out, path);
    }
    UINT realLength = win::GetSystemWow64Directory(real, sizeof real);
    return realLength != 0 && realLength < sizeof real && JoinText(out, sizeof out, {real, path + length});
}

// ---- Windows 95: WININIT.INI ----

// The line "target=source" in short paths; a deletion's target is NUL.
bool RenameLine(char (&line)[kLineSize], const char* source, const char* target) {
    char shortSource[kPathSize];
    char shortTarget[kPathSize];
    return ShortPath(shortSource, source) && (target ? ShortPath(shortTarget, target) : CopyString(shortTarget, "NUL")) &&
           JoinText(line, sizeof line, {shortTarget, "=", shortSource});
}

// The [rename] section read whole into a heap block with room for one more line (the caller
// frees it), and its size with its last zero; null when it cannot be read whole.
char* ReadRenameSection(size_t* size) {
    char* section = static_cast<char*>(malloc(kSectionSize + kLineSize));
    DWORD length = section ? GetPrivateProfileSectionA(kRenameSection, section, kSectionSize, kWininit) : 0;
    if (section == nullptr || length + 2 >= kSectionSize) {  // a section that filled the block was cut
        free(section);
        return nullptr;
    }
    section[length] = section[length + 1] = '\0';
    *size = length + 1;
    return section;
}

bool WriteRenameSection(char* section) {
    bool written = WritePrivateProfileSectionA(kRenameSection, section, kWininit);
    free(section);
    return written;
}

}  // namespace restart_parts

namespace {

using namespace restart_parts;

// WritePrivateProfileString would replace a line of the same target: another pending
// replacement of that file, or any other deletion (NUL). The section is written whole.
bool AddRenameLine(const char* source, const char* target) {
    char line[kLineSize];
    size_t size = 0;
    char* section = RenameLine(line, source, target) ? ReadRenameSection(&size) : nullptr;
    if (section == nullptr) return false;
    size_t length = strlen(line) + 1;
    memcpy(section + size - 1, line, length);
    section[size - 1 + length] = '\0';
    return WriteRenameSection(section);
}

}  // namespace

bool ScheduleReplacementAtRestart(const char* staged, const char* destination) {
    if (!IsWindowsNT()) return AddRenameLine(staged, destination);
    char source[kPathSize];
    char target[kPathSize];
    return RealPath(source, staged) && RealPath(target, destination) &&
           win::MoveFileEx(source, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
}

bool ScheduleDeletionAtRestart(const char* path) {
    if (!IsWindowsNT()) return AddRenameLine(path, nullptr);
    char real[kPathSize];
    return RealPath(real, path) && win::MoveFileEx(real, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

