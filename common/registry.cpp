// Deleting the application's registry keys.
#include "registry.h"

const char kUninstallBranch[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

int KeyHasNoSubkeys(HKEY, const char*) { return 1; }
void DeleteAppKeys(HKEY, const char*, const char*, const char*) {}
