// The sequence: the steps of start-up and of the installation, and the installation from the
// earlier-installation question to the final dialog, with the rollback on every failure.
#include "setup.h"

#include "ids.h"
#include "journal.h"

#include "common/system.h"
#include "common/wintext.h"

int CreateDestination(SetupContext& context) {
    // The levels about to be made are listed first, for the undo of a run that is ended.
    context.dirDepth = CreateJournaledFolders(context.destination);
    // Folder creation walks the path with the current directory.
    win::SetCurrentDirectory(context.sourceDir);
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

StepWatch g_stepWatch = nullptr;

int RunSteps(const SetupStep* steps, int count, SetupContext& context, bool pump) {
    for (int i = 0; i < count; ++i) {
        if (g_stepWatch != nullptr) g_stepWatch(steps[i].name, false);
        int result = steps[i].run(context);
        if (g_stepWatch != nullptr) g_stepWatch(steps[i].name, true);
        if (result != 0) return -1;
        if (pump) PumpMessages();
    }
    return 0;
}

// The menu-registration wait window, from the menu step on until the installation ends.
static HWND menuWait;

static int ListAhead(SetupContext& context) {
    ListNewFiles(context);
    return 0;
}

static int CopyStep(SetupContext&) { return RunCopyProgress(); }

static int ShowMenuWait(SetupContext&) {
    menuWait = ShowMenuWaitWindow();
    return 0;
}

static int CommitStep(SetupContext&) {
    CommitJournal();
    return 0;
}

// After the wizard's Finish: copy, menu, registry, record, and the commit once all of them
// succeeded.
const SetupStep kInstallSteps[7] = {
    {"journal: new files listed ahead", ListAhead},
    {"copy", CopyStep},
    {"menu wait window", ShowMenuWait},
    {"menu", RunMenuStep},
    {"registry records", WriteRegistryRecords},
    {"uninstall record", WriteUninstallRecord},
    {"journal: commit", CommitStep},
};

static void CloseMenuWait() {
    if (menuWait != nullptr) DestroyWindow(menuWait);
    menuWait = nullptr;
    PumpMessages();
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
    if (win::LoadString(IDS_CAPTION, caption, sizeof caption) != 0 &&
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

    if (RunSteps(kInstallSteps, context, true) == 0) {
        CloseMenuWait();
        ShowFinishedDialog();
        return;
    }
    CloseMenuWait();
    RollBackInstallation(context);
    ShowAbortedDialog();
}
