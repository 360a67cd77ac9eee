// Taking a replacement off the system's list of files to replace when it next starts: the
// undo of a replacement that setup scheduled (common/restart.h).
#include <windows.h>
#include <stdlib.h>

#include "common/handles.h"
#include "common/restart.h"
#include "common/restart_parts.h"
#include "common/system.h"
#include "common/textsub.h"
#include "common/wintext.h"

namespace {

using namespace restart_parts;

// ---- Windows 95: WININIT.INI ----

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

bool CancelReplacementAtRestart(const char* staged, const char* destination) {
    return IsWindowsNT() ? RemovePendingPair(staged, destination) : RemoveRenameLine(staged, destination);
}
