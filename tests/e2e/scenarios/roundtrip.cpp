// Install and remove again: after the uninstaller, its companion and a restart, the machine
// is as it was, but for the shared DLL that no removal deletes. And the removal of an
// earlier installation by the next setup; and no DLL planted beside the programs is loaded.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "journey.h"
#include "media.h"
#include "removal_journey.h"
#include "removal_steps.h"

using namespace e2e;

namespace {

class RoundTrip : public RemovalJourney {};

TEST_P(RoundTrip, NothingIsLeftButTheSharedDll) {
    Medium medium = SampleWithDllAndFont("roundtrip");
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    const std::string folder = InstallThroughWizard(setup);
    ASSERT_EQ(kDefaultFolder, folder);
    // Compressed and plain files, the two programs, the record, the DLL and the font.
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin", "unZELK.dat"}) {
        EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
    }
    EXPECT_TRUE(PathExists(SystemFolder() + "\\ZELKRT.DLL"));
    if (!IsNT(GetParam())) {
        EXPECT_TRUE(PathExists(ProgramsFolder() + "\\" + kTitle + "\\" + kTitle + ".lnk"));
    }
    // The ADDFILE the game writes later.
    WriteWholeFile(folder + "\\score.dat", "high scores");

    ExpectTheSampleRemovalBoxes(UninstallAsTheSystemDoes());
    if (IsNT(GetParam())) {
        EXPECT_TRUE(GroupDeleted());
    }

    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    // Allowed: the shared DLL stays; no removal ever deletes one.
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

// The uninstaller ended at its notice, halfway through: started again from the list of
// programs, it finishes the removal.
TEST_P(RoundTrip, AnUninstallerEndedMidwayIsFinishedFromTheList) {
    Medium medium = SampleWithDllAndFont("roundtrip");
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(setup));
    Process first = Process::StartCommandLine(RegistryString(HKEY_LOCAL_MACHINE, kSampleEntry, "UninstallString"));
    Window confirm = WaitForWindow(first, MessageBoxWithText(std::string(kTitle) + "を削除してもよろしいですか?",
                                                             kUninstallerCaption));
    ASSERT_TRUE(confirm.Exists());
    confirm.Press(IDYES);
    ASSERT_TRUE(WaitForWindow(first, MessageBoxWithText(SharedFileNotice(), kUninstallerCaption)).Exists());
    first.Kill();

    ExpectTheSampleRemovalBoxes(UninstallAsTheSystemDoes());
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

TEST_P(RoundTrip, BlanksAndJapaneseFolderNames) {
    // "ソフト" and "表" end in the byte 0x5C; three levels are created and removed again.
    Medium medium("roundtrip");
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    const std::string folder = InstallThroughWizard(setup, "C:\\zelk-test\\ソフト\\表 ゲーム");
    ASSERT_EQ("C:\\zelk-test\\ソフト\\表 ゲーム", folder);
    ASSERT_TRUE(PathExists(folder + "\\unZELK.dat"));
    UninstallAsTheSystemDoes();
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

// A saved game keeps the product's folder. A file outside the product that a changed record
// names (anyone who may change the folder can change the record) stays, and the user is told.
TEST_P(RoundTrip, AUsersFilesStayInAndOutsideTheFolder) {
    Medium medium("roundtrip");
    Process setup = medium.StartSetup();
    const std::string folder = InstallThroughWizard(setup);
    ASSERT_EQ(kDefaultFolder, folder);
    WriteWholeFile(folder + "\\mysave.sav", "level 12");
    const std::string outside = "C:\\zelk-test\\precious.txt";
    CreateDirectoryA("C:\\zelk-test", nullptr);
    WriteWholeFile(outside, "the user's");
    AppendToRecord(folder + "\\unZELK.dat", outside + "\r\n");
    RemovalBoxes boxes = UninstallAsTheSystemDoes();
    ASSERT_EQ(1u, boxes.foreignLines.size());
    EXPECT_EQ(std::string(kForeignLinesHeading) + "\n\n" + outside + "\n", boxes.foreignLines[0]);
    EXPECT_EQ("the user's", ReadWholeFile(outside));
    EXPECT_EQ("level 12", ReadWholeFile(folder + "\\mysave.sav"));
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin", "unZELK.dat"}) {
        EXPECT_FALSE(PathExists(folder + "\\" + name)) << name;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleEntry));
}

