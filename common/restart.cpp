// The system's list of files to replace or delete when it next starts (see restart.h).
#include "restart.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "handles.h"
#include "system.h"
#include "system_api.h"
#include "textsub.h"
#include "wintext.h"

namespace {

const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";
const char kWininit[] = "WININIT.INI";
const char kRenameSection[] = "rename";
constexpr DWORD kSectionSize = 32767;  // the most Windows 95 gives of a section
constexpr size_t kLineSize = 2 * kPathSize + 8;

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

bool ShortPath(char (&out)[kPathSize], const char* path) {
    DWORD length = SystemApi().GetShortPathNameA ? SystemApi().GetShortPathNameA(path, out, sizeof out) : 0;
    return length != 0 && length < sizeof out;
}

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

// A section left empty goes, and the file with it when it holds nothing else: a system
// that had no such file has none again.
bool DropRenameSection() {
    WritePrivateProfileStringA(kRenameSection, nullptr, nullptr, kWininit);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kWininit);  // the system's copy to the disk
    char path[kPathSize];
    UINT length = win::GetWindowsDirectory(path, sizeof path);
    win::FoundEntry entry;
    HANDLE search = length > 0 && length < sizeof path && JoinPath(path, path, kWininit)
                        ? win::FindFirstFile(path, &entry)
                        : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    if (entry.sizeLow == 0 && entry.sizeHigh == 0) win::DeleteFile(path);
    return true;
}

bool RemoveRenameLine(const char* source, const char* target) {
    char line[kLineSize];
    // Without the staged file no line can name it any more.
    if (!RenameLine(line, source, target)) return true;
    size_t size = 0;
    char* section = ReadRenameSection(&size);
    if (section == nullptr) return false;
    const char* items[] = {line};
    size_t left = RemoveStringRun(section, size, items, 1);
    if (left == size) {
        free(section);
        return true;
    }
    section[left] = '\0';
    if (section[0] == '\0') {
        free(section);
        return DropRenameSection();
    }
    return WriteRenameSection(section);
}

// ---- Windows NT: the move-file facility's list ----

// The name the list holds for path: prefix, "\??\", the real path.
bool ListedName(char (&out)[kPathSize + 8], const char* prefix, const char* path) {
    char real[kPathSize];
    return RealPath(real, path) && JoinText(out, sizeof out, {prefix, "\\??\\", real});
}

bool RemovePendingPair(const char* source, const char* target) {
    char pair[2][kPathSize + 8];
    UniqueKey key;
    if (!ListedName(pair[0], "", source) || !ListedName(pair[1], "!", target) ||
        win::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.Put()) !=
            ERROR_SUCCESS) {
        return false;
    }
    // The system's list is read and written as it is, UTF-16, so that no other program's
    // entry passes through a code page that might not hold its names.
    WCHAR items[2][kPathSize + 8];
    if (!win::ToUtf16(pair[0], items[0], kPathSize + 8) || !win::ToUtf16(pair[1], items[1], kPathSize + 8)) {
        return false;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG result = win::RegQueryRawValue(key.Get(), kPendingRenames, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) return true;  // nothing is pending
    WCHAR* list = result == ERROR_SUCCESS ? static_cast<WCHAR*>(malloc(size + sizeof(WCHAR))) : nullptr;
    bool done = list != nullptr && win::RegQueryRawValue(key.Get(), kPendingRenames, &type,
                                                         reinterpret_cast<BYTE*>(list), &size) == ERROR_SUCCESS;
    if (done) {
        const WCHAR* runs[] = {items[0], items[1]};
        size_t units = size / sizeof(WCHAR);
        size_t left = RemoveStringRun(list, units, runs, 2);
        if (left <= 1) {
            done = win::RegDeleteValue(key.Get(), kPendingRenames) == ERROR_SUCCESS;
        } else if (left != units) {
            done = win::RegSetRawValue(key.Get(), kPendingRenames, type, reinterpret_cast<BYTE*>(list),
                                       static_cast<DWORD>(left * sizeof(WCHAR))) == ERROR_SUCCESS;
        }
    }
    free(list);
    return done;
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

bool CancelReplacementAtRestart(const char* staged, const char* destination) {
    return IsWindowsNT() ? RemovePendingPair(staged, destination) : RemoveRenameLine(staged, destination);
}
