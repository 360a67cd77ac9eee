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

INSTANTIATE_TEST_SUITE_P(Systems, Startup,
                         testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param == WindowsVersion::Win95 ? "Win95" : "NT40";
                         });

}  // namespace