INSTANTIATE_TEST_SUITE_P(Systems, RoundTrip, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

// ---- someone else's DLLs beside the programs ----

// DLLs of the names of the system DLLs the programs use, each leaving a marker when loaded,
// beside setup.exe on the medium and beside unZELK.exe in the product's folder; Wine made to
// search as Windows does, the program's own folder first. None may ever be loaded.
// (Not version.dll: Wine's own USER32 imports it, so under Wine one beside any program is
// loaded before the program's first instruction; on Windows USER32 is a known DLL that
// imports no such DLL. The programs' own use of it goes by full path like the others.)
class PlantedDlls : public RemovalJourney {
protected:
    static constexpr const char* kNames[] = {"lz32.dll", "comctl32.dll", "ole32.dll", "shell32.dll"};
    static constexpr char kMarkers[] = "C:\\zelk-planted";

    void SetUp() override {
        RemovalJourney::SetUp();
        RemoveTree(kMarkers);
        PreferDllsBeside("setup.exe", true);
        PreferDllsBeside("unZELK.exe", true);
    }
    void TearDown() override {
        PreferDllsBeside("setup.exe", false);
        PreferDllsBeside("unZELK.exe", false);
        RemoveTree(kMarkers);
        for (const char* name : kNames) RemoveTree(std::string(kDefaultFolder) + "\\" + name);
        RemovalJourney::TearDown();
    }

    // Wine's own DLLs come first unless told otherwise for a program; Windows looks beside
    // the program first for every DLL that is not one of its known DLLs.
    static void PreferDllsBeside(const std::string& program, bool prefer) {
        const std::string key = "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
        if (!prefer) {
            DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + program);
            return;
        }
        HKEY overrides;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &overrides, nullptr));
        for (const char* name : kNames) {
            const std::string value(name, strlen(name) - 4);
            RegSetValueExA(overrides, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        }
        RegCloseKey(overrides);
    }

    static void Plant(const std::string& folder) {
        for (const char* name : kNames) {
            WriteWholeFile(folder + "\\" + name, ReadWholeFile(BuildFolder() + "\\testdata\\planted\\" + name));
        }
    }

    // The names of the DLLs that were loaded.
    static std::string Loaded() {
        std::string names;
        for (const char* name : kNames) {
            if (PathExists(std::string(kMarkers) + "\\" + name)) names += std::string(name) + " ";
        }
        return names;
    }
};

TEST_P(PlantedDlls, AreNeverLoaded) {
    // Compressed files, a shared DLL's version, the wizard and shortcuts or Program Manager.
    Medium medium = SampleWithDllAndFont("planted");
    Plant(medium.folder());
    Process setup = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(setup));
    EXPECT_TRUE(PathExists(SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_EQ("", Loaded()) << "loaded by setup.exe";

    Plant(kDefaultFolder);
    ExpectTheSampleRemovalBoxes(UninstallAsTheSystemDoes());
    EXPECT_FALSE(PathExists(std::string(kDefaultFolder) + "\\sample.exe"));
    EXPECT_EQ("", Loaded()) << "loaded by unZELK.exe";
}

INSTANTIATE_TEST_SUITE_P(Systems, PlantedDlls, testing::Values(WindowsVersion::Win95, WindowsVersion::Win10),
                         SystemName);

// ---- the earlier installation, removed by the next setup ----

class EarlierInstallation : public RemovalJourney {
protected:
    // Ends a wizard through its Cancel button.
    static void CancelWizard(Process& setup, const Window& sheet) {
        sheet.PressSheetButton(PSBTN_CANCEL);
        Window ask = WaitForWindow(setup, Dialog(IDD_CONFIRM_CANCEL));
        if (ask.Exists()) ask.Press(IDB_ABANDON);
        Window aborted = WaitForWindow(setup, Dialog(IDD_ABORTED));
        if (aborted.Exists()) aborted.Press(IDOK);
        EXPECT_EQ(0, setup.WaitForExit());
    }
};

TEST_P(EarlierInstallation, NoEndsAbortedWithNothingTouched) {
    Medium medium = SampleWithDllAndFont("earlier");
    Process first = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(first));
    Snapshot installed = TakeSnapshot();
    Process second = StartAndAnswer(medium, IDNO);
    Window aborted = WaitForWindow(second, Dialog(IDD_ABORTED));
    ASSERT_TRUE(aborted.Exists());
    aborted.Press(IDOK);
    EXPECT_EQ(0, second.WaitForExit());
    std::vector<std::string> differences = Differences(installed, TakeSnapshot());
    EXPECT_TRUE(differences.empty()) << Describe(differences);
}

