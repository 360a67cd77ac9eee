// The uninstall entry's values beyond the command and the name, as far as the script and
// start-up's measurements decide them. Portable: setup writes them, the checker shows them.
#ifndef ZELK_SETUP_ENTRY_VALUES_H
#define ZELK_SETUP_ENTRY_VALUES_H

#include <stdint.h>

#include "context.h"

// The names of those values, in the order setup writes them.
extern const char kIconValue[];         // REG_SZ, the path of ProgramIconName
extern const char kVersionValue[];      // REG_SZ, APPVERSION
extern const char kLocationValue[];     // REG_SZ, the destination
extern const char kSizeValue[];         // REG_DWORD, InstalledKilobytes
extern const char kDateValue[];         // REG_SZ, FormatInstallDate of the local date
extern const char kNoModifyValue[];     // REG_DWORD 1
extern const char kNoRepairValue[];     // REG_DWORD 1

// The installed file whose icon the system's list shows: the first of the script's files
// whose installed name ends in ".exe" (the product's program), else the uninstaller.
const char* ProgramIconName(const SetupContext& context);

// Kilobytes, rounded up, of what the installation puts into the product's folder: the
// script's files as installed (expanded) and the uninstaller and its companion, with the
// sizes start-up measured (fileSize).
uint32_t InstalledKilobytes(const SetupContext& context);

// "YYYYMMDD", the form the system's list reads an installation date in.
void FormatInstallDate(char (&out)[9], int year, int month, int day);

#endif
