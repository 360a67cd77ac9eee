// Reading the setup script into the setup context (portable).
#include "script.h"

int ReadSetupScript(SetupContext&, const char*, const ScriptReport& report) {
    report.Show(5, 0);
    return -1;
}

int CompleteSetupScript(SetupContext&, const ScriptReport&) { return -1; }
