// Writing the lines of the uninstall record (portable).
#ifndef ZELK_SETUP_RECORD_WRITER_H
#define ZELK_SETUP_RECORD_WRITER_H

#include <stdio.h>

#include "context.h"

// Writes the record's lines for context to file (opened in binary mode), each ending in
// CR LF. False when a line cannot be formed within the readers' line length or the file
// reports a write error; what was written until then stays in the file.
bool WriteRecordLines(const SetupContext& context, FILE* file);

#endif
