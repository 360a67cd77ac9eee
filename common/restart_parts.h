// What the two halves of the restart list's code share (common/restart.cpp, which adds to the
// list, and setup/restart_cancel.cpp, which takes an entry off it again): where the list is,
// and how an entry of it reads.
#ifndef ZELK_COMMON_RESTART_PARTS_H
#define ZELK_COMMON_RESTART_PARTS_H

#include <stddef.h>

#include "textsub.h"

namespace restart_parts {

extern const char kSessionManager[];  // NT: the key of the move-file facility's list
extern const char kPendingRenames[];  // NT: its value
extern const char kWininit[];         // Windows 95: the file of the list
extern const char kRenameSection[];   // Windows 95: its section

constexpr size_t kLineSize = 2 * kPathSize + 8;

// path as the system reads it when it starts (see restart.cpp).
bool RealPath(char (&out)[kPathSize], const char* path);
// Windows 95: the line "target=source" in short paths; a deletion's target is NUL.
bool RenameLine(char (&line)[kLineSize], const char* source, const char* target);
// Windows 95: the [rename] section read whole into a heap block with room for one more line
// (the caller frees it), and its size with its last zero; null when it cannot be read whole.
char* ReadRenameSection(size_t* size);
// Windows 95: writes the section and frees it.
bool WriteRenameSection(char* section);

}  // namespace restart_parts

#endif
