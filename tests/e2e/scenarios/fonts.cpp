// A font and a shared DLL installed with the sample: where they land, and the font's
// registration (a resource file and a Fonts key value on Windows NT, nothing on Windows 95).
#include <gtest/gtest.h>

#include "driver.h"
#include "journey.h"
#include "media.h"

using namespace e2e;

namespace {

const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kValueName[] = "ZELK E2E (TrueType)";

class SharedFiles : public testing::TestWithParam<WindowsVersion> {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(GetParam());
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        windows_ = windows;
        Clean();
        ASSERT_TRUE(StartProgramManager(programManager_));
    }
    void TearDown() override {
        Clean();
        ResetMachine();
    }

    // As setup names them: on NT both in the SYSTEM folder; on 95 the system folder that
    // Windows reports and the FONTS folder.
    std::string SystemFolder() const {
        if (IsNT(GetParam())) return windows_ + "\\SYSTEM";
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        return system;
    }
    std::string FontsFolder() const { return windows_ + (IsNT(GetParam()) ? "\\SYSTEM" : "\\FONTS"); }

    void Clean() {
        for (const std::string& folder : {windows_ + "\\SYSTEM", windows_ + "\\FONTS", windows_ + "\\system32"}) {
            for (const char* name : {"ZELKE2E.DLL", "ZELKE2E.TTF", "ZELKE2E.fot"}) RemoveTree(folder + "\\" + name);
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kValueName);
            RegCloseKey(key);
        }
    }

    std::string windows_;
    ProgmanStandin programManager_;
};

TEST_P(SharedFiles, TheFontAndTheDllAreInstalledAndTheFontRegistered) {
    const std::string testdata = BuildFolder() + "\\testdata\\";
    Medium medium("shared", SampleScript() +
                                "DLL=dll_file_higher.dll>ZELKE2E.DLL\r\n"
                                "FONT=ZELKTEST.TTF>ZELKE2E.TTF,ZELK E2E (TrueType)\r\n");
    const std::string dll = ReadWholeFile(testdata + "dll_file_higher.dll");
    const std::string font = ReadWholeFile(testdata + "ZELKTEST.TTF");
    ASSERT_FALSE(dll.empty());
    ASSERT_FALSE(font.empty());
    medium.WriteFile("dll_file_higher.dll", dll);
    medium.WriteFile("ZELKTEST.TTF", font);

    Process setup = medium.StartSetup();
    const std::string folder = InstallThroughWizard(setup);
    if (HasFailure()) return;

    EXPECT_EQ(dll, ReadWholeFile(SystemFolder() + "\\ZELKE2E.DLL"));
    EXPECT_EQ(font, ReadWholeFile(FontsFolder() + "\\ZELKE2E.TTF"));
    if (IsNT(GetParam())) {
        EXPECT_TRUE(PathExists(FontsFolder() + "\\ZELKE2E.fot"));
        EXPECT_EQ("ZELKE2E.fot", RegistryString(HKEY_LOCAL_MACHINE, kFontsKey, kValueName));
    } else {
        EXPECT_FALSE(PathExists(FontsFolder() + "\\ZELKE2E.fot"));
        EXPECT_EQ("<missing>", RegistryString(HKEY_LOCAL_MACHINE, kFontsKey, kValueName));
    }
    // The record names both by their installed names, for the uninstaller.
    const std::string record = ReadWholeFile(folder + "\\unZELK.dat");
    EXPECT_NE(std::string::npos, record.find("Dll=ZELKE2E.DLL\r\n"));
    EXPECT_NE(std::string::npos, record.find("Font=ZELKE2E.TTF,ZELK E2E (TrueType)\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Systems, SharedFiles, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

}  // namespace
