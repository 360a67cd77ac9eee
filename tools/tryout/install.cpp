// The installation, as a user goes through it: welcome, the proposed destination (and on a
// CD-ROM drive, first a destination on that drive, which setup must refuse), the folder
// created, ready, finish, OK.
#include "walk_steps.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

#include "ids.h"

namespace tryout {

using e2e::Dialog;
using e2e::FindWindowOf;
using e2e::Process;
using e2e::Utf8;
using e2e::Window;

std::string MediumPath(const std::string& name) {
    const std::string& medium = g_options.medium;
    return medium.back() == '\\' ? medium + name : medium + "\\" + name;
}

namespace {

const char kCdromRefused[] = "CD-ROMにはセットアップできません。";

bool IsReadyPage(const Window& page) {
    return page.Exists() && IsWindowVisible(page.handle()) && !page.HasControl(IDC_DESTINATION_EDIT) &&
           !page.HasControl(IDC_WELCOME_HINT);
}

// The wizard, once setup has read its script; a box before it is a finding (a script error,
// a missing file), answered with OK. Setup may go on after a script error.
Window WaitForWizard(Process& setup) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < e2e::kDefaultTimeout) {
        Window sheet = FindWindowOf(setup, e2e::WizardSheet());
        if (sheet.Exists()) return sheet;
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            Snap("setup-message");
            ADD_FAILURE() << "setup said before its wizard: " << Utf8(box.AllText());
            Answer(box, IDOK);
            start = GetTickCount();
        }
        if (!setup.Running()) {
            ADD_FAILURE() << "setup ended without showing its wizard";
            return Window();
        }
        Sleep(kPoll);
    }
    ADD_FAILURE() << "setup showed no wizard; on screen:\n" << e2e::DescribeWindows(setup);
    return Window();
}

}  // namespace

bool MediumIsOnCdrom() {
    const std::string& medium = g_options.medium;
    if (medium.size() < 2 || medium[1] != ':') return false;
    return GetDriveTypeA((medium.substr(0, 2) + "\\").c_str()) == DRIVE_CDROM;
}

namespace {

// Types a destination on the medium's own CD-ROM drive: setup must refuse it and keep
// the destination page.
void ExpectCdromRefused(Process& setup, const Window& sheet, const Window& page, const std::string& proposed) {
    std::string typed = g_options.medium.substr(0, 2) + proposed.substr(LastBackslash(proposed));
    page.SetText(IDC_DESTINATION_EDIT, typed);
    sheet.PressSheetButton(PSBTN_NEXT);
    DWORD start = GetTickCount();
    Window box;
    while (!box.Exists() && GetTickCount() - start < 5000) {
        box = MessageBoxOf(setup, kSetupBoxes);
        Sleep(kPoll);
    }
    if (!box.Exists()) {
        ADD_FAILURE() << "setup accepted " << Utf8(typed) << " on the CD-ROM drive as destination";
        Window create = FindWindowOf(setup, Dialog(IDD_CREATE_FOLDER));
        if (create.Exists()) Answer(create, IDCANCEL);
        return;
    }
    std::string text = box.AllText();
    Snap("cdrom-refused");
    Answer(box, IDOK);
    if (text == kCdromRefused) {
        Say("  a destination on the CD-ROM drive is refused: " + typed + "  ->  " + text);
    } else {
        ADD_FAILURE() << "for " << Utf8(typed) << " on the CD-ROM drive setup said: " << Utf8(text);
    }
    e2e::WaitForPage(sheet, IDD_DESTINATION_PAGE);
}

// From the destination page to the ready page: the folder is created when offered, a
// low-space question is answered "go on". False when setup refused the destination.
bool ToReadyPage(Process& setup, const Window& sheet) {
    sheet.PressSheetButton(PSBTN_NEXT);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < e2e::kDefaultTimeout) {
        Window create = FindWindowOf(setup, Dialog(IDD_CREATE_FOLDER));
        if (create.Exists()) {
            Say("  setup offers to create the folder: answered " + create.Text(IDB_CREATE_FOLDER));
            Snap("create-folder");
            Answer(create, IDB_CREATE_FOLDER);
            continue;
        }
        Window low = FindWindowOf(setup, Dialog(IDD_LOW_SPACE));
        if (low.Exists()) {
            Say("  setup warns of little free space: " + low.Text(IDC_MESSAGE) + "  -> go on");
            Snap("low-space");
            Answer(low, IDB_CONTINUE);
            continue;
        }
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            ADD_FAILURE() << "setup refused the destination: " << Utf8(box.AllText());
            Answer(box, IDOK);
            return false;
        }
        if (IsReadyPage(sheet.CurrentPage())) return true;
        Sleep(kPoll);
    }
    ADD_FAILURE() << "the wizard did not reach its ready page; on screen:\n" << e2e::DescribeWindows(setup);
    return false;
}

