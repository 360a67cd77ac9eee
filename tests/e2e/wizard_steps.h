// Steps shared by the wizard, dialog and copy journeys: starting setup on a medium, moving
// through the wizard, answering its dialogs and looking at what it left on the machine.
#ifndef ZELK_E2E_WIZARD_STEPS_H
#define ZELK_E2E_WIZARD_STEPS_H

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "driver.h"
#include "ids.h"
#include "media.h"
#include "tests/support/files.h"
#include "tests/tools/progman_standin.h"

namespace e2e {

const char kSetupCaption[] = "ZELKセットアップ";
const char kSampleTitle[] = "ZELKサンプルゲーム";
const char kDefaultDestination[] = "C:\\Program Files\\ZELK\\SampleGame";
const DWORD kQuiet = 700;  // ms in which a window that is not to come would have come

// On Windows NT the start-menu step talks to Program Manager: a stand-in serves it while
// the object lives.
class StartMenuServer {
public:
    explicit StartMenuServer(WindowsVersion version) {
        if (version == WindowsVersion::Win95) return;
        CreateDirectoryA("C:\\zelk-media", nullptr);
        EXPECT_TRUE(standin_.Start(BuildFolder() + "\\testdata\\progman_standin.exe",
                                   "C:\\zelk-media\\progman.rec"))
            << "the Program Manager stand-in did not start";
    }

private:
    ProgmanStandin standin_;
};

// setup started on a medium, and its wizard.
struct WizardRun {
    Process setup;
    Window sheet;
};

inline WizardRun StartWizard(const Medium& medium) {
    WizardRun run;
    run.setup = medium.StartSetup();
    run.sheet = WaitForWindow(run.setup, WizardSheet());
    if (run.sheet.Exists()) WaitForPage(run.sheet, IDD_WELCOME_PAGE);
    return run;
}

// From the welcome page to the destination page.
inline Window ToDestinationPage(const WizardRun& run) {
    run.sheet.PressSheetButton(PSBTN_NEXT);
    return WaitForPage(run.sheet, IDD_DESTINATION_PAGE);
}

// Types a destination and presses Next.
inline void NextWith(const WizardRun& run, const Window& page, const std::string& destination) {
    page.SetText(IDC_DESTINATION_EDIT, destination);
    run.sheet.PressSheetButton(PSBTN_NEXT);
}

// Waits for setup's warning box with text, owned by owner, and presses OK.
inline void AnswerWarning(const Process& setup, const std::string& text, HWND owner) {
    Window box = WaitForWindow(setup, MessageBoxWithText(text, kSetupCaption));
    if (!box.Exists()) return;
    EXPECT_EQ(owner, GetWindow(box.handle(), GW_OWNER)) << Utf8(text);
    box.Press(IDOK);
    box.WaitClosed();
}

// True when no message box of setup comes up for a while.
inline bool NoWarningComes(const Process& setup) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kQuiet) {
        if (FindWindowOf(setup, MessageBoxWithText("", kSetupCaption)).Exists()) return false;
        Sleep(20);
    }
    return true;
}

// Waits for one of setup's dialogs, answers it with a button and waits for it to close.
inline void Answer(const Process& setup, int dialogId, int button) {
    Window dialog = WaitForWindow(setup, Dialog(dialogId));
    if (!dialog.Exists()) return;
    dialog.Press(button);
    dialog.WaitClosed();
}

// The sample script with lines added at the end of its keyword section and at the start
// of its file list.
inline std::string SampleScriptWith(const std::string& keywords, const std::string& files = "") {
    std::string script = SampleScript();
    size_t list = script.find("[Files]\r\n");
    if (list == std::string::npos) {
        ADD_FAILURE() << "the sample script has no [Files] section";
        return script;
    }
    script.insert(list + 9, files);
    script.insert(list, keywords);
    return script;
}

// A value sent to a control of another process's window.
inline LRESULT ControlMessage(const Window& window, int controlId, UINT message, WPARAM wParam = 0,
                              LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window.Control(controlId), message, wParam, lParam, SMTO_ABORTIFHUNG, 2000,
                        &result);
    return static_cast<LRESULT>(result);
}

// Number of kilobytes a "%luKb" text shows, or -1.
inline long long Kilobytes(const std::string& text) {
    if (text.size() < 3 || text.compare(text.size() - 2, 2, "Kb") != 0) return -1;
    return std::stoll(text.substr(0, text.size() - 2));
}

inline long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline FILETIME LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

using zelktest::FolderEntries;

}  // namespace e2e

#endif
