// Starting setup: one instance at a time, the background window, the supported systems.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "journey.h"
#include "media.h"

using namespace e2e;

namespace {

class Startup : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(GetParam());
    }
};

// The background window of a running setup, found by its class.
Window WaitForBackground(const Process& setup) {
    WindowSpec spec;
    spec.className = "ZELKSetupWndClass";
    return WaitForWindow(setup, spec);
}

TEST_P(Startup, SecondInstanceEndsAtOnceAndShowsNothing) {
    Medium medium("startup");
    Process first = medium.StartSetup();
    Window sheet = WaitForWindow(first, WizardSheet());
    Process second = medium.StartSetup();
    EXPECT_EQ(0, second.WaitForExit(5000));
    EXPECT_TRUE(ShowsNothing(second, 0));
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(sheet.Exists());
}

// A setup of another logon session holds the marker in the global namespace on NT: this
// one ends all the same, for the journal list is the machine's.
TEST_P(Startup, ASetupOfAnotherSessionKeepsThisOneOut) {
    HANDLE held = CreateMutexA(nullptr, FALSE, IsNT(GetParam()) ? "Global\\ZELKSetupMutex" : "ZELKSetupMutex");
    ASSERT_NE(nullptr, held);
    Medium medium("startup");
    Process setup = medium.StartSetup();
    EXPECT_EQ(0, setup.WaitForExit(5000));
    EXPECT_TRUE(ShowsNothing(setup, 0));
    CloseHandle(held);
}

TEST_P(Startup, BackgroundWindowIsMaximisedWithTheCaption) {
    Medium medium("startup");
    Process setup = medium.StartSetup();
    Window background = WaitForBackground(setup);
    WaitForWindow(setup, WizardSheet());
    EXPECT_EQ("ZELKサンプルゲーム セットアップ", background.Caption());
    EXPECT_TRUE(IsZoomed(background.handle()));
}

// A Windows 95 of another language: setup started from the Unix side in an English locale
// gets code page 1252 from Wine (a Windows parent cannot change it for its child). The box
// belongs to a process the driver did not start, so it is found by its caption.
TEST(StartupForeignCodePage, Windows95SaysSoInEnglishAndChangesNothing) {
    ResetMachine();
    SetWindowsVersion(WindowsVersion::Win95);
    Medium medium("startup");
    Process shell = Process::StartCommandLine(
        "/bin/sh -c \"LC_ALL=en_US.UTF-8 exec $ZELK_MODE_LOADER '" + medium.Path("setup.exe") + "'\"");
    HWND box = nullptr;
    for (int i = 0; i < 200 && box == nullptr; ++i) {
        Sleep(100);
        box = FindWindowA("#32770", "ZELK");
    }
    if (box == nullptr) {  // setup went on: end it, or the run would wait for it
        DWORD id = 0;
        GetWindowThreadProcessId(FindWindowA("ZELKSetupWndClass", nullptr), &id);
        HANDLE stray = id != 0 ? OpenProcess(PROCESS_TERMINATE, FALSE, id) : nullptr;
        if (stray != nullptr) TerminateProcess(stray, 1);
        if (stray != nullptr) CloseHandle(stray);
    }
    ASSERT_NE(nullptr, box) << "no English box";
    EXPECT_NE(std::string::npos,
              Window(box).AllText().find("This program needs Japanese Windows to show its texts."));
    EXPECT_EQ(nullptr, FindWindowA("ZELKSetupWndClass", nullptr));
    Window(box).Press(IDOK);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELKSampleGame"));
}

INSTANTIATE_TEST_SUITE_P(Systems, Startup,
                         testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param == WindowsVersion::Win95 ? "Win95" : "NT40";
                         });

}  // namespace
