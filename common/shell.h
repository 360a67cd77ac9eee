// The shell functions that came with Windows 95 and NT 4.0: the Programs folder and change
// notifications (setup.exe's folder browser is in setup/setup_api.h). NT 3.51's SHELL32 has
// none of them, and a program that imported any of them would not even start there, so they
// are looked up at run time (common/system_api.h). Where the system lacks them the step they serve is skipped: NT
// never browses and makes its menu entries through Program Manager, and a missing notice
// is not a failure.
#ifndef ZELK_COMMON_SHELL_H
#define ZELK_COMMON_SHELL_H

#include <windows.h>
#include <shlobj.h>

#include "textsub.h"

// The start menu's Programs folder; false when the shell cannot name it (out empty).
bool GetProgramsFolder(char (&out)[kPathSize]);

// Tells the shell that the item at path changed (event: SHCNE_CREATE, SHCNE_MKDIR, ...).
void NotifyShell(LONG event, const char* path);

// The file-system path of an item into out (kPathSize bytes); false when it has none.
bool GetPathOfItem(LPCITEMIDLIST item, char* out);
// Gives back an item list the shell allocated.
void FreeItemList(LPITEMIDLIST list);

#endif
