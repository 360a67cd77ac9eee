// The copy engine.
#include "setup.h"

int CopyAllFiles(HWND) { return 0; }
