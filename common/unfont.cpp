// Removal of fonts.
#include "uninst.h"

int RemoveFont(HWND, const char*, const char*, const char*, const char*) { return 1; }
