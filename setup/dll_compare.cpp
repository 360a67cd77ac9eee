// The comparison rules for shared DLLs (portable).
#include "dll_compare.h"

int Compare64(uint32_t highA, uint32_t lowA, uint32_t highB, uint32_t lowB) {
    if (highA != highB) return highA > highB ? 1 : -1;
    if (lowA != lowB) return lowA > lowB ? 1 : -1;
    return 0;
}

// The file version decides; on a tie the product version; on a tie again a different file
// date (either way) means another build of the same version, which is copied too.
int CompareFixedFileInfo(const FixedFileInfo& source, const FixedFileInfo& dest) {
    int file = Compare64(source.fileVersionMS, source.fileVersionLS, dest.fileVersionMS,
                         dest.fileVersionLS);
    if (file != 0) return file > 0 ? 1 : 0;
    int product = Compare64(source.productVersionMS, source.productVersionLS,
                            dest.productVersionMS, dest.productVersionLS);
    if (product != 0) return product > 0 ? 1 : 0;
    return Compare64(source.fileDateMS, source.fileDateLS, dest.fileDateMS, dest.fileDateLS) != 0 ? 2 : 0;
}
