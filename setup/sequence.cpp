// The installation half of the sequence: from the earlier-installation question to the
// final dialog, with the rollback on every failure.
#include "setup.h"

#include "ids.h"
#include "journal.h"

#include "common/system.h"

int CreateDestination(SetupContext& context) {
    // The levels about to be made are listed first, for the undo of a run that is ended.
    context.dirDepth = NoteMissingFolders(context.destination) ? CreateDirectoryPath(context.destination) : -1;
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
    ListNewFiles(context);
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

// An earlier run of this product that was ended before it finished is undone first, with
// one notice. What could not be undone is named, and this run does not start: it could
// not tell its own changes from those.
static bool PutRightEndedRun(SetupContext& context) {
    char leftovers[1024];
    Recovery recovery = RestoreInterruptedRun(context, leftovers, sizeof leftovers);
    if (recovery == Recovery::None) return true;
    char caption[64];
    char text[512 + sizeof leftovers];
    int textId = recovery == Recovery::Undone ? IDS_RESTORED : IDS_RESTORED_PARTLY;
    if (LoadStringA(GetSetupInstance(), IDS_CAPTION, caption, sizeof caption) != 0 &&
        FormatTitleString(text, sizeof text, textId) == 0) {
        if (recovery == Recovery::Partly && AppendString(text, "\n\n")) AppendString(text, leftovers);
        UINT icon = recovery == Recovery::Undone ? MB_ICONINFORMATION : MB_ICONWARNING;
        g_messageBox(GetSetupWindow(), text, caption, MB_OK | icon);
    }
    return recovery == Recovery::Undone;
}

void RunInstallation(SetupContext& context) {
    if (!PutRightEndedRun(context) || CheckPreviousInstall(context, GetSetupWindow()) == 0) {
        ShowAbortedDialog();
        return;
    }
    BeginJournal(context);
    int wizard = RunSetupWizard(context);
    if (wizard <= 0) {
        // A sheet the system could not show (-1) is no Finish: the user chose nothing, so
        // nothing may be copied.
        if (wizard < 0) ShowApiError("PropertySheet");
        // The folder levels the wizard made, whatever destination it shows now.
        RollBackJournal();
        ShowAbortedDialog();
        return;
    }
    PumpMessages();

    HWND menuWait = nullptr;
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
