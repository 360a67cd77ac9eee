// Where the time of an installation goes: each piece of the per-item work of the copy
// engine, timed alone over the same list of files, and the fixed steps around the copy.
// Linked with setup's own library and resources, so it times the very code setup runs.
//   profile MEDIUM_FOLDER DESTINATION   (MEDIUM_FOLDER holds setup.dat and the built-ins)
// Prints one line per piece: its name, total milliseconds and microseconds per item.
#include <shlobj.h>
#include <stdio.h>

#include "ids.h"
#include "setup/journal.h"
#include "setup/setup.h"

static double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

static int Items() { return g_setup.fileCount + 2; }

static void Source(int i, char (&path)[kPathSize]) {
    JoinPath(path, g_setup.srcDirectory, g_setup.fileSource[i]);
}

static void Dest(int i, char (&path)[kPathSize]) {
    JoinPath(path, g_setup.destination, InstalledFileName(g_setup, i));
}

static void Report(const char* name, double ms, int items) {
    printf("%-34s %8.1f ms %8.1f us/item\n", name, ms, ms * 1000.0 / (items ? items : 1));
}

template <typename Step>
static void PerItem(const char* name, Step step) {
    double start = Now();
    for (int i = 0; i < Items(); ++i) step(i);
    Report(name, Now() - start, Items());
}

static void ClearDestination() {
    for (int i = 0; i < Items(); ++i) {
        char dest[kPathSize];
        Dest(i, dest);
        SetFileAttributesA(dest, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(dest);
    }
}

static INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The progress dialog's own work per item, without copying: two path lines, a bar step
// and the message pump.
static void TimeProgressUi() {
    double start = Now();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_COPY_PROGRESS),
                                     nullptr, QuietProc, 0);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, Items()));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    Report("progress dialog: create and show", Now() - start, 1);
    PerItem("ui: two path lines", [&](int i) {
        char source[kPathSize], dest[kPathSize];
        Source(i, source);
        Dest(i, dest);
        SetItemText(dialog, IDC_SOURCE_PATH, source);
        SetItemText(dialog, IDC_DEST_PATH, dest);
    });
    PerItem("ui: bar step", [&](int) { SendMessageA(bar, PBM_STEPIT, 0, 0); });
    PerItem("ui: pump (nothing pending)", [&](int) { PumpMessages(); });
    PerItem("ui: lines + step + pump", [&](int i) {
        char source[kPathSize], dest[kPathSize];
        Source(i, source);
        Dest(i, dest);
        SetItemText(dialog, IDC_SOURCE_PATH, source);
        SetItemText(dialog, IDC_DEST_PATH, dest);
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        PumpMessages();
    });
    DestroyWindow(dialog);
}

static void TimeCopies() {
    ClearDestination();
    PerItem("CopyFileA (fresh)", [](int i) {
        char source[kPathSize], dest[kPathSize];
        Source(i, source);
        Dest(i, dest);
        CopyFileA(source, dest, FALSE);
    });
    PerItem("CopyFileA (replacing)", [](int i) {
        char source[kPathSize], dest[kPathSize];
        Source(i, source);
        Dest(i, dest);
        CopyFileA(source, dest, FALSE);
    });
    PerItem("SetFileAttributesA NORMAL", [](int i) {
        char dest[kPathSize];
        Dest(i, dest);
        SetFileAttributesA(dest, FILE_ATTRIBUTE_NORMAL);
    });
    PerItem("SHChangeNotify SHCNE_CREATE", [](int i) {
        char dest[kPathSize];
        Dest(i, dest);
        SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA, dest, nullptr);
    });
    ClearDestination();
    PerItem("CopyInstallFile (fresh)", [](int i) {
        char source[kPathSize], dest[kPathSize];
        Source(i, source);
        Dest(i, dest);
        CopyInstallFile(source, dest);
    });
    ClearDestination();
}

// The background window, painted whole and where a dialog of the usual size closed.
static void TimeBackground() {
    HWND window = GetSetupWindow();
    double start = Now();
    for (int i = 0; i < 10; ++i) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    Report("background: paint whole (each)", (Now() - start) / 10, 1);
    RECT dialog = {200, 200, 560, 320};
    start = Now();
    for (int i = 0; i < 10; ++i) {
        InvalidateRect(window, &dialog, FALSE);
        UpdateWindow(window);
    }
    Report("background: paint a dialog's area", (Now() - start) / 10, 1);
}

