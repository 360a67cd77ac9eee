// An installation that fails or is cancelled half-way is rolled back: whichever way it
// ended, nothing of it is left but the shared DLL, which no removal deletes.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "journey.h"
#include "media.h"
#include "removal_journey.h"
#include "removal_steps.h"

#include "tests/support/files.h"

using namespace e2e;
using zelktest::HeldFile;

namespace {

const char kSetupCaption[] = "ZELKセットアップ";

class RollBack : public RemovalJourney {
protected:
    // After the failure's own message: the rollback's boxes, then the aborted dialog.
    // The boxes the rollback showed.
    RemovalBoxes ExpectAborted(Process& setup) {
        RemovalBoxes boxes;
        Window aborted = AnswerRemovalBoxesUntil(setup, kSetupCaption, &boxes, Dialog(IDD_ABORTED));
        EXPECT_TRUE(aborted.Exists());
        if (!aborted.Exists()) return boxes;
        aborted.Press(IDOK);
        EXPECT_EQ(0, setup.WaitForExit());
        return boxes;
    }

    static void AcknowledgeFailure(Process& setup, const std::string& text) {
        Window box = WaitForWindow(setup, MessageBoxWithText(text, kSetupCaption), 60000);
        ASSERT_TRUE(box.Exists());
        box.Press(IDOK);
        box.WaitClosed();
    }

    // What the failed installation left: nothing but the DLL when it was copied.
    void ExpectNothingLeft(const Snapshot& before, bool dllCopied) {
        std::vector<std::string> differences = Differences(before, TakeSnapshot());
        if (dllCopied) {
            EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
        }
        EXPECT_TRUE(differences.empty()) << Describe(differences);
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleEntry));
    }
};

TEST_P(RollBack, AbandonedInTheCopyFailureDialog) {
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    Window sheet = ToReadyPage(setup);
    ASSERT_TRUE(sheet.Exists());
    // The third file cannot be written: the first two are in place when the copy stops.
    HeldFile held(std::string(kDefaultFolder) + "\\stage1.dat");
    EXPECT_TRUE(held.Held()) << "cannot hold the file";
    sheet.PressSheetButton(PSBTN_FINISH);
    Window failed = WaitForWindow(setup, Dialog(IDD_COPY_FAILED), 60000);
    ASSERT_TRUE(failed.Exists());
    EXPECT_TRUE(PathExists(std::string(kDefaultFolder) + "\\sample.exe"));
    held.Release();
    failed.Press(IDCANCEL);  // "セットアップを中止"
    RemovalBoxes boxes = ExpectAborted(setup);
    // Neither the DLL nor the font was copied yet: no notice, no question.
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(0, boxes.fontQuestions);
    ExpectNothingLeft(before, false);
}

TEST_P(RollBack, CancelledWhileCopying) {
    Medium medium("rollback", SampleScript() + "big1.dat\r\nbig2.dat\r\n");
    const std::string big(64 << 20, 'z');
    medium.WriteFile("big1.dat", big);
    medium.WriteFile("big2.dat", big);
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    Window sheet = ToReadyPage(setup);
    ASSERT_TRUE(sheet.Exists());
    sheet.PressSheetButton(PSBTN_FINISH);
    Window progress = WaitForWindow(setup, Dialog(IDD_COPY_PROGRESS));
    ASSERT_TRUE(progress.Exists());
    progress.Press(IDCANCEL);
    Window ask = WaitForWindow(setup, Dialog(IDD_CONFIRM_CANCEL));
    ASSERT_TRUE(ask.Exists());
    ask.Press(IDB_ABANDON);
    ExpectAborted(setup);
    ExpectNothingLeft(before, false);
}

TEST_P(RollBack, RecordCannotBeWritten) {
    // A read-only record of an earlier run is in the destination already. (Wine lets root
    // write over a read-only file, so the test also holds it open, as a running program
    // would: either way the new record cannot be created.)
    const std::string record = std::string(kDefaultFolder) + "\\unZELK.dat";
    CreateDirectoryA("C:\\Program Files\\ZELK", nullptr);
    CreateDirectoryA(kDefaultFolder, nullptr);
    WriteWholeFile(record, "Title=old\r\n");
    SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_READONLY);
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot();
    HeldFile held(record);
    EXPECT_TRUE(held.Held()) << "cannot hold the file";

    Process setup = medium.StartSetup();
    Window sheet = ToReadyPage(setup);
    ASSERT_TRUE(sheet.Exists());
    sheet.PressSheetButton(PSBTN_FINISH);
    AcknowledgeFailure(setup, "アンインストール情報を生成することができません。");
    RemovalBoxes boxes = ExpectAborted(setup);
    held.Release();
    ExpectTheSampleRemovalBoxes(boxes);
    if (IsNT(GetParam())) {
        EXPECT_TRUE(GroupDeleted()) << "the uninstaller's item would keep the group";
    }

    // Allowed: the earlier record, held while the rollback ran, stays (the rollback made it
    // deletable first); its folder was there before, so no level was created.
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    EXPECT_TRUE(TakeAllowed(differences, "+ " + SystemFolder() + "\\ZELKRT.DLL"));
    EXPECT_TRUE(TakeAllowed(differences, "~ " + record + " (11 bytes, attributes 1 -> 11 bytes, attributes 0)"));
    EXPECT_TRUE(differences.empty()) << Describe(differences);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleEntry));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\SampleGame"));
}

INSTANTIATE_TEST_SUITE_P(Systems, RollBack, testing::Values(WindowsVersion::Win95, WindowsVersion::NT40),
                         SystemName);

// Windows NT with no Program Manager to reach: the start-menu step fails after the copy.
class StartMenuRollBack : public RollBack {};

TEST_P(StartMenuRollBack, NoProgramManagerToReach) {
    programManager_.Stop();
    Medium medium = SampleWithDllAndFont("rollback");
    Snapshot before = TakeSnapshot();
    Process setup = medium.StartSetup();
    Window sheet = ToReadyPage(setup);
    ASSERT_TRUE(sheet.Exists());
    sheet.PressSheetButton(PSBTN_FINISH);
    AcknowledgeFailure(setup, "スタートメニューにショートカットを追加することに失敗しました。");
    EXPECT_EQ(1, ExpectAborted(setup).fontQuestions);
    ExpectNothingLeft(before, true);
}

INSTANTIATE_TEST_SUITE_P(Systems, StartMenuRollBack, testing::Values(WindowsVersion::NT40), SystemName);

}  // namespace
