// The comparison rules for shared DLLs (portable).
#include "dll_compare.h"

int Compare64(uint32_t highA, uint32_t lowA, uint32_t highB, uint32_t lowB) {
    if (highA != highB) return highA > highB ? 1 : -1;
    if (lowA != lowB) return lowA > lowB ? 1 : -1;
    return 0;
}

int CompareFixedFileInfo(const FixedFileInfo&, const FixedFileInfo&) { return 1; }