// A final notice and a wait window made and shown, once the dialog font is in use.
static void TimeNotices() {
    HWND warm = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FINISHED),
                                   nullptr, QuietProc, 0);
    DestroyWindow(warm);
    PumpMessages();
    double start = Now();
    HWND notice = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FINISHED),
                                     GetSetupWindow(), QuietProc, 0);
    ShowWindow(notice, SW_SHOW);
    UpdateWindow(notice);
    Report("finished dialog: create and show", Now() - start, 1);
    start = Now();
    DestroyWindow(notice);
    PumpMessages();
    Report("finished dialog: close, repaint", Now() - start, 1);
}

// Ends the wizard's modal loop once it is idle: the welcome page is then on screen.
static double wizardShown;

static void CALLBACK WizardIdle(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    wizardShown = Now();
    PostQuitMessage(0);
}

// The start-up steps, in setup's own order, each timed; then the wizard up to its first
// page. The process start itself is not among them.
static bool TimeStartup(const char* medium) {
    double start = Now();
    HWND splash = ShowInitWindow();
    Report("start-up: splash", Now() - start, 1);
    double step = Now();
    InitCommonControls();
    CoInitialize(nullptr);
    Report("start-up: common controls, COM", Now() - step, 1);
    step = Now();
    ScriptReport quiet = {};
    bool prepared = PrepareFolders(g_setup) == 0;
    // setup reads its script beside its own program; this one reads the medium's.
    CopyString(g_setup.sourceDir, medium);
    SetCurrentDirectoryA(medium);
    if (!prepared || ReadSetupScript(g_setup, "setup.dat", quiet) != 0 ||
        CompleteSetupScript(g_setup, quiet) != 0 || ReadPreviousInstall(g_setup) != 0) {
        return false;
    }
    Report("start-up: folders, script, earlier", Now() - step, 1);
    step = Now();
    if (ComputeRequiredSize(g_setup) != 0) return false;
    Report("start-up: required size", Now() - step, Items());
    step = Now();
    if (RegisterSetupWindowClass(GetModuleHandleA(nullptr)) != 0 || CreateSetupWindow() != 0) {
        return false;
    }
    DestroyWindow(splash);
    ShowWindow(GetSetupWindow(), SW_SHOWMAXIMIZED);
    UpdateWindow(GetSetupWindow());
    Report("start-up: background window", Now() - step, 1);
    step = Now();
    SetTimer(nullptr, 0, 0, WizardIdle);
    RunSetupWizard(g_setup);
    Report("start-up: wizard to its first page", wizardShown - step, 1);
    Report("start-up: all but the process start", wizardShown - start, 1);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return true;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: profile MEDIUM_FOLDER DESTINATION\n");
        return 2;
    }
    SetCurrentDirectoryA(argv[1]);
    if (!TimeStartup(argv[1])) {
        fprintf(stderr, "cannot read %s\\setup.dat\n", argv[1]);
        return 1;
    }
    CopyString(g_setup.destination, argv[2]);
    CreateDirectoryA(argv[2], nullptr);

    TimeCopies();
    TimeProgressUi();
    // The steps below are journaled as in setup: the list is begun, the new files listed
    // in one flushed write, and the run committed at the end.
    BeginJournal(g_setup);
    double listed = Now();
    ListNewFiles(g_setup);
    Report("journal: new files listed ahead", Now() - listed, Items());
    double engine = Now();
    RunCopyProgress();
    Report("copy engine in its dialog, whole", Now() - engine, Items());
    ClearDestination();

    TimeBackground();
    TimeNotices();

    double start = Now();
    HWND wait = ShowMenuWaitWindow();
    PumpMessages();
    Report("menu wait window", Now() - start, 1);
    start = Now();
    RunMenuStep(g_setup);
    Report("menu step", Now() - start, 1);
    start = Now();
    WriteRegistryRecords(g_setup);
    Report("registry records", Now() - start, 1);
    start = Now();
    WriteUninstallRecord(g_setup);
    Report("uninstall record", Now() - start, 1);
    start = Now();
    DestroyWindow(wait);
    PumpMessages();
    Report("menu wait window: close", Now() - start, 1);
    start = Now();
    CommitJournal();
    Report("journal: marked finished, removed", Now() - start, 1);
    DeleteRegistryRecords(g_setup);
    char record[kPathSize];
    JoinPath(record, g_setup.destination, g_setup.unZelkName);
    SetFileAttributesA(record, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(record);
    RemoveDirectoryA(argv[2]);
    return 0;
}
