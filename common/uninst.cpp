// Removal of recorded files, folders, DLL notice and registry records.
#include "uninst.h"

void RemoveRecordedItems(const UninstallRecord&, const RemovalStyle&, const char*, const char*) {}
void ResetSharedFileNotice() {}
void NoteSharedFile(const char*, const char*) {}
void ShowSharedFileNotice(HWND, const char*) {}
void DeleteRecordedRegistry(const UninstallRecord&) {}
void RemoveFolderLevels(const char*, int, bool) {}
