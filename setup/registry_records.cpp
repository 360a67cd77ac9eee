// Registry records of an installation: the entry in the system's list of uninstallable
// programs and the empty application keys, found again by the next setup run.
#include "setup.h"

#include <stdlib.h>
#include <string.h>

#include "common/command.h"
#include "common/handles.h"
#include "common/registry.h"
#include "common/system.h"
#include "common/uninst.h"
#include "ids.h"
#include "entry_values.h"
#include "journal.h"
#include "common/wintext.h"

namespace {

const char kUninstallValue[] = "UninstallString";
const char kDisplayValue[] = "DisplayName";

// The uninstall key of this application. An empty name would make it the Uninstall branch
// itself, which holds every other program's entry: no key then.
bool UninstallKeyName(const SetupContext& context, char (&key)[kPathSize]) {
    if (context.unRegistry == nullptr || context.unRegistry[0] == '\0') return false;
    return JoinPath(key, kUninstallBranch, context.unRegistry);
}

// Reads the registered uninstall command into text, terminated. Returns its length, or -1
// when there is no entry or the value is unreadable; a value that fills the whole buffer
// leaves no room for the terminator and counts as unreadable too.
int ReadUninstallString(const SetupContext& context, char (&text)[kPathSize]) {
    char keyName[kPathSize];
    if (!UninstallKeyName(context, keyName)) return -1;
    UniqueKey key;
    if (win::RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return -1;
    DWORD type = 0;
    DWORD length = sizeof text;
    LONG result = win::RegQueryValueEx(key.Get(), kUninstallValue, &type, reinterpret_cast<BYTE*>(text), &length);
    if (result != ERROR_SUCCESS) return -1;
    // The system may hand back a terminator it added itself; it is not part of the text.
    if (length > 0 && text[length - 1] == '\0') --length;
    if (length >= sizeof text) return -1;
    text[length] = '\0';
    return static_cast<int>(length);
}

bool UninstallKeyExists(const SetupContext& context) {
    char keyName[kPathSize];
    if (!UninstallKeyName(context, keyName)) return false;
    UniqueKey key;
    return win::RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Stores text as REG_SZ with its length in bytes, without the terminating zero; the journal
// lists first what the value held.
bool SetStringValue(HKEY root, const char* keyName, const char* name, const char* text) {
    return SetJournaledValue(root, keyName, name, REG_SZ, text, lstrlenA(text));
}

bool SetDwordValue(HKEY root, const char* keyName, const char* name, DWORD value) {
    return SetJournaledValue(root, keyName, name, REG_DWORD, &value, sizeof value);
}

// What the list of programs of later Windows shows beside the name: the program's icon (icon
// is its installed path), version, folder, size and date, and no Change or Repair choice
// (there is neither). Written on every Windows, so that the entry serves a machine upgraded
// later; earlier ones ignore them. False when one cannot be set.
bool SetListingValues(HKEY root, const char* key, const SetupContext& context, const char* icon) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[9];
    FormatInstallDate(date, now.wYear, now.wMonth, now.wDay);
    return SetStringValue(root, key, kIconValue, icon) &&
           SetStringValue(root, key, kVersionValue, context.appVersion ? context.appVersion : "") &&
           SetStringValue(root, key, kLocationValue, context.destination) &&
           SetDwordValue(root, key, kSizeValue, InstalledKilobytes(context)) &&
           SetStringValue(root, key, kDateValue, date) && SetDwordValue(root, key, kNoModifyValue, 1) &&
           SetDwordValue(root, key, kNoRepairValue, 1);
}

// Creates the key with every missing level above it. The journal lists each level that is
// missing before they are made; a rollback deletes exactly those.
UniqueKey CreateKeyLevels(HKEY root, const char* name) {
    UniqueKey key;
    key.Reset(CreateJournaledKey(root, name));
    return key;
}

// branch\application\version; false when a part is missing or the name does not fit.
bool AppKeyName(const SetupContext& context, const char* branch, char (&key)[kPathSize]) {
    if (context.appRegistry == nullptr || context.appVersion == nullptr) return false;
    return JoinPath(key, branch, context.appRegistry) && JoinPath(key, key, context.appVersion);
}

// Creates the empty application key; best effort.
void CreateAppKey(const SetupContext& context, HKEY root, const char* branch) {
    char name[kPathSize];
    if (AppKeyName(context, branch, name)) CreateKeyLevels(root, name);
}

}  // namespace

int ReadPreviousInstall(SetupContext& context) {
    char command[kPathSize];
    if (ReadUninstallString(context, command) < 0) return 0;
    const char* star = strchr(command, '*');
    if (star == nullptr) {
        // A command without the record's path is of no use: the entry is stale.
        DeleteRegistryRecords(context);
        return 0;
    }
    char folder[kPathSize], recordName[kPathSize];
    char parent[kPathSize], base[kPathSize];
    SplitPath(folder, recordName, star + 1);
    SplitPath(parent, base, folder);
    // A record path without two levels names no folder that could be proposed.
    if (parent[0] == '\0' || base[0] == '\0') return 0;
    if (lstrlenA(parent) == 2 && parent[1] == ':' && !AppendString(parent, "\\")) return 0;

    char* directory = DuplicateString(parent);
    if (directory == nullptr) {
        ShowMessage(GetSetupWindow(), IDS_NO_MEMORY);
        return -1;
    }
    free(context.directory);
    context.directory = directory;
    CopyString(context.baseName, base);
    JoinPath(context.destination, context.directory, context.baseName);
    return 0;
}

namespace {

// The question before the earlier installation is removed; its texts are gone before the
// removal starts, so the two never share a stack frame.
bool MayRemovePrevious(const SetupContext& context, HWND owner) {
    char caption[128];
    char format[512];
    if (win::LoadString(IDS_CAPTION, caption, sizeof caption) == 0 ||
        win::LoadString(IDS_PREVIOUS_INSTALL, format, sizeof format) == 0) {
        FatalError("LoadString");
    }
    char text[sizeof format + 3 * kPathSize];
    SubstituteText(text, sizeof text, format, context.title ? context.title : "");
    return g_messageBox(owner, text, caption, MB_ICONWARNING | MB_YESNO) != IDNO;
}

}  // namespace

int CheckPreviousInstall(SetupContext& context, HWND owner) {
    if (!UninstallKeyExists(context)) return 1;
    if (!MayRemovePrevious(context, owner)) return 0;
    RemovePreviousInstall(context);
    return 1;
}

void RemovePreviousInstall(SetupContext& context) {
    char command[kPathSize];
    if (ReadUninstallString(context, command) < 0) return;
    const char* star = strchr(command, '*');
    if (star != nullptr) RemoveInstallationByRecord(context, star + 1);
    DeleteRegistryRecords(context);
}

int WriteRegistryRecords(SetupContext& context) {
    char command[kPathSize];
    char keyName[kPathSize];
    char icon[kPathSize];
    const char* recordName = context.unZelkName ? context.unZelkName : kDefaultRecordName;
    // A path that does not fit would register a wrong one: a failure, not a cut.
    if (!FormatUninstallCommand(command, sizeof command, context.destination, recordName) ||
        !UninstallKeyName(context, keyName) || !JoinPath(icon, context.destination, ProgramIconName(context))) {
        ShowMessage(GetSetupWindow(), IDS_REGISTRY_FAILED);
        return -1;
    }
    {
        UniqueKey key = CreateKeyLevels(HKEY_LOCAL_MACHINE, keyName);
        const char* display = context.unRegDisplay ? context.unRegDisplay : "";
        if (!key || !SetStringValue(HKEY_LOCAL_MACHINE, keyName, kUninstallValue, command) ||
            !SetStringValue(HKEY_LOCAL_MACHINE, keyName, kDisplayValue, display) ||
            !SetListingValues(HKEY_LOCAL_MACHINE, keyName, context, icon)) {
            ShowMessage(GetSetupWindow(), IDS_REGISTRY_FAILED);
            return -1;
        }
    }
    CreateAppKey(context, HKEY_LOCAL_MACHINE, "Software\\ZELK");
    CreateAppKey(context, HKEY_CURRENT_USER, "SOFTWARE\\ZELK");
    return 0;
}

int DeleteRegistryRecords(SetupContext& context) {
    DeleteAppKeysOf(context.appRegistry, context.appVersion);
    char keyName[kPathSize];
    if (UninstallKeyName(context, keyName)) win::RegDeleteKey(HKEY_LOCAL_MACHINE, keyName);
    return 0;
}
