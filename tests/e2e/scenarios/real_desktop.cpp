// The round trip of a user's machine on every Windows version the programs support, under a
// real desktop (tests/wine/desktop): the desktop's own Program Manager service makes the
// group a Start-menu folder with links and answers no question about it. Install with the
// defaults, install again over it (the earlier installation is removed first), remove
// through the registered command, restart: only the shared DLL is left. A run that fails
// before all that is rolled back, its group with it. The uninstall entry carries what the
// list of programs of current Windows shows, on every version alike.
#include <gtest/gtest.h>

#include "driver.h"
#include "journey.h"
#include "media.h"
#include "removal_journey.h"
#include "removal_steps.h"
#include "wizard_steps.h"

using namespace e2e;

namespace {

class RealDesktop : public RemovalJourney {
protected:
    RealDesktop() : RemovalJourney(false) {}
    void SetUp() override {
        RemovalJourney::SetUp();
        ASSERT_TRUE(WaitForProgramManager(10000)) << "no Program Manager service: run under tests/wine/desktop";
    }

    // A run of the sample whose registry step fails (its uninstall entry would go below a
    // volatile key, where no lasting key can be made), up to the aborted dialog. The group's
    // folder is there when the step fails.
    void InstallFailingAtTheRegistryStep(const std::string& groupFolder) {
        const std::string blocked = std::string(kUninstallKey) + "\\ZELKBlocked";
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, blocked.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegCloseKey(key);
        Medium failing = SampleWithDllAndFont("desktop-failing");
        std::string script = SampleScriptWithDllAndFont();
        script.replace(script.find("UNREGISTRY=ZELKSampleGame"), 25, "UNREGISTRY=ZELKBlocked\\ZELKSampleGame");
        failing.WriteScript(script);
        Process setup = failing.StartSetup();
        Window sheet = ToReadyPage(setup);
        ASSERT_TRUE(sheet.Exists());
        sheet.PressSheetButton(PSBTN_FINISH);
        Window box = WaitForWindow(setup, MessageBoxWithText("レジストリに項目を設定することに失敗しました。",
                                                             "ZELKセットアップ"), 60000);
        ASSERT_TRUE(box.Exists());
        EXPECT_TRUE(PathExists(groupFolder)) << "the failing run made no group";
        box.Press(IDOK);
        box.WaitClosed();
        Answer(setup, IDD_ABORTED, IDOK);
        EXPECT_EQ(0, setup.WaitForExit());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, blocked.c_str());
    }

    static std::string Today() {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char date[16];
        wsprintfA(date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
        return date;
    }

    // The sample's program as icon, its version and folder, the folder's installed files
    // (not the DLL, the font or the record) in kilobytes rounded up, the day of the
    // installation, and no Change or Repair choice.
    static void ExpectTheListedValues(const std::string& dayBefore) {
        const std::string folder = kDefaultFolder;
        EXPECT_EQ(folder + "\\sample.exe", RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "DisplayIcon"));
        EXPECT_EQ("1.0", RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "DisplayVersion"));
        EXPECT_EQ(folder, RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "InstallLocation"));
        long long bytes = 0;
        for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin"}) {
            bytes += static_cast<long long>(ReadWholeFile(folder + "\\" + name).size());
        }
        EXPECT_EQ((bytes + 1023) / 1024, RegistryDword(HKEY_LOCAL_MACHINE, kSampleEntry, "EstimatedSize"));
        const std::string date = RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "InstallDate");
        EXPECT_TRUE(date == dayBefore || date == Today()) << date;
        EXPECT_EQ(1, RegistryDword(HKEY_LOCAL_MACHINE, kSampleEntry, "NoModify"));
        EXPECT_EQ(1, RegistryDword(HKEY_LOCAL_MACHINE, kSampleEntry, "NoRepair"));
    }
};

TEST_P(RealDesktop, NothingIsLeftButTheSharedDll) {
    Medium medium = SampleWithDllAndFont("desktop");
    Snapshot before = TakeSnapshot();
    const std::string group = ProgramsFolder() + "\\" + kTitle;
    InstallFailingAtTheRegistryStep(group);
    EXPECT_FALSE(PathExists(group)) << "the rolled-back run's group folder is left";

    const std::string dayBefore = Today();
    Process first = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(first));
    ExpectTheListedValues(dayBefore);
    // A shortcut file on Windows 95, a Program Manager item (kept as one) on NT.
    EXPECT_TRUE(PathExists(group + "\\" + kTitle + ".lnk"));

    // The next setup removes the earlier installation, group included, before its wizard.
    Process second = StartAndAnswer(medium, IDYES);
    RemovalBoxes boxes;
    ASSERT_TRUE(AnswerRemovalBoxesUntil(second, "ZELKセットアップ", &boxes, WizardSheet()).Exists());
    ExpectTheSampleRemovalBoxes(boxes);
    EXPECT_FALSE(PathExists(group)) << "the earlier installation's group folder is left";
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(second));
    EXPECT_TRUE(PathExists(group + "\\" + kTitle + ".lnk"));

    ExpectTheSampleRemovalBoxes(UninstallAsTheSystemDoes());
    EXPECT_FALSE(PathExists(group)) << "the group's folder is left";

    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

INSTANTIATE_TEST_SUITE_P(Systems, RealDesktop,
                         testing::Values(WindowsVersion::Win95, WindowsVersion::Win98, WindowsVersion::NT351,
                                         WindowsVersion::NT40, WindowsVersion::Win2k, WindowsVersion::WinXP,
                                         WindowsVersion::Win7, WindowsVersion::Win10),
                         SystemName);

}  // namespace
