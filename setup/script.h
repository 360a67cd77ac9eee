// The setup script "setup.dat": reading it into the setup context and completing the
// defaults. Portable: the messages leave through a handler that each caller supplies
// (setup shows string-table boxes; the tests and the publisher's checker record them).
#ifndef ZELK_SETUP_SCRIPT_H
#define ZELK_SETUP_SCRIPT_H

#include "context.h"

// What the reader made of one line (one piece of at most 259 bytes), for a caller that
// wants more than the messages: the publisher's checker names lines by these.
enum class ScriptLineKind {
    kSkipped,  // empty, comment or section line; or a line of commas only
    kValue,    // a keyword line with a single value (TITLE ... SRCDIRECTORY)
    kFile,     // a file line
    kAddFile,
    kDll,
    kFont,
    kUnknown,  // a keyword line with a keyword not in the table
    kIgnored,  // a line after the one that stopped the reading: never read
};

struct ScriptLine {
    int lineNumber;        // 1-based physical line; a long line's pieces share it
    const char* text;      // the piece as read, line end removed
    ScriptLineKind kind;
    const char* keyword;   // the table's spelling of the keyword matched ("FONT"), or null
    int index;             // list lines: the index the entry was stored at, -1 when none was
    bool stopped;          // the reading stops at this line (its message was shown)
    bool cut;              // a split dropped text: a third field ("A=B=C", "a,b,c", "a>b>c")
};

// How the reader reports: a string-table ID (2, 3, 4, 5, 9 ... 59) and the 1-based line
// of the script it concerns (0 when it concerns no line, e.g. a missing keyword). With a
// line handler, the reader also tells what it made of every line, and after a stop it
// goes through the rest of the file to tell which lines it ignores; what it stores and
// shows is the same with or without one (setup passes none).
struct ScriptReport {
    void (*message)(void* user, int stringId, int lineNumber);
    void* user;
    void (*line)(void* user, const ScriptLine& line) = nullptr;
    void Show(int stringId, int lineNumber) const {
        if (message) message(user, stringId, lineNumber);
    }
    void Tell(const ScriptLine& event) const {
        if (line) line(user, event);
    }
};

// Reads fileName (relative to the current directory) into context. 0, or -1 when the file
// cannot be opened (after string 5). Reading that stops early still returns 0.
int ReadSetupScript(SetupContext& context, const char* fileName, const ScriptReport& report);

// Checks the required keywords and fills in the defaults and destination. 0 or -1.
int CompleteSetupScript(SetupContext& context, const ScriptReport& report);

#endif
