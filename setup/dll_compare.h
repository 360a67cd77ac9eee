// The comparison rules for shared DLLs (portable).
#ifndef ZELK_SETUP_DLL_COMPARE_H
#define ZELK_SETUP_DLL_COMPARE_H

#include <stdint.h>

// Layout of the system's fixed version block (VS_FIXEDFILEINFO, 52 bytes).
struct FixedFileInfo {
    uint32_t signature, structVersion;
    uint32_t fileVersionMS, fileVersionLS;
    uint32_t productVersionMS, productVersionLS;
    uint32_t fileFlagsMask, fileFlags, fileOS, fileType, fileSubtype;
    uint32_t fileDateMS, fileDateLS;
};
static_assert(sizeof(FixedFileInfo) == 52, "the system's fixed version block is 52 bytes");

// 1 when a > b, -1 when a < b, 0 when equal; unsigned, high halves first.
int Compare64(uint32_t highA, uint32_t lowA, uint32_t highB, uint32_t lowB);
// 1: the source is newer (copy); 0: keep the installed one; 2: same versions, other date (copy).
int CompareFixedFileInfo(const FixedFileInfo& source, const FixedFileInfo& dest);

#endif
