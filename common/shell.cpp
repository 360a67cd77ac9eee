// The Explorer-era shell functions, looked up at run time (see shell.h).
#include "shell.h"

namespace {

struct ShellFunctions {
    bool lookedUp;
    decltype(&SHGetSpecialFolderLocation) getSpecialFolderLocation;
    decltype(&SHGetPathFromIDListA) getPathFromIdList;
    decltype(&SHGetMalloc) getMalloc;
    decltype(&SHBrowseForFolderA) browseForFolder;
    decltype(&SHChangeNotify) changeNotify;
};

ShellFunctions shell;

template <typename Function>
void Find(HMODULE module, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(GetProcAddress(module, name));
}

// The functions the system's SHELL32 has (null for the others); looked up on the first call.
const ShellFunctions& ShellApi() {
    if (shell.lookedUp) return shell;
    shell.lookedUp = true;
    HMODULE module = LoadLibraryA("shell32");  // kept until the program ends
    if (module == nullptr) return shell;
    Find(module, "SHGetSpecialFolderLocation", &shell.getSpecialFolderLocation);
    Find(module, "SHGetPathFromIDListA", &shell.getPathFromIdList);
    Find(module, "SHGetMalloc", &shell.getMalloc);
    Find(module, "SHBrowseForFolderA", &shell.browseForFolder);
    Find(module, "SHChangeNotify", &shell.changeNotify);
    return shell;
}

void WINAPI NotifyNobody(LONG, UINT, LPCVOID, LPCVOID) {}

// The change notice, found at the first one (NotifyNobody where the system has none).
decltype(&SHChangeNotify) changeNotify;

}  // namespace

void NotifyShell(LONG event, const char* path) {
    if (changeNotify == nullptr) changeNotify = ShellApi().changeNotify ? ShellApi().changeNotify : NotifyNobody;
    changeNotify(event, SHCNF_PATHA, path, nullptr);
}

bool GetPathOfItem(LPCITEMIDLIST item, char* out) {
    out[0] = '\0';
    return ShellApi().getPathFromIdList && ShellApi().getPathFromIdList(item, out);
}

void FreeItemList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (list == nullptr || ShellApi().getMalloc == nullptr || FAILED(ShellApi().getMalloc(&allocator))) return;
    allocator->Free(list);
    allocator->Release();
}

bool GetProgramsFolder(char (&out)[kPathSize]) {
    out[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (ShellApi().getSpecialFolderLocation == nullptr ||
        FAILED(ShellApi().getSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) || list == nullptr) {
        return false;
    }
    // An empty path would put the group folder in the current drive's root.
    bool found = GetPathOfItem(list, out) && out[0] != '\0';
    FreeItemList(list);
    return found;
}

LPITEMIDLIST BrowseForFolder(BROWSEINFOA* info) {
    return ShellApi().browseForFolder ? ShellApi().browseForFolder(info) : nullptr;
}
