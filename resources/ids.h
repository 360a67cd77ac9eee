// Resource identifiers shared by the resource scripts and the code of both programs.
// The numbers are fixed: tests and publishers' tools find windows by them.
#ifndef ZELK_RESOURCES_IDS_H
#define ZELK_RESOURCES_IDS_H

// ---- setup.exe: dialogs ----
#define IDD_DESTINATION_PAGE 102
#define IDD_READY_PAGE 103
#define IDD_INIT_WAIT 107
#define IDD_WELCOME_PAGE 109
#define IDD_COPY_PROGRESS 110
#define IDD_MENU_WAIT 111
#define IDD_CONFIRM_CANCEL 118
#define IDD_FINISHED 119
#define IDD_ABORTED 120
#define IDD_LOW_SPACE 121
#define IDD_RESTART 124
#define IDD_CREATE_FOLDER 125
#define IDD_COPY_FAILED 127

// ---- setup.exe: pictures ----
#define IDB_SIDE_PICTURE 105
#define IDI_SETUP 106
#define IDB_LOGO 107

// ---- setup.exe: controls ----
#define IDC_BROWSE 1002
#define IDC_FREE_SPACE 1003       // destination page: free space; welcome page: fixed hint
#define IDC_WELCOME_HINT 1003
#define IDC_REQUIRED_SPACE 1004
#define IDC_DESTINATION_EDIT 1005
#define IDC_PROGRESS_BAR 1009
#define IDC_SOURCE_PATH 1011
#define IDC_DEST_PATH 1012
#define IDC_MESSAGE 1014

// Buttons of the message dialogs (their command IDs are their results).
#define IDB_CREATE_FOLDER 1        // dialog 125 "フォルダ作成"
#define IDB_COPY_AGAIN 4           // dialog 127 "もう一度コピー"
#define IDB_ABANDON 6              // dialog 118 "中止する"
#define IDB_CONTINUE 6             // dialog 121 "続ける"
#define IDB_DO_NOT_ABANDON 7       // dialog 118 "中止しない"
#define IDB_GO_BACK 7              // dialog 121 "戻る"

// ---- setup.exe: string table ----
#define IDS_CAPTION 1
#define IDS_NO_MEMORY 2
#define IDS_SCRIPT_FORMAT 3
#define IDS_TOO_MANY_ITEMS 4
#define IDS_SCRIPT_OPEN 5
#define IDS_MKDIR_FAILED 6
#define IDS_MENU_FAILED 7
#define IDS_REGISTRY_FAILED 8
#define IDS_NO_TITLE 9
#define IDS_NO_LOGO 10
#define IDS_NO_UNREGISTRY 11
#define IDS_NO_UNREGDISPLAY 12
#define IDS_NO_BASENAME 14
#define IDS_RECORD_FAILED 18
#define IDS_FINISHED 19
#define IDS_ABORTED 20
#define IDS_CONFIRM_CANCEL 21
#define IDS_WELCOME 22
#define IDS_DESTINATION 23
#define IDS_READY 24
#define IDS_BROWSE_TITLE 25
#define IDS_REBOOT_FAILED 37
#define IDS_INVALID_FOLDER 42
#define IDS_FILE_EXISTS 43
#define IDS_FINISHED_RESTART 44
#define IDS_CREATE_FOLDER 45
#define IDS_NETWORK_DRIVE 46
#define IDS_CDROM_DRIVE 47
#define IDS_RAM_DISK 48
#define IDS_REMOVABLE_DRIVE 49
#define IDS_ALREADY_INSTALLED_HERE 51
#define IDS_ABORTED_RESTART 52
#define IDS_PREVIOUS_INSTALL 54
#define IDS_NO_APPREGISTRY 58
#define IDS_NO_APPVERSION 59
#define IDS_RESTORED 60
#define IDS_RESTORED_PARTLY 61
#define IDS_FOREIGN_LINES 62

// ---- texts that were literals in the code ----
// At numbers the fixed table above leaves free (13, 15-17, 26-36, 38-41, 50, 53, 55-57, 63),
// so that they fill its blocks of sixteen strings instead of adding blocks. A number held by
// both programs' tables means the same text in both.
// setup.exe:
#define IDS_WRONG_WINDOWS 26
#define IDS_WRONG_WINDOWS_CAPTION 27
#define IDS_MISSING_FILE 28
// Both programs (texts of common/):
#define IDS_API_ERROR 32
#define IDS_ASK_SHARED_FONT 33
#define IDS_FONT_RESOURCE_FAILED 34
#define IDS_FONT_FILE_FAILED 35
#define IDS_SHARED_FILES 36
#define IDS_SHARED_FILES_MORE 38
// unZELK.exe (which also holds IDS_NO_MEMORY and IDS_FOREIGN_LINES):
#define IDS_UN_CAPTION 39
#define IDS_UN_NO_WINDOWS_DIR 40
#define IDS_UN_NO_SYSTEM_DIR 41
#define IDS_UN_COPY_FAILED 50
#define IDS_UN_USE_CONTROL_PANEL 53
#define IDS_UN_INVALID_RECORD 55
#define IDS_UN_CANNOT_OPEN 56
#define IDS_UN_CANNOT_OPEN_ANY 57
#define IDS_UN_NOT_ALL_READ 63
#define IDS_UN_CONFIRM 13
#define IDS_UN_LEFT 15
#define IDS_UN_LEFT_ANY 16

// ---- unZELK.exe ----
#define IDD_UN_DELETING 102
#define IDI_UNZELK 102

#endif
