// The uninstall entry's values that the script and start-up decide (portable).
#include "entry_values.h"

const char kIconValue[] = "DisplayIcon";
const char kVersionValue[] = "DisplayVersion";
const char kLocationValue[] = "InstallLocation";
const char kSizeValue[] = "EstimatedSize";
const char kDateValue[] = "InstallDate";
const char kNoModifyValue[] = "NoModify";
const char kNoRepairValue[] = "NoRepair";

namespace {

// True when name ends in ".exe" in any case, the suffix starting a character of its own.
bool IsProgramName(const char* name) {
    static const char kSuffix[] = ".EXE";
    for (const char* p = name; *p != '\0'; ++p) {
        int i = 0;
        while (i < 4 && p[i] != '\0' && UpperAscii(p[i]) == kSuffix[i]) ++i;
        if (i == 4 && p[4] == '\0') return true;
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') ++p;
    }
    return false;
}

}  // namespace

const char* ProgramIconName(const SetupContext& context) {
    for (int i = 0; i < context.fileCount; ++i) {
        const char* name = InstalledFileName(context, i);
        if (name != nullptr && IsProgramName(name)) return name;
    }
    return kUninstallerName;
}

uint32_t InstalledKilobytes(const SetupContext& context) {
    uint64_t bytes = 0;
    for (int i = 0; i < context.fileCount + 2; ++i) bytes += context.fileSize[i];
    // 255 entries of at most 4 GiB each stay below 2^32 kilobytes.
    return static_cast<uint32_t>((bytes + 1023) / 1024);
}

void FormatInstallDate(char (&out)[9], int year, int month, int day) {
    const int parts[3][2] = {{year, 4}, {month, 2}, {day, 2}};
    char* p = out;
    for (const auto& part : parts) {
        int value = part[0];
        for (int digit = part[1] - 1; digit >= 0; --digit) {
            p[digit] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        p += part[1];
    }
    *p = '\0';
}
