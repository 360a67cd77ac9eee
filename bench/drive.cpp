// Drives one installation or removal for the benchmark and prints its times in milliseconds,
// measured from the user's last decision, so that think time is left out.
//   drive install MEDIUM_FOLDER DESTINATION   prints "<start-up ms> <install ms>"
//   drive uninstall "COMMAND LINE" UNINSTALLER  prints "<uninstall ms>"
#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

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

static int Install(const std::string& medium, const std::string& destination) {
    double launched = Now();
    Process setup = Process::Start(medium + "\\setup.exe", "", medium);
    Window sheet = WaitForWindow(setup, WizardSheet(), 60000);
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
    Window done = WaitForWindow(setup, Dialog(IDD_FINISHED), 600000);
    double finished = Now();
    done.Press(IDOK);
    if (setup.WaitForExit(60000) != 0 || testing::Test::HasFailure()) return 1;
    printf("%.1f %.1f\n", welcome - launched, finished - finish);
    return 0;
}

static int Uninstall(const std::string& commandLine, const std::string& uninstaller) {
    Process unzelk = Process::StartCommandLine(commandLine);
    Window question = WaitForWindow(unzelk, MessageBoxWithText("を削除してもよろしいですか?"), 60000);
    double confirmed = Now();
    question.Press(IDYES);
    // The removal has ended when the companion has deleted the uninstaller itself.
    while (PathExists(uninstaller)) {
        if (Now() - confirmed > 600000) return 1;
        Window notice = FindWindowOf(unzelk, MessageBoxWithText(""));
        if (notice.Exists() && notice.handle() != question.handle()) notice.Press(IDOK);
        Sleep(1);
    }
    printf("%.1f\n", Now() - confirmed);
    return 0;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc == 4 && std::string(argv[1]) == "install") return Install(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "uninstall") return Uninstall(argv[2], argv[3]);
    fprintf(stderr, "usage: drive install MEDIUM DESTINATION | drive uninstall COMMAND UNINSTALLER\n");
    return 2;
}
