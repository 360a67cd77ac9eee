// Writing the uninstall record.
#include "setup.h"

int WriteUninstallRecord(SetupContext&) { return 0; }
