// Removal operations shared by setup and unZELK (Win32): files, folders, the shared-DLL
// notice, fonts, start-menu entries and registry records.
#ifndef ZELK_COMMON_UNINST_H
#define ZELK_COMMON_UNINST_H

#include <windows.h>
#include "record.h"

// Where the removal's message boxes go, and how read-only files are made deletable.
struct RemovalStyle {
    HWND owner;               // unZELK: none; setup: its main window
    const char* caption;      // "ZELKアンインストーラ" or "ZELKセットアップ"
    DWORD clearAttributes;    // unZELK: FILE_ATTRIBUTE_NORMAL; setup: FILE_ATTRIBUTE_ARCHIVE
    const char* foreignHeading;  // the notice of the lines left alone, before their list
};

// Removes what the record at recordPath names in the product: its files and folders, the
// DLL notice, its fonts. Lines that could steer the removal outside the product are left
// alone, and the user is first told which (FormatForeignLines). The record and the two
// programs beside it are left for DeleteLastFiles.
void RemoveRecordedItems(const UninstallRecord& record, const RemovalStyle& style, const char* recordPath,
                         const char* systemDir, const char* fontsDir);

// The notice of shared files that stay (DLLs are never deleted).
void ResetSharedFileNotice();
void NoteSharedFile(const char* folder, const char* name);
void ShowSharedFileNotice(HWND owner, const char* caption);
// The notice's text for the files noted so far (heap, the caller frees it); null when no
// file was noted or memory runs out. ShowSharedFileNotice shows this text.
char* FormatSharedFileNotice();

// Fonts (unfont.cpp).
int RemoveFont(HWND owner, const char* caption, const char* fontsDir, const char* fileName,
               const char* valueName);
int RemoveFontResourceRetry(HWND owner, const char* caption, const char* name);
int DeleteFontFileRetry(HWND owner, const char* caption, const char* path);
// True when the font resource file at fotPath names the font file fontFileName: only then
// is it this font's to replace or delete.
bool FotBelongsToFont(const char* fotPath, const char* fontFileName);

// Start-menu entries (unmenu.cpp). A group or item whose name would leave its folder
// (IsOwnMenuName) is not touched.
void RemoveMenuEntries(const char* group, char* const* items, int count);
void RemoveProgmanEntries(const char* group, char* const* items, int count);
// What is known of a Program Manager group: its answer, or, where Program Manager answers
// nothing (a desktop's own service), its folder in the Programs folder.
enum class GroupState { Missing, Empty, HasItems };
GroupState GetProgmanGroupState(const char* group);
// True when the group holds an item of that name: by Program Manager's answer, or where it
// answers nothing, by a shortcut of that name in the group's folder.
bool ProgmanGroupHoldsItem(const char* group, const char* item);

// What a removal ended anywhere needs to be started again goes last, each step safe to
// repeat: the uninstaller and its companion beside the record, then the record
// (DeleteLastFiles), then the uninstall entry (DeleteRecordedEntry).
bool IsLeftForLast(const char* path, const char* recordPath);
void DeleteLastFiles(const char* recordPath);

// Registry records named by a record: the application keys, the uninstall entry, or both.
void DeleteRecordedAppKeys(const UninstallRecord& record);
// The application's keys under the maker's branch of the machine ("SOFTWARE\ZELK") and of
// the user ("Software\ZELK"), as the deletion names them: setup wrote them as
// "Software\ZELK" and "SOFTWARE\ZELK", and key names ignore case. Nothing for an
// application without a name.
void DeleteAppKeysOf(const char* appRegistry, const char* appVersion);
void DeleteRecordedEntry(const UninstallRecord& record);
void DeleteRecordedRegistry(const UninstallRecord& record);

// Removes levels 0 .. depth-1 of folder (level 0 the folder itself), empty ones only;
// with notify, each removal is told to the shell.
void RemoveFolderLevels(const char* folder, int depth, bool notify);

#endif
