// setup.exe for the tests that end a run half-way, the way a kill would end it. With
// ZELK_END_AT=k in its environment the run ends right before its k-th listed action is
// carried out; a run with fewer actions ends when all are done, before it marks its list
// finished. With ZELK_END_UNDO_AT=j it ends at the j-th step of an undo (its own rollback's
// or the undo of an earlier run's list), with ZELK_END_COMMIT_AT=c at the c-th step of the
// commit. The exit code is the number of the step it ended at.
#include <windows.h>

#include "common/textsub.h"
#include "setup/journal.h"

namespace {

struct Ending {
    const char* variable;
    int at;       // the step to end at; 0: never
    int reached;  // steps so far
};
Ending g_actions{"ZELK_END_AT", 0, 0};
Ending g_undo{"ZELK_END_UNDO_AT", 0, 0};
Ending g_commit{"ZELK_END_COMMIT_AT", 0, 0};

void End(int step) { TerminateProcess(GetCurrentProcess(), static_cast<UINT>(step)); }

void Count(Ending& ending, bool last = false) {
    ++ending.reached;
    if (ending.at == 0) return;
    if (ending.reached == ending.at || (last && ending.reached < ending.at)) End(ending.reached);
}

void EndAt(JournalStep step) {
    switch (step) {
    case JournalStep::Action: Count(g_actions); break;
    case JournalStep::Complete: Count(g_actions, true); break;
    case JournalStep::Undo: Count(g_undo); break;
    case JournalStep::Commit: Count(g_commit); break;
    }
}

bool Read(Ending& ending) {
    char text[16];
    DWORD length = GetEnvironmentVariableA(ending.variable, text, sizeof text);
    if (length == 0 || length >= sizeof text) return false;
    ending.at = ParseDecimal(text);
    return true;
}

bool WatchTheJournal() {
    bool any = Read(g_actions);
    any = Read(g_undo) || any;
    any = Read(g_commit) || any;
    if (any) g_journalWatch = EndAt;
    return any;
}

const bool kWatching = WatchTheJournal();

}  // namespace
