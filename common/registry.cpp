// Deleting the application's registry keys.
//
// Windows 95 deletes a key together with everything below it; Windows NT refuses a key that
// still has subkeys. The level that belongs to this installation is therefore emptied by
// hand before it is deleted, so both systems end the same way, and every level above it is
// deleted only when nothing else is left in it.
#include "registry.h"

#include "handles.h"
#include "textsub.h"
#include "wintext.h"

const char kUninstallBranch[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

int KeyHasNoSubkeys(HKEY root, const char* key) {
    UniqueKey opened;
    if (win::RegOpenKeyEx(root, key, 0, KEY_ALL_ACCESS, opened.Put()) != ERROR_SUCCESS) return 1;
    char name[kPathSize];
    return win::RegEnumKey(opened.Get(), 0, name, sizeof name) == ERROR_NO_MORE_ITEMS ? 1 : 0;
}

// Deletes parent\name with all its subkeys; true when it is gone. Subkeys are opened
// relative to their parent, so no key path is ever composed.
static bool DeleteKeyTree(HKEY parent, const char* name) {
    UniqueKey opened;
    if (win::RegOpenKeyEx(parent, name, 0, KEY_ALL_ACCESS, opened.Put()) == ERROR_SUCCESS) {
        char child[kPathSize];
        // Always the first subkey, since each pass deletes it; one that resists ends the loop.
        while (win::RegEnumKey(opened.Get(), 0, child, sizeof child) == ERROR_SUCCESS) {
            if (!DeleteKeyTree(opened.Get(), child)) break;
        }
    }
    opened.Reset();
    return win::RegDeleteKey(parent, name) == ERROR_SUCCESS;
}

static void DeleteKeyIfEmpty(HKEY root, const char* key) {
    if (KeyHasNoSubkeys(root, key)) win::RegDeleteKey(root, key);
}

void DeleteAppKeys(HKEY root, const char* base, const char* application, const char* version) {
    // Without an application name the key to delete would be the maker's own key, which
    // holds every other application of the maker.
    if (application == nullptr || application[0] == '\0') return;
    char appKey[kPathSize];
    if (!JoinPath(appKey, base, application)) return;
    if (version != nullptr && version[0] != '\0') {
        char versionKey[kPathSize];
        if (!JoinPath(versionKey, appKey, version)) return;
        DeleteKeyTree(root, versionKey);
        DeleteKeyIfEmpty(root, appKey);
    } else {
        DeleteKeyTree(root, appKey);
    }
    DeleteKeyIfEmpty(root, base);
}
