// Removal of start-menu entries: shortcut files and their folder (Windows 95), or Program
// Manager items and group (Windows NT).
#include "uninst.h"

#include "progman.h"
#include "shell.h"
#include "system.h"
#include "textsub.h"

static void RemoveShortcuts(const char* group, char* const* items, int count) {
    char programs[kPathSize];
    char groupPath[kPathSize];
    if (!GetProgramsFolder(programs) || !JoinPath(groupPath, programs, group)) return;
    for (int i = 0; i < count; ++i) {
        if (items[i] == nullptr) continue;
        char link[kPathSize];
        if (!JoinPath(link, groupPath, items[i]) || !AppendString(link, ".lnk")) continue;
        if (DeleteFileA(link)) NotifyShell(SHCNE_DELETE, link);
    }
    if (RemoveDirectoryA(groupPath)) NotifyShell(SHCNE_RMDIR, groupPath);
}

void RemoveProgmanEntries(const char* group, char* const* items, int count) {
    // Showing the group makes it the active one, on which DeleteItem acts.
    if (ProgmanShowGroup(group, 1) == 0) return;
    for (int i = 0; i < count; ++i) {
        if (items[i] != nullptr) ProgmanDeleteItem(items[i]);
    }
    if (ProgmanGroupIsEmpty(group)) ProgmanDeleteGroup(group);
}

void RemoveMenuEntries(const char* group, char* const* items, int count) {
    // An empty name would make the group folder the Programs folder itself.
    if (group == nullptr || group[0] == '\0') return;
    if (IsWindowsNT()) {
        RemoveProgmanEntries(group, items, count);
    } else {
        RemoveShortcuts(group, items, count);
    }
}
