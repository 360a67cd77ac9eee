// The Explorer-era shell functions, looked up at run time (see shell.h and system_api.h).
#include "shell.h"

#include "system_api.h"
#include "wintext.h"

void NotifyShell(LONG event, const char* path) { win::NotifyShell(event, path); }

bool GetPathOfItem(LPCITEMIDLIST item, char* out) {
    out[0] = '\0';
    return win::SHGetPathFromIDList(item, out);
}

void FreeItemList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (list == nullptr || SystemApi().SHGetMalloc == nullptr || FAILED(SystemApi().SHGetMalloc(&allocator))) return;
    allocator->Free(list);
    allocator->Release();
}

bool GetProgramsFolder(char (&out)[kPathSize]) {
    out[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (SystemApi().SHGetSpecialFolderLocation == nullptr ||
        FAILED(SystemApi().SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) || list == nullptr) {
        return false;
    }
    // An empty path would put the group folder in the current drive's root.
    bool found = GetPathOfItem(list, out) && out[0] != '\0';
    FreeItemList(list);
    return found;
}
