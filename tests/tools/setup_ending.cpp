// setup.exe for the tests that end a run half-way. With ZELK_END_AT=k in its environment the
// run ends right before its k-th listed action is carried out, the way a kill would end it;
// a run with fewer actions ends when all are done, before it marks its list finished. The
// exit code is the number of the action it ended at.
#include <windows.h>

#include "common/textsub.h"
#include "setup/journal.h"

namespace {

int g_endAt;
int g_reached;

void EndAt(bool complete) {
    ++g_reached;
    if (g_reached == g_endAt || (complete && g_reached < g_endAt)) {
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(g_reached));
    }
}

bool WatchTheJournal() {
    char text[16];
    DWORD length = GetEnvironmentVariableA("ZELK_END_AT", text, sizeof text);
    if (length == 0 || length >= sizeof text) return false;
    g_endAt = ParseDecimal(text);
    g_journalWatch = EndAt;
    return true;
}

const bool kWatching = WatchTheJournal();

}  // namespace