TEST_P(EarlierInstallation, YesRemovesItBeforeTheWizard) {
    Medium medium = SampleWithDllAndFont("earlier");
    Snapshot before = TakeSnapshot();
    Process first = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(first));
    WriteWholeFile(std::string(kDefaultFolder) + "\\score.dat", "high scores");

    Process second = StartAndAnswer(medium, IDYES);
    RemovalBoxes boxes;
    Window sheet = AnswerRemovalBoxesUntil(second, "ZELKセットアップ", &boxes, WizardSheet());
    ASSERT_TRUE(sheet.Exists());
    ExpectTheSampleRemovalBoxes(boxes);
    if (IsNT(GetParam())) {
        EXPECT_TRUE(GroupDeleted());
    }

    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
    CancelWizard(second, sheet);
}

// The next setup ended at the notice of the earlier installation's removal: the setup after
// it finds that installation still registered and finishes its removal.
TEST_P(EarlierInstallation, EndedWhileRemovingItTheNextSetupFinishes) {
    Medium medium = SampleWithDllAndFont("earlier");
    Snapshot before = TakeSnapshot();
    Process first = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(first));
    Process second = StartAndAnswer(medium, IDYES);
    ASSERT_TRUE(WaitForWindow(second, MessageBoxWithText(SharedFileNotice(), "ZELKセットアップ")).Exists());
    second.Kill();

    Process third = StartAndAnswer(medium, IDYES);
    RemovalBoxes boxes;
    Window sheet = AnswerRemovalBoxesUntil(third, "ZELKセットアップ", &boxes, WizardSheet());
    ASSERT_TRUE(sheet.Exists());
    ExpectTheSampleRemovalBoxes(boxes);
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
    CancelWizard(third, sheet);
}

// A changed record: without DirDepth no folder level goes; a line that leaves the folder
// ("..") names a file outside the product, which stays, and the user is told.
TEST_P(EarlierInstallation, AChangedRecordRemovesOnlyTheProductsOwn) {
    Medium medium("earlier");
    Process first = medium.StartSetup();
    ASSERT_EQ(kDefaultFolder, InstallThroughWizard(first));
    const std::string record = std::string(kDefaultFolder) + "\\unZELK.dat";
    std::string text = ReadWholeFile(record);
    size_t depth = text.find("DirDepth=2\r\n");
    ASSERT_NE(std::string::npos, depth);
    text.erase(depth, 12);
    WriteWholeFile(record, text);
    SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string outside = std::string(kDefaultFolder) + "\\..\\precious.txt";
    WriteWholeFile(outside, "the user's");
    AppendToRecord(record, outside + "\r\n");

    Process second = StartAndAnswer(medium, IDYES);
    RemovalBoxes boxes;
    Window sheet = AnswerRemovalBoxesUntil(second, "ZELKセットアップ", &boxes, WizardSheet());
    ASSERT_TRUE(sheet.Exists());
    ASSERT_EQ(1u, boxes.foreignLines.size());
    EXPECT_EQ(std::string(kForeignLinesHeading) + "\n\n" + outside + "\n", boxes.foreignLines[0]);
    EXPECT_EQ("the user's", ReadWholeFile(outside));
    EXPECT_TRUE(IsFolder(kDefaultFolder));
    for (const char* name : {"sample.exe", "readme.txt", "stage1.dat", "unZELK.exe", "rmZELK.bin", "unZELK.dat"}) {
        EXPECT_FALSE(PathExists(std::string(kDefaultFolder) + "\\" + name)) << name;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleEntry));
    CancelWizard(second, sheet);
}

INSTANTIATE_TEST_SUITE_P(Systems, EarlierInstallation,
                         testing::Values(WindowsVersion::Win95, WindowsVersion::NT40), SystemName);

}  // namespace
