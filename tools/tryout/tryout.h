// The try-out's hands inside Wine: shared pieces of tryout_walk.exe. tools/zelk-tryout
// prepares the throwaway prefix and the medium, runs "walk" (install, list, remove), restarts
// the prefix, and runs "compare" (what is left).
#ifndef ZELK_TOOLS_TRYOUT_TRYOUT_H
#define ZELK_TOOLS_TRYOUT_TRYOUT_H

#include <string>
#include <vector>

#include "snapshot.h"

namespace tryout {

struct Options {
    std::string mode;          // "walk" or "compare"
    std::string medium;        // folder of setup.exe (walk)
    std::string state;         // folder that carries the findings from walk to compare
    std::string destination;   // typed on the destination page instead of the proposal
    std::string screenshots;   // folder for BMP pictures, or empty
    std::string progman;       // the Program Manager stand-in, or empty: the desktop's own service
    bool keepFonts = false;    // answer No to the font questions
};
extern Options g_options;

// ---- report: lines in UTF-8 (the texts inside are Shift-JIS, as Windows gives them) ----
void Say(const std::string& text);
void Heading(const std::string& text);
std::string Indent(const std::string& text, const std::string& prefix = "      ");

// ---- the state folder ----
std::string StatePath(const std::string& name);
void WriteLines(const std::string& name, const std::vector<std::string>& lines);
std::vector<std::string> ReadLines(const std::string& name);

// ---- machine facts ----
bool IsNT();
// On Windows NT with the stand-in: Program Manager's commands are recorded and replayed.
bool UsesProgmanStandin();
std::string WindowsFolder();
std::string SystemFolder();   // where shared DLLs go
std::string FontsFolder();    // where fonts go
std::string ProgramsFolder(); // the start menu's Programs folder
std::string CompanionCopy();  // the uninstaller's companion while it waits for the restart
bool StartsWithNoCase(const std::string& text, const std::string& head);
bool EqualNoCase(const std::string& a, const std::string& b);

// ---- Program Manager, as the stand-in recorded it (ReadProgmanRecord) ----
// Groups with their items after replaying the recorded commands.
struct ProgmanGroup {
    std::string name;
    std::vector<std::string> items;
};
std::vector<ProgmanGroup> ReplayProgman(const std::vector<std::string>& commands);

// ---- the two passes ----
void Walk();      // install, list, remove, wait for the companion
void CompareAfterRestart();

}  // namespace tryout

#endif
