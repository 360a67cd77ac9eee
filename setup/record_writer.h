// Writing the lines of the uninstall record (portable).
#ifndef ZELK_SETUP_RECORD_WRITER_H
#define ZELK_SETUP_RECORD_WRITER_H

#include "common/file.h"
#include "context.h"

// Writes the record's lines for context to file, each ending in CR LF. False when a line
// cannot be formed within the readers' line length or cannot be written; what was written
// until then stays in the file.
bool WriteRecordLines(const SetupContext& context, ByteFile& file);

#endif
