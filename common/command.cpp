// Command lines that cross between the programs (portable).
#include "command.h"

bool FormatUninstallCommand(char* out, size_t, const char*, const char*) { out[0] = '\0'; return false; }
const char* SkipProgramName(const char* commandLine) { return commandLine; }
const char* RecordPathFromArguments(const char* arguments) { return arguments; }
