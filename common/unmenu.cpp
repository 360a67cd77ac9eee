// Removal of start-menu entries: shortcut files and their folder (Windows 95), or Program
// Manager items and group (Windows NT).
#include "uninst.h"

#include "progman.h"
#include "shell.h"
#include "system.h"
#include "textsub.h"
#include "wintext.h"

// The group's folder in the Programs folder into out; false when it cannot be named.
static bool GetGroupFolder(char (&out)[kPathSize], const char* group) {
    char programs[kPathSize];
    return GetProgramsFolder(programs) && JoinPath(out, programs, group);
}

static void RemoveShortcuts(const char* group, char* const* items, int count) {
    char groupPath[kPathSize];
    if (!GetGroupFolder(groupPath, group)) return;
    for (int i = 0; i < count; ++i) {
        if (!IsOwnMenuName(items[i])) continue;
        char link[kPathSize];
        if (!JoinPath(link, groupPath, items[i]) || !AppendString(link, ".lnk")) continue;
        if (win::DeleteFile(link)) NotifyShell(SHCNE_DELETE, link);
    }
    if (win::RemoveDirectory(groupPath)) NotifyShell(SHCNE_RMDIR, groupPath);
}

GroupState GetProgmanGroupState(const char* group) {
    switch (ProgmanAskGroup(group)) {
    case GroupAnswer::Empty: return GroupState::Empty;
    case GroupAnswer::HasItems: return GroupState::HasItems;
    case GroupAnswer::NoAnswer: break;
    }
    // The system's own Program Manager keeps each group as a folder in the Programs folder
    // and answers no question about a group: there, the folder tells. Without an answer and
    // without such a folder there is no group to speak of.
    char groupPath[kPathSize];
    if (!GetGroupFolder(groupPath, group) || !DirectoryExists(groupPath)) return GroupState::Missing;
    return FolderIsEmpty(groupPath) ? GroupState::Empty : GroupState::HasItems;
}

bool ProgmanGroupHoldsItem(const char* group, const char* item) {
    switch (ProgmanAskItem(group, item)) {
    case ItemAnswer::Held: return true;
    case ItemAnswer::NotHeld: return false;
    case ItemAnswer::NoAnswer: break;
    }
    // Where Program Manager answers nothing, its group is a folder and each item a shortcut.
    char link[kPathSize];
    return GetGroupFolder(link, group) && JoinPath(link, link, item) && AppendString(link, ".lnk") &&
           FileExists(link);
}

void RemoveProgmanEntries(const char* group, char* const* items, int count) {
    // Showing the group makes it the active one, on which DeleteItem acts.
    if (ProgmanShowGroup(group, 1) == 0) return;
    for (int i = 0; i < count; ++i) {
        if (IsOwnMenuName(items[i])) ProgmanDeleteItem(items[i]);
    }
    if (GetProgmanGroupState(group) == GroupState::Empty) ProgmanDeleteGroup(group);
}

void RemoveMenuEntries(const char* group, char* const* items, int count) {
    // An empty name would make the group folder the Programs folder itself, and one that
    // leaves its folder ("..\Startup") some other folder.
    if (!IsOwnMenuName(group)) return;
    if (IsWindowsNT()) {
        RemoveProgmanEntries(group, items, count);
    } else {
        RemoveShortcuts(group, items, count);
    }
}
