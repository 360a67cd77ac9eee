// The fixture of the removal journeys: a machine as a fresh prefix has it, Program
// Manager played by the stand-in, and the sample with a shared DLL and a font.
#ifndef ZELK_E2E_SCENARIOS_REMOVAL_JOURNEY_H
#define ZELK_E2E_SCENARIOS_REMOVAL_JOURNEY_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "journey.h"
#include "media.h"
#include "removal_steps.h"

namespace e2e {

inline const char kTitle[] = "ZELKサンプルゲーム";
inline const char kSampleEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELKSampleGame";
inline const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline const char kFontValue[] = "ZELK RoundTrip (TrueType)";
inline const char kNewFontValue[] = "ZELK New (TrueType)";
inline const char kDefaultFolder[] = "C:\\Program Files\\ZELK\\SampleGame";

// The question of a setup started over an earlier installation of the sample.
inline const char kEarlierQuestion[] =
    "「ZELKサンプルゲーム」は既にセットアップされています。セットアップを続行するには以前にセットアップされた"
    "「ZELKサンプルゲーム」を消去する必要があります。\n\n以前の「ZELKサンプルゲーム」を消去してセットアップを続行しますか？";

// The machine as a fresh prefix has it, for everything these journeys touch.
class RemovalJourney : public testing::TestWithParam<WindowsVersion> {
protected:
    RemovalJourney() = default;
    // withStandin false: the desktop's own Program Manager serves, as on a user's machine.
    explicit RemovalJourney(bool withStandin) : withStandin_(withStandin) {}

    void SetUp() override {
        ResetMachine();
        ClearRestartState();
        CleanSharedFiles();
        SetWindowsVersion(GetParam());
        if (withStandin_) {
            ASSERT_TRUE(StartProgramManager(programManager_));
        }
    }
    void TearDown() override {
        programManager_.Stop();
        ClearRestartState();
        CleanSharedFiles();
        ResetMachine();
    }

    std::string SystemFolder() const {
        if (IsNT(GetParam())) return WindowsFolder() + "\\SYSTEM";
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        return system;
    }

    static void CleanSharedFiles() {
        for (const char* folder : {"\\SYSTEM", "\\FONTS", "\\system32"}) {
            for (const char* name :
                 {"ZELKRT.DLL", "ZELKRT.TTF", "ZELKRT.fot", "ZELKNEW.DLL", "ZELKNEW.TTF", "ZELKNEW.fot", "ZELKUSE.DLL"}) {
                RemoveTree(WindowsFolder() + folder + "\\" + name);
            }
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kFontValue);
            RegDeleteValueA(key, kNewFontValue);
            RegCloseKey(key);
        }
    }

    // The sample's script with a shared DLL and a font added.
    static std::string SampleScriptWithDllAndFont() {
        return SampleScript() + "DLL=dll_file_higher.dll>ZELKRT.DLL\r\n"
                                "FONT=ZELKTEST.TTF>ZELKRT.TTF," + kFontValue + "\r\n";
    }

    // The sample with a shared DLL and a font added.
    static Medium SampleWithDllAndFont(const std::string& name) {
        Medium medium(name, SampleScriptWithDllAndFont());
        const std::string testdata = BuildFolder() + "\\testdata\\";
        medium.WriteFile("dll_file_higher.dll", ReadWholeFile(testdata + "dll_file_higher.dll"));
        medium.WriteFile("ZELKTEST.TTF", ReadWholeFile(testdata + "ZELKTEST.TTF"));
        return medium;
    }

    // Runs the registered uninstall command as the system does, answers it, lets the
    // companion finish and restarts. The boxes it showed.
    RemovalBoxes UninstallAsTheSystemDoes() {
        const std::string command = RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "UninstallString");
        EXPECT_NE("<missing>", command);
        Process uninstaller = Process::StartCommandLine(command);
        RemovalBoxes boxes;
        EXPECT_EQ(0, ConfirmAndRemove(uninstaller, kTitle, &boxes));
        EXPECT_TRUE(CompanionScheduledForRestart()) << "no delete-at-restart entry for the companion's copy";
        EXPECT_TRUE(FinishCompanionAndRestart()) << "the companion did not end";
        return boxes;
    }

    // The notice of a removal that leaves the sample's DLL in place.
    std::string SharedFileNotice() const {
        return "次のファイルは他のアプリケーションが使用する可能性があるので削除しません。\n\n" + SystemFolder() +
               "\\ZELKRT.DLL\n";
    }

    // The sample's removal once its DLL and font are in place: the DLL stays and is named in
    // the one notice, and the font is asked about once.
    void ExpectTheSampleRemovalBoxes(const RemovalBoxes& boxes) const {
        EXPECT_EQ(1, boxes.fontQuestions);
        ASSERT_EQ(1u, boxes.notices.size());
        EXPECT_NE(std::string::npos, boxes.notices[0].find(SystemFolder() + "\\ZELKRT.DLL"));
    }

    // A second setup started over the installation, answering the question.
    Process StartAndAnswer(const Medium& medium, int answer) {
        Process setup = medium.StartSetup();
        Window question = WaitForWindow(setup, MessageBoxWithText(kEarlierQuestion, "ZELKセットアップ"));
        if (question.Exists()) {
            question.Press(answer);
            question.WaitClosed();  // the click is posted; later steps must not see this box again
        }
        return setup;
    }

    // True when Program Manager was told to delete the group.
    bool GroupDeleted() const {
        std::vector<std::string> commands = programManager_.Commands();
        return std::find(commands.begin(), commands.end(), std::string("[DeleteGroup(") + kTitle + ")]") !=
               commands.end();
    }

    ProgmanStandin programManager_;
    bool withStandin_ = true;
};

// Removes the expected line from the differences (file names compare without regard to
// case); false when it is not there.
inline bool TakeAllowed(std::vector<std::string>& differences, const std::string& line) {
    auto found = std::find_if(differences.begin(), differences.end(),
                              [&](const std::string& d) { return lstrcmpiA(d.c_str(), line.c_str()) == 0; });
    if (found == differences.end()) return false;
    differences.erase(found);
    return true;
}

}  // namespace e2e

#endif
