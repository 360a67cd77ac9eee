// Setup-side removal: an earlier installation, and the rollback of this one.
#include "setup.h"

int RollBackInstallation(SetupContext&) { return 0; }
