// Start-menu entries: shortcut files in a folder of the Programs menu on Windows 95,
// a Program Manager group with its items on Windows NT.
#include "setup.h"

#include <shlobj.h>

#include "common/command.h"
#include "common/handles.h"
#include "common/progman.h"
#include "common/shell.h"
#include "common/system.h"
#include "common/uninst.h"
#include "journal.h"
#include "setup_api.h"
#include "common/wintext.h"

namespace {

// The group folder under the Programs folder, created (one level) when missing.
bool PrepareGroupFolder(const char* group, char (&folder)[kPathSize]) {
    char programs[kPathSize];
    // Without the Programs folder the group would land in the current drive's root.
    if (!GetProgramsFolder(programs) || !JoinPath(folder, programs, group)) return false;
    if (DirectoryExists(folder)) return true;
    if (CreateJournaledFolders(folder) < 0) return false;
    NotifyShell(SHCNE_MKDIR, folder);
    return true;
}

// Where file i is installed.
bool TargetPath(const SetupContext& context, int i, char (&target)[kPathSize]) {
    return JoinPath(target, context.destination, InstalledFileName(context, i));
}

int CreateShellLinks(const SetupContext& context) {
    char folder[kPathSize];
    if (!PrepareGroupFolder(context.menuGroup, folder)) return -1;
    for (int i = 0; i < context.fileCount; ++i) {
        const char* item = context.fileMenuItem[i];
        if (item == nullptr) continue;
        char target[kPathSize];
        char link[kPathSize];
        // A shortcut of the same name that was there is kept aside, for the rollback.
        if (!TargetPath(context, i, target) || !JoinPath(link, folder, item) ||
            !AppendString(link, ".lnk") || !PrepareToWrite(link)) {
            return -1;
        }
        if (CreateShellLink(target, link, "", context.destination) != S_OK) return -1;
    }
    // The uninstaller gets no shortcut here: Add/Remove Programs starts it.
    return 0;
}

}  // namespace

int CreateMenuItems(SetupContext& context) {
    if (context.menuGroup == nullptr || context.menuGroup[0] == '\0') return 0;
    if (IsWindowsNT()) return CreateProgmanItems(context);
    return CreateShellLinks(context);
}

HRESULT CreateShellLink(const char* target, const char* linkPath, const char* arguments,
                        const char* workingFolder) {
    ComPtr<IShellLinkA> link;
    HRESULT result = sys::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, link.PutVoid());
    if (FAILED(result)) return result;
    link->SetPath(target);
    link->SetWorkingDirectory(workingFolder);
    link->SetArguments(arguments);

    ComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(result)) return result;
    WCHAR widePath[kPathSize];
    if (!win::ToUtf16(linkPath, widePath, kPathSize)) return E_FAIL;
    return file->Save(widePath, TRUE);
}

int CreateProgmanItems(SetupContext& context) {
    const char* group = context.menuGroup;
    if (!CreateJournaledProgmanGroup(group)) return -1;
    for (int i = 0; i < context.fileCount; ++i) {
        const char* item = context.fileMenuItem[i];
        if (item == nullptr) continue;
        // The program path is always quoted, blanks or not.
        char target[kPathSize];
        char commandLine[kPathSize + 2] = "\"";
        if (!TargetPath(context, i, target) || !AppendString(commandLine, target) ||
            !AppendString(commandLine, "\"")) {
            return -1;
        }
        if (!AddJournaledProgmanItem(group, commandLine, item)) return -1;
    }
    if (context.menuUninst == nullptr) return 0;

    // The uninstaller's item carries the same command line as the registered uninstall entry.
    char commandLine[kPathSize];
    const char* recordName = context.unZelkName ? context.unZelkName : kDefaultRecordName;
    if (!FormatUninstallCommand(commandLine, sizeof commandLine, context.destination, recordName)) {
        return -1;
    }
    return AddJournaledProgmanItem(group, commandLine, context.menuUninst) ? 0 : -1;
}
