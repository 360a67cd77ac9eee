// Registry records of an installation.
#include "setup.h"

int ReadPreviousInstall(SetupContext&) { return 0; }
int CheckPreviousInstall(SetupContext&, HWND) { return 1; }
void RemovePreviousInstall(SetupContext&) {}
int WriteRegistryRecords(SetupContext&) { return 0; }
int DeleteRegistryRecords(SetupContext&) { return 0; }
