// Where the time of an installation goes: setup's own steps of start-up and of the
// installation, run from its step tables and timed through its step watch, and each piece
// of the copy engine's per-item work, timed alone over the same list of files. Linked with
// setup's own library and resources, so it times the very code setup runs.
//   profile DESTINATION   (the program copied into the medium's folder, beside setup.dat)
// Prints one line per piece: its name, total milliseconds and microseconds per item.
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "common/wintext.h"
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

// A copy of one file by reading and writing it through a buffer of the given size, as a
// program of its own would copy it instead of asking the system to: whether a larger
// buffer than the system copy's own would help the large files.
static void CopyThrough(char* buffer, DWORD size, int i) {
    char source[kPathSize], dest[kPathSize];
    Source(i, source);
    Dest(i, dest);
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    HANDLE out = CreateFileA(dest, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD read = 0, written = 0;
    while (ReadFile(in, buffer, size, &read, nullptr) && read != 0 &&
           WriteFile(out, buffer, read, &written, nullptr) && written == read) {
    }
    CloseHandle(out);
    CloseHandle(in);
}

static void TimeBufferedCopies() {
    static const DWORD kSizes[] = {64 * 1024, 1024 * 1024, 8 * 1024 * 1024};
    for (DWORD size : kSizes) {
        char* buffer = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (buffer == nullptr) continue;
        ClearDestination();
        char name[48];
        wsprintfA(name, "copy loop, %u KiB buffer (fresh)", static_cast<unsigned>(size / 1024));
        PerItem(name, [&](int i) { CopyThrough(buffer, size, i); });
        VirtualFree(buffer, 0, MEM_RELEASE);
    }
    ClearDestination();
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
    TimeBufferedCopies();
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

// The two pieces of start-up outside its steps, timed again here: the wait window shown
// while the steps run, and the background window brought from minimized to maximized and
// painted (setup shows it so once the steps are done).
static void TimeStartupWindows() {
    double start = Now();
    HWND splash = ShowInitWindow();
    Report("start-up: wait window shown", Now() - start, 1);
    start = Now();
    DestroyWindow(splash);
    Report("start-up: wait window closed", Now() - start, 1);
    HWND window = GetSetupWindow();
    ShowWindow(window, SW_SHOWMINIMIZED);
    PumpMessages();
    start = Now();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    Report("start-up: window maximized, painted", Now() - start, 1);
}

// What measuring the size of each source file costs against one listing of the folder that
// holds them. Start-up opened every file first, so these opens are warm; start-up's own
// line ("required size") is the cold cost.
static void TimeSourceLooks() {
    PerItem("source: open, close each file (warm)", [](int i) {
        char source[kPathSize];
        Source(i, source);
        HANDLE file = win::CreateFile(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    });
    char pattern[kPathSize];
    JoinPath(pattern, g_setup.srcDirectory, "*");
    double start = Now();
    int entries = 0;
    win::ListFolder(pattern, [](const char*, const win::FoundEntry&, void* count) { ++*static_cast<int*>(count); },
                    &entries);
    Report("source: one listing of the folder", Now() - start, entries);
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

// Each step of setup's own tables (setup.h), timed as setup runs it: the watch sees every
// step begin and end; steps within a step are shown indented.
static int stepDepth;
static double stepStarts[8];
static int stepItems = 1;  // what a step's time is divided by: 1, or the files of the list

// The journal's commit in two: what it flushes before its mark, then the mark and the end
// of the list.
static double commitStarted;
static void TimeCommit(JournalStep step) {
    if (step == JournalStep::Complete) commitStarted = Now();
    if (step == JournalStep::Commit) Report("    journal: flushes before the mark", Now() - commitStarted, stepItems);
}

static void TimeStep(const char* name, bool done) {
    if (!done) {
        if (stepDepth < 8) stepStarts[stepDepth] = Now();
        ++stepDepth;
        return;
    }
    --stepDepth;
    if (stepDepth >= 8) return;
    char label[64];
    wsprintfA(label, "%s%s", stepDepth == 0 ? "" : "  ", name);
    Report(label, Now() - stepStarts[stepDepth], stepItems);
}

// Ends the wizard's modal loop once it is idle: the welcome page is then on screen.
static double wizardShown;

static void CALLBACK WizardIdle(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    wizardShown = Now();
    PostQuitMessage(0);
}

// From the process's creation to its first line of main: the loader, the DLLs it loads,
// the DLLs loaded first thing from the system folder and the function tables looked up.
// Both clocks count from the same origin as the system's time of day.
static double SinceProcessCreated() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER from = {{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER to = {{now.dwLowDateTime, now.dwHighDateTime}};
    return (to.QuadPart - from.QuadPart) / 10000.0;
}

// Start-up as setup runs it, then the wizard up to its first page.
static bool TimeStartup(double beforeMain) {
    printf("start-up:\n");
    Report("process created to main", beforeMain, 1);
    double start = Now();
    if (InitializeSetup(GetModuleHandleA(nullptr)) != 0) return false;
    Report("start-up: all steps, window shown", Now() - start, 1);
    double step = Now();
    SetTimer(nullptr, 0, 0, WizardIdle);
    RunSetupWizard(g_setup);
    Report("start-up: wizard to its first page", wizardShown - step, 1);
    Report("start-up: all but the process start", wizardShown - start, 1);
    Report("start-up: from the process's creation", wizardShown - start + beforeMain, 1);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return true;
}

// The start-up section comes from a second run of this program, started as setup.exe is
// started by a user's shell (by CreateProcess, not by Wine's loader from outside), so that
// its first line is what a process start costs there. It writes to this one's output.
static bool TimeStartupInChild(const char* destination) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    char commandLine[3 * MAX_PATH];
    wsprintfA(commandLine, "\"%s\" \"%s\" --start-up", self, destination);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    fflush(stdout);
    if (!CreateProcessA(self, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        return false;
    }
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code == 0;
}

// Lives in the medium's folder beside setup.dat, as setup.exe does, so that start-up reads
// the medium's script.
int main(int argc, char** argv) {
    double beforeMain = SinceProcessCreated();
    bool startUpOnly = argc == 3 && strcmp(argv[2], "--start-up") == 0;
    if (argc != 2 && !startUpOnly) {
        fprintf(stderr, "usage: profile DESTINATION (the program in the medium's folder)\n");
        return 2;
    }
    if (startUpOnly) {
        g_stepWatch = TimeStep;
        bool started = TimeStartup(beforeMain);
        fflush(stdout);
        return started ? 0 : 1;
    }
    if (!TimeStartupInChild(argv[1]) || InitializeSetup(GetModuleHandleA(nullptr)) != 0) {
        fprintf(stderr, "start-up failed: is setup.dat beside the program?\n");
        return 1;
    }
    CopyString(g_setup.destination, argv[1]);
    CreateDirectoryA(argv[1], nullptr);

    TimeStartupWindows();
    TimeSourceLooks();
    TimeCopies();
    TimeProgressUi();
    TimeBackground();
    TimeNotices();

    // The installation's steps after the wizard, journaled as in setup.
    printf("installation (us/item: per file):\n");
    stepItems = Items();
    BeginJournal(g_setup);
    g_stepWatch = TimeStep;
    g_journalWatch = TimeCommit;
    double start = Now();
    int result = RunSteps(kInstallSteps, g_setup, true);
    Report("installation: all steps", Now() - start, Items());
    g_stepWatch = nullptr;

    DeleteRegistryRecords(g_setup);
    ClearDestination();
    char record[kPathSize];
    JoinPath(record, g_setup.destination, g_setup.unZelkName);
    SetFileAttributesA(record, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(record);
    RemoveDirectoryA(argv[1]);
    return result == 0 ? 0 : 1;
}
