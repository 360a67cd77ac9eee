// The uninstall record an installation leaves: every line, in its order.
#include <gtest/gtest.h>

#include "journey.h"

using namespace e2e;

namespace {

class Record : public testing::Test {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(WindowsVersion::Win95);
    }
    void TearDown() override {
        // The DLL and the font stay installed on purpose; the test's own are taken away again.
        char folder[MAX_PATH];
        GetSystemDirectoryA(folder, sizeof folder);
        DeleteFileA((std::string(folder) + "\\ZELKREC.DLL").c_str());
        GetWindowsDirectoryA(folder, sizeof folder);
        DeleteFileA((std::string(folder) + "\\FONTS\\ZELKREC.TTF").c_str());
        ResetMachine();
    }
};

TEST_F(Record, ListsEverythingTheInstallationPutOnTheMachine) {
    std::string script = SampleScript();
    script += "DLL=dll_base.dll>ZELKREC.DLL\r\nFONT=ZELKTEST.TTF>ZELKREC.TTF,ZELK Record Font (TrueType)\r\n";
    Medium medium("record", script);
    for (const char* name : {"dll_base.dll", "ZELKTEST.TTF"}) {
        ASSERT_TRUE(CopyFileA((BuildFolder() + "\\testdata\\" + name).c_str(), medium.Path(name).c_str(), FALSE));
    }
    const std::string folder = "C:\\zelk-test\\Record";
    Process setup = medium.StartSetup();
    ASSERT_EQ(folder, InstallThroughWizard(setup, folder));

    const std::string expected =
        "Title=ZELKサンプルゲーム\r\n"
        "MenuGroup=ZELKサンプルゲーム\r\n"
        "UnRegistry=ZELKSampleGame\r\n"
        "AppRegistry=SampleGame\r\n"
        "AppVersion=1.0\r\n"
        "DirDepth=2\r\n" +
        folder + "\\unZELK.dat\r\n" +
        folder + "\\sample.exe\r\n" +
        folder + "\\readme.txt\r\n" +
        folder + "\\stage1.dat\r\n" +
        folder + "\\score.dat\r\n"
        "MenuItem=ZELKサンプルゲーム\r\n"
        "MenuItem=はじめにお読みください\r\n"
        "MenuItem=ZELKサンプルゲームの削除\r\n"
        "Dll=ZELKREC.DLL\r\n"
        "Font=ZELKREC.TTF,ZELK Record Font (TrueType)\r\n";
    EXPECT_EQ(expected, ReadWholeFile(folder + "\\unZELK.dat"));
    EXPECT_NE(0u, Attributes(folder + "\\unZELK.dat") & FILE_ATTRIBUTE_READONLY);
}

}  // namespace
