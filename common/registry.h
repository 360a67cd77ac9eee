// Deleting the application's registry keys without disturbing the maker's other keys (Win32).
#ifndef ZELK_COMMON_REGISTRY_H
#define ZELK_COMMON_REGISTRY_H

#include <windows.h>

extern const char kUninstallBranch[];   // "Software\Microsoft\Windows\CurrentVersion\Uninstall"

// 1 when the key cannot be opened or has no subkey, 0 when it has at least one.
int KeyHasNoSubkeys(HKEY root, const char* key);
// Deletes base\application[\version], then each level above that has no subkeys left.
void DeleteAppKeys(HKEY root, const char* base, const char* application, const char* version);

#endif
