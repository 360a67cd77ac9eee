// The syntax check of a destination path (portable).
#ifndef ZELK_SETUP_DESTINATION_PATH_H
#define ZELK_SETUP_DESTINATION_PATH_H

// True for "X:\" followed by folder names that Windows can hold and the uninstall record
// can carry.
bool IsValidPath(const char* path);

#endif
