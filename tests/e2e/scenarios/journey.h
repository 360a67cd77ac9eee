// Steps that several scenarios share: a whole installation through the wizard, Program
// Manager for Windows NT, and the two systems a scenario runs on.
#ifndef ZELK_E2E_SCENARIOS_JOURNEY_H
#define ZELK_E2E_SCENARIOS_JOURNEY_H

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <string>

#include "driver.h"
#include "ids.h"
#include "media.h"
#include "removal_steps.h"
#include "tests/tools/progman_standin.h"

namespace e2e {

// Walks the wizard of a started setup to the end: welcome, destination (typed in when
// given, else the proposed one), folder creation when offered, ready, copy, finished.
// Returns the destination that was used.
inline std::string InstallThroughWizard(Process& setup, const std::string& destination = "") {
    std::string used;
    Window sheet = ToReadyPage(setup, destination, &used);
    if (!sheet.Exists() || testing::Test::HasFailure()) return "";
    sheet.PressSheetButton(PSBTN_FINISH);

    // The finished dialog, or a message box of setup that says why it does not come.
    WindowSpec box;
    box.caption = "ZELKセットアップ";
    box.controls = {0xFFFF};
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        Window finished = FindWindowOf(setup, Dialog(IDD_FINISHED));
        if (finished.Exists()) {
            finished.Press(IDOK);
            setup.WaitForExit();
            return used;
        }
        Window message = FindWindowOf(setup, box);
        if (message.Exists() && !message.HasControl(IDC_MESSAGE)) {
            ADD_FAILURE() << "the installation stopped with: " << Utf8(message.AllText());
            return "";
        }
        Sleep(20);
    }
    ADD_FAILURE() << "the installation did not finish; on screen:\n" << DescribeWindows(setup);
    return "";
}

// Windows NT's Program Manager, played by the stand-in that records every command. The
// test bench runs no desktop shell, so without it no Program Manager answers and the
// start-menu step of an installation on NT fails. Stops when it goes out of scope.
inline bool StartProgramManager(ProgmanStandin& standin, const std::string& record = "C:\\zelk-media\\progman.rec") {
    CreateDirectoryA("C:\\zelk-media", nullptr);
    return standin.Start(BuildFolder() + "\\testdata\\progman_standin.exe", record);
}

inline std::string ProgramsFolderPath() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

inline bool IsNT(WindowsVersion version) {
    return version != WindowsVersion::Win95 && version != WindowsVersion::Win98;
}

inline std::string SystemName(const testing::TestParamInfo<WindowsVersion>& info) {
    // In the order of the enumeration.
    static const char* const names[] = {"Win95", "NT40", "NT351", "Win98", "Win2k", "WinXP", "Win7", "Win10"};
    return names[static_cast<int>(info.param)];
}

}  // namespace e2e

#endif
