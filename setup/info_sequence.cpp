// The installation half of the sequence: from the earlier-installation question to the
// final dialog, with the rollback on every failure.
#include "setup.h"

#include "ids.h"
#include "journal.h"

#include "common/system.h"

int CreateDestination(SetupContext& context) {
    context.dirDepth = CreateDirectoryPath(context.destination);
    // Folder creation walks the path with the current directory.
    SetCurrentDirectoryA(context.sourceDir);
    if (context.dirDepth < 0) {
        ShowMessage(GetSetupWindow(), IDS_MKDIR_FAILED);
        return -1;
    }
    return 0;
}

int RunMenuStep(SetupContext& context) {
    if (CreateMenuItems(context) < 0) {
        ShowMessage(GetSetupWindow(), IDS_MENU_FAILED);
        return -1;
    }
    return 0;
}

// Steps 4 to 8: copy, menu, registry, record. 0 when all succeeded.
static int InstallEverything(SetupContext& context, HWND* menuWait) {
    if (RunCopyProgress() != 0) return -1;
    PumpMessages();
    *menuWait = ShowMenuWaitWindow();
    PumpMessages();
    if (RunMenuStep(context) != 0) return -1;
    PumpMessages();
    if (WriteRegistryRecords(context) != 0) return -1;
    PumpMessages();
    if (WriteUninstallRecord(context) != 0) return -1;
    return 0;
}

// Originals an interrupted earlier run of this product kept aside go back first, with one
// notice.
static void RestoreKeptOriginals(SetupContext& context) {
    if (!RestoreInterruptedRun(context)) return;
    char caption[64];
    char text[512];
    if (LoadStringA(GetSetupInstance(), IDS_CAPTION, caption, sizeof caption) == 0 ||
        FormatTitleString(text, sizeof text, IDS_RESTORED) != 0) {
        return;
    }
    g_messageBox(GetSetupWindow(), text, caption, MB_OK | MB_ICONINFORMATION);
}

void RunInstallation(SetupContext& context) {
    RestoreKeptOriginals(context);
    if (CheckPreviousInstall(context, GetSetupWindow()) == 0) {
        ShowAbortedDialog();
        return;
    }
    int wizard = RunSetupWizard(context);
    if (wizard <= 0) {
        // A sheet the system could not show (-1) is no Finish: the user chose nothing, so
        // nothing may be copied.
        if (wizard < 0) ShowApiError("PropertySheet");
        // The levels created for the folder typed last before Back, not those of the
        // destination now shown, which may be a folder of the user's.
        RemoveCreatedFolder();
        ShowAbortedDialog();
        return;
    }
    PumpMessages();

    HWND menuWait = nullptr;
    BeginJournal(context);
    if (InstallEverything(context, &menuWait) == 0) {
        CommitJournal();
        PumpMessages();
        if (menuWait != nullptr) DestroyWindow(menuWait);
        PumpMessages();
        ShowFinishedDialog();
        return;
    }
    if (menuWait != nullptr) DestroyWindow(menuWait);
    PumpMessages();
    RollBackInstallation(context);
    ShowAbortedDialog();
}