// From Finish to the end of setup: the copy, the start menu, the records, the finished
// dialog. True when setup says the installation is complete.
bool FinishInstallation(Process& setup, const Window& sheet) {
    sheet.PressSheetButton(PSBTN_FINISH);
    bool progressShown = false;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kLongWait) {
        // The restart variant of the finished dialog carries the same text: look for it first.
        Window restart = FindWindowOf(setup, Dialog(IDD_RESTART));
        if (restart.Exists()) {
            Say("  setup asks to restart Windows: " + restart.Text(IDC_MESSAGE) + "  -> cancel (no restart here)");
            Snap("restart");
            Answer(restart, IDCANCEL);
            continue;
        }
        Window finished = FindWindowOf(setup, Dialog(IDD_FINISHED));
        if (finished.Exists()) {
            Say("  " + finished.Text(IDC_MESSAGE));
            Snap("finished");
            Answer(finished, IDOK);
            setup.WaitForExit();
            return true;
        }
        Window failed = FindWindowOf(setup, Dialog(IDD_COPY_FAILED));
        if (failed.Exists()) {
            Window progress = FindWindowOf(setup, Dialog(IDD_COPY_PROGRESS));
            Snap("copy-failed");
            ADD_FAILURE() << "a file could not be copied: " << Utf8(progress.Text(IDC_SOURCE_PATH)) << " -> "
                          << Utf8(progress.Text(IDC_DEST_PATH)) << "; the setup is abandoned";
            Answer(failed, IDCANCEL);
            continue;
        }
        Window aborted = FindWindowOf(setup, Dialog(IDD_ABORTED));
        if (aborted.Exists()) {
            Snap("aborted");
            ADD_FAILURE() << "setup abandoned the installation: " << Utf8(aborted.Text(IDC_MESSAGE));
            Answer(aborted, IDOK);
            setup.WaitForExit();
            return false;
        }
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            Snap("setup-message");
            ADD_FAILURE() << "setup said: " << Utf8(box.AllText());
            Answer(box, IDOK);
            continue;
        }
        if (!progressShown && FindWindowOf(setup, Dialog(IDD_COPY_PROGRESS)).Exists()) {
            Snap("copy-progress", 0);
            progressShown = true;
        }
        if (!setup.Running()) {
            ADD_FAILURE() << "setup ended without its finished dialog";
            return false;
        }
        Sleep(kPoll);
    }
    ADD_FAILURE() << "the installation did not finish; on screen:\n" << e2e::DescribeWindows(setup);
    return false;
}

}  // namespace

std::string Install() {
    Heading("Installation");
    Process setup = Process::Start(MediumPath("setup.exe"), "", g_options.medium);
    Window sheet = WaitForWizard(setup);
    if (!sheet.Exists()) return "";
    if (!g_options.screenshots.empty()) {
        ShowWindow(sheet.handle(), SW_HIDE);
        Snap("background");
        ShowWindow(sheet.handle(), SW_SHOW);
    }
    e2e::WaitForPage(sheet, IDD_WELCOME_PAGE);
    Say("  the wizard: " + sheet.Caption());
    Snap("welcome");
    sheet.PressSheetButton(PSBTN_NEXT);
    Window page = e2e::WaitForPage(sheet, IDD_DESTINATION_PAGE);
    if (!page.Exists()) return "";
    const std::string proposed = page.Text(IDC_DESTINATION_EDIT);
    Say("  proposed destination: " + proposed);
    Snap("destination");
    if (MediumIsOnCdrom()) ExpectCdromRefused(setup, sheet, page, proposed);
    const std::string destination = g_options.destination.empty() ? proposed : g_options.destination;
    page.SetText(IDC_DESTINATION_EDIT, destination);
    Say("  destination: " + destination + "   free " + page.Text(IDC_FREE_SPACE) + ", required " +
        page.Text(IDC_REQUIRED_SPACE));
    if (!ToReadyPage(setup, sheet)) return "";
    Snap("ready");
    return FinishInstallation(setup, sheet) ? destination : "";
}

}  // namespace tryout
