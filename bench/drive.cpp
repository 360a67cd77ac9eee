// Drives one installation or removal for the benchmark and prints its times in milliseconds,
// measured from the user's last decision, so that think time is left out.
//   drive install MEDIUM_FOLDER DESTINATION       prints "<start-up ms> <install ms>"
//   drive uninstall "COMMAND LINE" INSTALL_FOLDER  prints "<uninstall ms>"
//
// The waits that end a measurement look every millisecond and only at what the window
// manager knows (class, owner process, control IDs), so that the driver neither delays
// the program by much nor sends it messages while it works.
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <stdio.h>

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

// A window of the process matching spec, looked for every millisecond.
static Window Await(const Process& process, const WindowSpec& spec, DWORD timeout) {
    double start = Now();
    while (Now() - start < timeout) {
        Window window = FindWindowOf(process, spec);
        if (window.Exists()) return window;
        if (!process.Running()) break;
        Sleep(1);
    }
    return WaitForWindow(process, spec, 0);  // fails the run and lists what is on screen
}

// A visible dialog of the process with the given caption (and, when given, these two
// controls). Looked for by class and caption, which the window manager answers without
// asking the busy program.
static HWND FindDialog(const Process& process, const char* caption, int control1 = 0,
                       int control2 = 0) {
    for (HWND window = nullptr;
         (window = FindWindowExA(nullptr, window, "#32770", caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process.id() && IsWindowVisible(window) &&
            (control1 == 0 || GetDlgItem(window, control1)) &&
            (control2 == 0 || GetDlgItem(window, control2))) {
            return window;
        }
    }
    return nullptr;
}

// Setup's final notice (finished or aborted: both have OK and the message line). While the
// copy progress is on screen the driver only looks every 10 ms whether it still is, so that
// its own calls take little from the copy; from then on it looks every millisecond.
static Window AwaitFinalNotice(const Process& setup, DWORD timeout) {
    double start = Now();
    HWND progress = nullptr;
    while (Now() - start < timeout) {
        if (progress != nullptr && IsWindow(progress)) {
            Sleep(10);
            continue;
        }
        if (HWND notice = FindDialog(setup, "ZELKセットアップ", IDOK, IDC_MESSAGE)) return Window(notice);
        if (progress == nullptr) progress = FindDialog(setup, "ファイルのコピー中です");
        if (!setup.Running()) break;
        Sleep(1);
    }
    WindowSpec spec;
    spec.controls = {IDOK, IDC_MESSAGE};
    return WaitForWindow(setup, spec, 0);  // fails the run and lists what is on screen
}

static int Install(const std::string& medium, const std::string& destination) {
    double launched = Now();
    Process setup = Process::Start(medium + "\\setup.exe", "", medium);
    Window sheet = Await(setup, WizardSheet(), 60000);
    WaitForPage(sheet, IDD_WELCOME_PAGE);
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
    Process unzelk = Process::StartCommandLine(commandLine);
    Window question = Await(unzelk, MessageBoxWithText("を削除してもよろしいですか?"), 60000);
    double confirmed = Now();
    question.Press(IDYES);
    // unZELK ends after starting its companion; a notice on the way (none is expected for
    // the benchmark's payloads) is answered.
    for (int tick = 1; unzelk.Running(); ++tick) {
        if (Now() - confirmed > 600000) return 1;
        if (tick % 20 == 0) {
            Window notice = FindWindowOf(unzelk, MessageBoxWithText(""));
            if (notice.Exists() && notice.handle() != question.handle()) notice.Press(IDOK);
        }
        Sleep(1);
    }
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
