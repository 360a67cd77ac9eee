// Steps of the walk shared by its files: the screen pictures, the programs' message boxes,
// the installation through the wizard, and the removal as the system runs it.
#ifndef ZELK_TOOLS_TRYOUT_WALK_STEPS_H
#define ZELK_TOOLS_TRYOUT_WALK_STEPS_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "tests/tools/progman_standin.h"
#include "tryout.h"

namespace tryout {

const DWORD kLongWait = 120000;     // ms: a large product's copy, a slow removal
const DWORD kPoll = 20;

// Position of the last backslash of a Shift-JIS path; npos when there is none.
size_t LastBackslash(const std::string& path);
// A picture of the screen when screenshots were asked for, numbered in the order taken.
void Snap(const char* name, DWORD settle = 600);

// The captions of the programs' message boxes.
extern const std::vector<std::string> kSetupBoxes;
extern const std::vector<std::string> kUninstallerBoxes;
// A message box of the program that is on screen now, or an empty window.
e2e::Window MessageBoxOf(const e2e::Process& process, const std::vector<std::string>& captions);
// Presses a button and waits until the window has gone.
void Answer(const e2e::Window& window, int button);

// ---- installation (install.cpp) ----
std::string MediumPath(const std::string& name);   // a file of the medium
bool MediumIsOnCdrom();
// The whole installation through the wizard; the destination used, or empty when it did
// not finish.
std::string Install();

// ---- removal (removal.cpp) ----
struct RecordFacts {
    std::string title;
    std::vector<std::string> dlls;
    std::vector<std::pair<std::string, std::string>> fonts;  // file, registry value name
    std::string menuGroup;
    std::vector<std::string> menuItems;
};
// Shows the uninstall record line by line and keeps what the removal needs to know.
RecordFacts ShowRecord(const std::string& path);
// On NT with the desktop's own Program Manager service: the recorded items it made no
// shortcut for, each said with the likely reason.
void NoteMissingMenuItems(const RecordFacts& record);
// The uninstall entry the installation added: its key below HKLM.
std::string NewUninstallEntry(const std::vector<Difference>& changes);
std::string RegistryText(const std::string& key, const char* value);
// Names kept on purpose, as "snapshot name<TAB>reason" lines.
void NoteSharedDlls(const RecordFacts& record, std::vector<std::string>& expected);
// Runs the registered uninstall command as the system would and answers the uninstaller.
void Remove(const std::string& command, const RecordFacts& record, std::vector<std::string>& expected);
// On NT: what the removal told Program Manager, and which installed items it left.
void ListProgmanAfterRemoval(size_t installCommands);

}  // namespace tryout

#endif
