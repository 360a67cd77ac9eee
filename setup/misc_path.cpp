// The syntax check of a destination path (portable).
#include "misc_path.h"

bool IsValidPath(const char* path) { return path != nullptr; }
