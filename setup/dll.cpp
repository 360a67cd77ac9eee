// Installing shared DLLs: the DLL on the medium replaces the installed one only when its
// version block says it is newer, or differs in date alone.
#include "setup.h"

#include <string.h>

#include "common/system.h"
#include "journal.h"
#include "setup_api.h"
#include "common/wintext.h"

int ReadFixedFileInfo(const char* path, FixedFileInfo* block) {
    DWORD size = win::GetFileVersionInfoSize(path);
    if (size == 0) return 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return 0;
    int found = 0;
    if (void* info = GlobalLock(memory)) {
        VS_FIXEDFILEINFO* root = nullptr;
        // A root block that cannot be read, or is not a fixed version block, counts as none.
        if (win::GetFileVersionInfo(path, size, info) && win::VerQueryRoot(info, &root) &&
            sizeof *block <= sizeof *root && root->dwSignature == VS_FFI_SIGNATURE) {
            memcpy(block, root, sizeof *block);
            found = 1;
        }
        GlobalUnlock(memory);
    }
    GlobalFree(memory);
    return found;
}

int CompareFileVersions(const char* sourcePath, const char* destPath) {
    FixedFileInfo source, dest;
    if (!ReadFixedFileInfo(sourcePath, &source) || !ReadFixedFileInfo(destPath, &dest)) return 3;
    return CompareFixedFileInfo(source, dest);
}

// A compressed DLL's version block can only be read from its expanded form: it is expanded
// into a temporary file for the comparison. Without that, an older DLL on the medium would
// always replace a newer one that other programs rely on. The temporary file is the run's
// like any other: listed first, so that a run ended meanwhile leaves none behind.
static int CompareExpandedVersion(const char* sourcePath, const char* destPath) {
    char folder[kPathSize];
    char expanded[MAX_PATH];
    DWORD length = win::GetTempPath(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) return 3;
    // A name nothing holds yet (a number given to GetTempFileName makes no file).
    UINT unique = (GetTickCount() & 0x7FFF) + 1;
    for (int tries = 0;; ++tries, ++unique) {
        if (tries == 100 || !win::GetTempFileName(folder, "zlk", unique, expanded)) return 3;
        if (!FileExists(expanded)) break;
    }
    if (!PrepareToWrite(expanded)) return 3;
    int result = CopyInstallFile(sourcePath, expanded) ? CompareFileVersions(expanded, destPath) : 3;
    win::DeleteFile(expanded);
    return result;
}

int InstallDll(const char* sourcePath, const char* destPath) {
    if (FileExists(destPath)) {
        int comparison = IsCompressedName(sourcePath) ? CompareExpandedVersion(sourcePath, destPath)
                                                      : CompareFileVersions(sourcePath, destPath);
        if (comparison == 0) return 1;
    }
    // A DLL that a running program has loaded is replaced when the system next starts.
    if (!CopyJournaledFile(sourcePath, destPath, true)) return 0;
    win::SetFileAttributes(destPath, FILE_ATTRIBUTE_NORMAL);
    return 1;
}
