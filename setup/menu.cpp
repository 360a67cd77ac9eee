// Start-menu shortcuts and Program Manager items.
#include "setup.h"

int CreateMenuItems(SetupContext&) { return 0; }
