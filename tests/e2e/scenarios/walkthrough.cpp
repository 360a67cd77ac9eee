// A whole installation and removal of the sample, with a picture of the screen at each step.
// It runs only when ZELK_SCREENSHOTS names a folder for the pictures (scripts/screenshots
// sets it and provides a real display); in the ordinary test run it is skipped.
// ZELK_SCREENSHOTS_CODEPAGE=1252 starts the programs as a Western Windows would.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "driver.h"
#include "ids.h"
#include "media.h"

#include <commctrl.h>
#include <prsht.h>

using namespace e2e;

namespace {

constexpr DWORD kSettle = 600;  // ms for a window to paint before its picture is taken
const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELKSampleGame";

// The pictures' folder as Wine sees it: a Linux path lies on drive Z:.
std::string ScreenshotFolder() {
    const char* folder = getenv("ZELK_SCREENSHOTS");
    if (folder == nullptr || *folder == '\0') return "";
    std::string path = folder;
    if (path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
    }
    return path;
}

class Walkthrough : public testing::Test {
protected:
    void SetUp() override {
        folder_ = ScreenshotFolder();
        if (folder_.empty()) GTEST_SKIP() << "ZELK_SCREENSHOTS is not set";
        ResetMachine();
        const char* codePage = getenv("ZELK_SCREENSHOTS_CODEPAGE");
        if (codePage != nullptr && *codePage != '\0') SetProgramsCodePage(atoi(codePage));
    }
    void TearDown() override { SetProgramsCodePage(932); }

    // Saves the screen as <folder>\<name>.bmp once the windows have painted.
    void Snap(const char* name) {
        Sleep(kSettle);
        std::string path = folder_ + "\\" + name + ".bmp";
        EXPECT_TRUE(SaveScreenshot(path)) << "cannot save " << path;
    }

    std::string folder_;
};

// Waits until a window matching spec shows, or until done() says the step went on
// without it; returns the window or an empty one. Never fails the test by itself.
template <typename Done>
Window WaitForOptional(const Process& process, const WindowSpec& spec, Done done,
                       DWORD timeout = kDefaultTimeout) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        Window window = FindWindowOf(process, spec);
        if (window.Exists() || done()) return window;
        Sleep(20);
    }
    return Window();
}

TEST_F(Walkthrough, InstallAndRemoveTheSample) {
    Medium medium("walkthrough");
    Process setup = medium.StartSetup();

    // The background window first, alone: the wizard is hidden for the picture.
    Window sheet = WaitForWindow(setup, WizardSheet());
    if (HasFailure()) return;
    ShowWindow(sheet.handle(), SW_HIDE);
    Snap("01-background");
    ShowWindow(sheet.handle(), SW_SHOW);

    WaitForPage(sheet, IDD_WELCOME_PAGE);
    if (HasFailure()) return;
    Snap("02-welcome");
    sheet.PressSheetButton(PSBTN_NEXT);

    Window page = WaitForPage(sheet, IDD_DESTINATION_PAGE);
    if (HasFailure()) return;
    std::string destination = page.Text(IDC_DESTINATION_EDIT);
    Snap("03-destination");
    sheet.PressSheetButton(PSBTN_NEXT);

    // A destination that does not exist yet is offered for creation first.
    Window create = WaitForOptional(setup, Dialog(IDD_CREATE_FOLDER), [&] {
        return !sheet.CurrentPage().HasControl(IDC_DESTINATION_EDIT);
    });
    if (create.Exists()) {
        Snap("04-create-folder");
        create.Press(IDB_CREATE_FOLDER);
    }

    WaitForPage(sheet, IDD_READY_PAGE);
    if (HasFailure()) return;
    Snap("05-ready");

    // The sample copies in a blink. To catch the progress half-way, the fourth of its five
    // files (a plain copy) is held open: its copy fails, and the failure dialog holds the
    // copy until the file is let go and "copy again" is pressed.
    HANDLE held = CreateFileA((destination + "\\unZELK.exe").c_str(), GENERIC_READ | GENERIC_WRITE,
                              0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    sheet.PressSheetButton(PSBTN_FINISH);
    Window progress = WaitForWindow(setup, Dialog(IDD_COPY_PROGRESS));
    Window failed = WaitForOptional(setup, Dialog(IDD_COPY_FAILED), [&] {
        return held == INVALID_HANDLE_VALUE || !progress.Exists();
    });
    if (failed.Exists()) {
        Snap("07-copy-failed");
        ShowWindow(failed.handle(), SW_HIDE);
        Snap("06-copy-progress");
        ShowWindow(failed.handle(), SW_SHOW);
    }
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    if (failed.Exists()) failed.Press(IDB_COPY_AGAIN);

    Window finished = WaitForWindow(setup, Dialog(IDD_FINISHED), 60000);
    if (HasFailure()) return;
    Snap("08-finished");
    finished.Press(IDOK);
    setup.WaitForExit();

    // The removal, started as the system's control panel would start it.
    std::string command = RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    ASSERT_NE("<missing>", command);
    Process unzelk = Process::StartCommandLine(command);
    Window ask = WaitForWindow(unzelk, MessageBoxWithText(
        "ZELKサンプルゲームを削除してもよろしいですか?", "ZELKアンインストーラ"));
    if (HasFailure()) return;
    Snap("09-uninstall-question");
    ask.Press(IDYES);
    unzelk.WaitForExit(60000);
}

}  // namespace
