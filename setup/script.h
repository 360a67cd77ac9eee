// The setup script "setup.dat": reading it into the setup context and completing the
// defaults. Portable: the messages leave through a handler that each caller supplies
// (setup shows string-table boxes; the tests and the publisher's checker record them).
#ifndef ZELK_SETUP_SCRIPT_H
#define ZELK_SETUP_SCRIPT_H

#include "context.h"

// How the reader reports: a string-table ID (2, 3, 4, 5, 9 ... 59) and the 1-based line
// of the script it concerns (0 when it concerns no line, e.g. a missing keyword).
struct ScriptReport {
    void (*message)(void* user, int stringId, int lineNumber);
    void* user;
    void Show(int stringId, int lineNumber) const {
        if (message) message(user, stringId, lineNumber);
    }
};

// Reads fileName (relative to the current directory) into context. 0, or -1 when the file
// cannot be opened (after string 5). Reading that stops early still returns 0.
int ReadSetupScript(SetupContext& context, const char* fileName, const ScriptReport& report);

// Checks the required keywords and fills in the defaults and destination. 0 or -1.
int CompleteSetupScript(SetupContext& context, const ScriptReport& report);

#endif
