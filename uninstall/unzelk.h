// The uninstaller's steps.
#ifndef ZELK_UNINSTALL_UNZELK_H
#define ZELK_UNINSTALL_UNZELK_H

#include <windows.h>

// The whole run of unZELK for the given full command line; always 0.
int RunUninstaller(HINSTANCE instance, const char* commandLine);

#endif
