// The system's list of files to replace or delete when it next starts, shared by setup and
// unZELK. Windows NT keeps it in the registry (Session Manager's PendingFileRenameOperations:
// pairs of "\??\source" and "!\??\target", or an empty target for a deletion), filled by the
// move-file facility. Windows 95 reads the [rename] section of WININIT.INI, lines
// "target=source" ("NUL=source" for a deletion) in short 8.3 paths.
//
// A 32-bit program on 64-bit Windows is shown the 32-bit system folder under the system
// folder's name, while the system reads the list at its start without that redirection:
// a path in the system folder is handed over as the folder it really is.
#ifndef ZELK_COMMON_RESTART_H
#define ZELK_COMMON_RESTART_H

#include <stddef.h>

// Portable: list holds size bytes of strings, each ending in a zero, up to an empty one
// (REG_MULTI_SZ, a profile section). Removes the first run of count strings equal to
// items (ASCII letters in either case) that starts at a multiple of count, so that one pair
// is never taken for the end of one and the start of the next. The list's new size; size
// when no such run is found.
size_t RemoveStringRun(char* list, size_t size, const char* const* items, size_t count);
// The same in a list of UTF-16 units (NT's own list), size and the result counted in units.
size_t RemoveStringRun(wchar_t* list, size_t size, const wchar_t* const* items, size_t count);

// Has the system replace destination by staged (both existing) when it next starts.
bool ScheduleReplacementAtRestart(const char* staged, const char* destination);
// Has the system delete path (existing) when it next starts.
bool ScheduleDeletionAtRestart(const char* path);
// Takes the replacement of destination by staged off the list. True when the list no
// longer holds it (also when it never did, or the staged file is gone); false when the
// list could not be read or written.
bool CancelReplacementAtRestart(const char* staged, const char* destination);

#endif
