// Removal of start-menu entries.
#include "uninst.h"

void RemoveMenuEntries(const char*, char* const*, int) {}
