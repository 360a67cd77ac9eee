// Steps shared by the removal journeys: answering the uninstaller, waiting for its
// companion, the state a restart would clean up, and snapshots of everything an
// installation touches.
#ifndef ZELK_E2E_REMOVAL_STEPS_H
#define ZELK_E2E_REMOVAL_STEPS_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "driver.h"

namespace e2e {

extern const char kUninstallerCaption[];   // "ZELKアンインストーラ"
extern const char kUninstallKey[];         // the system's list of uninstallable programs

std::string WindowsFolder();
std::string CompanionCopy();               // the Windows folder's "~rmZELK.~"
std::string ProgramsFolder();              // the start menu's Programs folder

// The boxes a removal showed on its way. They are answered as a user who wants it all gone
// would: the notices with OK, the font question with Yes, font errors with Ignore.
struct RemovalBoxes {
    std::vector<std::string> notices;  // the shared-file notices' texts
    std::vector<std::string> foreignLines;  // the notices of record lines left alone
    int fontQuestions = 0;
};

// The heading of the notice of record lines that the removal leaves alone.
extern const char kForeignLinesHeading[];

// Appends lines (CR LF each) to an installed record, as anyone who may change the
// product's folder could: the read-only attribute is cleared and set again.
void AppendToRecord(const std::string& recordPath, const std::string& lines);

// Waits for the confirmation of `title`, answers Yes, then answers every box until the
// uninstaller has ended. Its exit code.
int ConfirmAndRemove(Process& uninstaller, const std::string& title, RemovalBoxes* boxes = nullptr);

// Answers the removal's boxes of the given caption until a window matching `until` shows;
// returns it (empty after a failure).
Window AnswerRemovalBoxesUntil(Process& program, const std::string& caption, RemovalBoxes* boxes,
                               const WindowSpec& until, DWORD timeout = 60000);

// Walks setup's wizard to its ready page: welcome, destination (typed in when given, else
// the proposed one, either way told in used), folder creation when offered. The wizard sheet,
// or an empty window after a failure.
Window ToReadyPage(Process& setup, const std::string& destination = "", std::string* used = nullptr);

// True when what the system replaces or deletes at its next start (the moves listed in the
// registry, WININIT.INI) names part, in any case.
bool RestartListNames(const std::string& part);
// The delete-at-restart entry of the companion copy: WININIT.INI [rename] NUL (Windows 95)
// or PendingFileRenameOperations (NT) names it.
bool CompanionScheduledForRestart();
// Waits (bounded) until the companion has ended, then does what the restart would do:
// deletes the companion copy and clears the delete-at-restart entries. False when the
// companion did not end in time.
bool FinishCompanionAndRestart();
// Removes leftovers of an earlier run (copy, restart entries) so that a test starts clean.
void ClearRestartState();

// ---- snapshots ----

// Path or key -> what identifies its content (size and attributes, value data).
using Snapshot = std::map<std::string, std::string>;

// Files and folders under C:\windows, C:\Program Files, C:\users (the Programs folder and
// the user's folders), C:\ProgramData (the common Programs folder) and C:\zelk-test; the uninstall
// list, the maker's keys, the Fonts key. withTimes adds each file's creation and write time.
Snapshot TakeSnapshot(bool withTimes = false);
// Lines "+ path", "- path", "~ path" for every entry that differs.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);
std::string Describe(const std::vector<std::string>& differences);

// ---- an installation made by hand, as setup leaves one ----

struct HandInstallation {
    std::string base;                  // existing folder above the created levels
    std::vector<std::string> levels;   // the levels setup would have created, outermost first
    std::string title = "ZELKハンドテスト";
    std::string unRegistry = "ZELKHandTest";
    std::vector<std::string> files = {"game.exe", "readme.txt"};
    bool withCompanion = true;
    std::string recordExtra;   // further record lines (CR LF each)

    std::string Folder() const;
    std::string RecordPath() const { return Folder() + "\\unZELK.dat"; }
    std::string UninstallString() const;
    int Depth() const { return static_cast<int>(levels.size()); }
    void Create() const;       // files, programs, record, uninstall entry
};

}  // namespace e2e

#endif
