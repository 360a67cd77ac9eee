// Drives one installation or removal for the benchmark and prints its times in milliseconds,
// measured from the user's last decision, so that think time is left out.
//   drive install MEDIUM_FOLDER DESTINATION       prints "<start-up ms> <install ms>"
//   drive uninstall "COMMAND LINE" INSTALL_FOLDER  prints "<uninstall ms>"
//
// The waits that end a measurement sleep until the window manager reports a new window of
// the program, then look at what it knows (class, owner process, control IDs), so that the
// driver neither loads the machine nor sends the program messages while it works.
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <stdio.h>

#include <deque>

#include "driver.h"
#include "ids.h"
#include "media.h"

using namespace e2e;

static double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// The top-level windows that other programs create, as the window manager reports them:
// the driver sleeps until one appears instead of looking again and again, so that its own
// calls take nothing from the program it times.
static std::deque<HWND> created;

static void CALLBACK WindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child,
                                   DWORD, DWORD) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF) created.push_back(window);
}

static void WatchWindows() {
    SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, WindowCreated, 0, 0,
                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

// Sleeps until a window is created, the process ends or milliseconds pass; true for a window.
static bool AwaitCreation(HANDLE process, double milliseconds) {
    double end = Now() + milliseconds;
    while (created.empty()) {
        double left = end - Now();
        if (left <= 0) return false;
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(left) + 1,
                                                QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

// A new dialog of the program is shown moments after its creation: it is looked at every
// millisecond until then. (The program's other top-level windows, some of which are never
// shown, are not what the driver waits for.)
static void AwaitShown(HWND window, const Process& process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != process.id() || GetAncestor(window, GA_PARENT) != GetDesktopWindow() ||
        lstrcmpA(name, "#32770") != 0) {
        return;
    }
    for (double start = Now(); Now() - start < 1000 && IsWindow(window); Sleep(1)) {
        if (IsWindowVisible(window)) return;
    }
}

// The window that find names, looked for whenever the process has shown a new top-level
// window (and every 100 ms in any case).
template <typename Find>
static HWND AwaitWindow(const Process& process, Find find, DWORD timeout) {
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process.id());
    double start = Now();
    HWND window = find();
    while (window == nullptr && Now() - start < timeout && process.Running()) {
        if (AwaitCreation(handle, 100)) {
            HWND next = created.front();
            created.pop_front();
            AwaitShown(next, process);
        }
        window = find();
    }
    CloseHandle(handle);
    return window;
}

static Window Await(const Process& process, const WindowSpec& spec, DWORD timeout) {
    HWND window = AwaitWindow(process, [&] { return FindWindowOf(process, spec).handle(); }, timeout);
    if (window != nullptr) return Window(window);
    return WaitForWindow(process, spec, 0);  // fails the run and lists what is on screen
}

// The wizard shows its page before the sheet itself; the page is looked at every
// millisecond for the moment between the two.
static bool AwaitPage(const Window& sheet, int pageId) {
    for (double start = Now(); Now() - start < 10000; Sleep(1)) {
        Window page = sheet.CurrentPage();
        if (page.Exists() && IsWindowVisible(page.handle()) &&
            page.HasControl(pageId == IDD_WELCOME_PAGE ? IDC_WELCOME_HINT : IDC_DESTINATION_EDIT)) {
            return true;
        }
    }
    return WaitForPage(sheet, pageId, 0).Exists();
}

// A visible dialog of the process with the given caption and controls, looked for by class
// and caption, which the window manager answers without asking the busy program.
static HWND FindDialog(const Process& process, const char* caption, int control1, int control2) {
    for (HWND window = nullptr;
         (window = FindWindowExA(nullptr, window, "#32770", caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process.id() && IsWindowVisible(window) && GetDlgItem(window, control1) &&
            GetDlgItem(window, control2)) {
            return window;
        }
    }
    return nullptr;
}

// Setup's final notice (finished or aborted: both have OK and the message line).
static Window AwaitFinalNotice(const Process& setup, DWORD timeout) {
    HWND notice = AwaitWindow(
        setup, [&] { return FindDialog(setup, "ZELKセットアップ", IDOK, IDC_MESSAGE); }, timeout);
    if (notice != nullptr) return Window(notice);
    WindowSpec spec;
    spec.controls = {IDOK, IDC_MESSAGE};
    return WaitForWindow(setup, spec, 0);  // fails the run and lists what is on screen
}

static int Install(const std::string& medium, const std::string& destination) {
    WatchWindows();
    double launched = Now();
    Process setup = Process::Start(medium + "\\setup.exe", "", medium);
    Window sheet = Await(setup, WizardSheet(), 60000);
    if (!AwaitPage(sheet, IDD_WELCOME_PAGE)) return 1;
    double welcome = Now();
    sheet.PressSheetButton(PSBTN_NEXT);
    Window page = WaitForPage(sheet, IDD_DESTINATION_PAGE);
    page.SetText(IDC_DESTINATION_EDIT, destination);
    sheet.PressSheetButton(PSBTN_NEXT);
    Window create = WaitForWindow(setup, Dialog(IDD_CREATE_FOLDER));
    create.Press(IDB_CREATE_FOLDER);
    WaitForPage(sheet, IDD_READY_PAGE);
    double finish = Now();
    sheet.PressSheetButton(PSBTN_FINISH);
    Window done = AwaitFinalNotice(setup, 600000);
    double finished = Now();
    if (done.Text(IDC_MESSAGE).find("のセットアップが完了しました") == std::string::npos) {
        fprintf(stderr, "setup did not finish: %s\n", Utf8(done.Text(IDC_MESSAGE)).c_str());
        return 1;
    }
    done.Press(IDOK);
    if (setup.WaitForExit(60000) != 0 || testing::Test::HasFailure()) return 1;
    printf("%.1f %.1f\n", welcome - launched, finished - finish);
    return 0;
}

// The companion's process, found by its program's name, opened for waiting.
static HANDLE OpenCompanion() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    HANDLE found = nullptr;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        if (strstr(entry.szExeFile, "rmZELK") != nullptr) {
            found = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return found;
}

static int Uninstall(const std::string& commandLine, const std::string& folder) {
    WatchWindows();
    Process unzelk = Process::StartCommandLine(commandLine);
    Window question = Await(unzelk, MessageBoxWithText("を削除してもよろしいですか?"), 60000);
    double confirmed = Now();
    question.Press(IDYES);
    // unZELK ends after starting its companion; a notice on the way (none is expected for
    // the benchmark's payloads) is answered.
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, unzelk.id());
    while (unzelk.Running()) {
        if (Now() - confirmed > 600000) return 1;
        if (!AwaitCreation(handle, 100) || created.empty()) continue;
        HWND next = created.front();
        created.pop_front();
        AwaitShown(next, unzelk);
        Window notice = FindWindowOf(unzelk, MessageBoxWithText(""));
        if (notice.Exists() && notice.handle() != question.handle()) notice.Press(IDOK);
    }
    CloseHandle(handle);
    // The companion waits for unZELK to end, then deletes it and the folders; the removal
    // has ended when the companion has.
    if (HANDLE companion = OpenCompanion()) {
        WaitForSingleObject(companion, 600000);
        CloseHandle(companion);
    }
    double ended = Now();
    if (PathExists(folder)) {
        fprintf(stderr, "the installation folder is still there\n");
        return 1;
    }
    printf("%.1f\n", ended - confirmed);
    return 0;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc == 4 && std::string(argv[1]) == "install") return Install(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "uninstall") return Uninstall(argv[2], argv[3]);
    fprintf(stderr, "usage: drive install MEDIUM DESTINATION | drive uninstall COMMAND FOLDER\n");
    return 2;
}
