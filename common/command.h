// Command lines that cross between the programs. Portable.
#ifndef ZELK_COMMON_COMMAND_H
#define ZELK_COMMON_COMMAND_H

#include <stddef.h>

// The uninstall command registered for an installation in destination:
//   program path, blank, "*", record path; the program path is quoted when it holds a blank.
// False (out empty) when it does not fit.
bool FormatUninstallCommand(char* out, size_t size, const char* destination, const char* recordName);

// The argument text of a command line: what follows the program's own name (a quoted name
// ends at its closing quote, an unquoted one at the first blank), blanks skipped. In
// program_name.cpp, which needs no C runtime: the companion (rmzelk/) compiles it as well.
const char* SkipProgramName(const char* commandLine);

// unZELK: the record path after the leading asterisks, blanks and tabs of its arguments.
const char* RecordPathFromArguments(const char* arguments);

#endif
