// Installing fonts: a font on the medium replaces the installed one only when it was made
// later; on Windows NT it is registered through a font resource file and the Fonts key.
#include "setup.h"

#include "common/system.h"
#include "common/uninst.h"
#include "journal.h"
#include "common/wintext.h"

namespace {

// The creation time of the file at path; false when there is none. A file search works on
// every system and needs no access to a font that is in use.
bool FindCreationTime(const char* path, FILETIME* time) {
    win::FoundEntry entry;
    HANDLE search = win::FindFirstFile(path, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    *time = entry.created;
    return true;
}

// Windows NT: the font resource file beside the font, added to the system and named in
// the Fonts key under valueName.
bool RegisterFontNT(const char* fontFolder, const char* destName, const char* valueName) {
    char resourceName[kPathSize];
    char resourcePath[kPathSize];
    if (!ReplaceExtension(resourceName, destName, ".fot") ||
        !JoinPath(resourcePath, fontFolder, resourceName)) {
        return false;
    }
    // A resource file is never overwritten by the system: one left by an earlier
    // installation of this font is taken out of use, kept aside and made anew. One that
    // belongs to another font stays, and this font cannot be registered.
    if (FileExists(resourcePath)) {
        if (!FotBelongsToFont(resourcePath, destName) || !RemoveJournaledFontResource(resourcePath)) return false;
    }
    if (!PrepareToWrite(resourcePath, true)) return false;
    if (FileExists(resourcePath)) DeleteAnyFile(resourcePath);  // kept by a copy: still in the way
    // The resource file names the font by its bare name, found in fontFolder.
    if (!win::CreateScalableFontResource(resourcePath, destName, fontFolder)) return false;
    if (!AddJournaledFontResource(resourcePath, fontFolder)) return false;
    // The value holds the resource file's name alone, stored without the terminating zero.
    return SetJournaledValue(HKEY_LOCAL_MACHINE, kFontsKey, valueName, REG_SZ, resourceName,
                             lstrlenA(resourceName));
}

}  // namespace

int CompareCreationTimes(const char* sourcePath, const char* destPath) {
    FILETIME source, dest;
    if (!FindCreationTime(destPath, &dest)) return 0;
    if (!FindCreationTime(sourcePath, &source)) return -1;
    auto ticks = [](const FILETIME& time) {
        return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    };
    return ticks(source) > ticks(dest) ? 2 : 1;
}

int InstallFont(const char* sourceFolder, const char* fontFolder, const char* sourceName,
                const char* destName, const char* valueName) {
    char sourcePath[kPathSize];
    char destPath[kPathSize];
    if (!JoinPath(sourcePath, sourceFolder, sourceName) || !JoinPath(destPath, fontFolder, destName)) {
        return 0;
    }
    switch (CompareCreationTimes(sourcePath, destPath)) {
    case -1: return 0;
    case 1: return 1;  // the installed font is as new: it stays, nothing more to do
    default: break;
    }
    // A font the system holds in use is replaced when it next starts.
    if (!CopyJournaledFile(sourcePath, destPath, true)) return 0;
    win::SetFileAttributes(destPath, FILE_ATTRIBUTE_NORMAL);
    if (IsWindowsNT()) {
        if (!RegisterFontNT(fontFolder, destName, valueName)) return 0;
    } else {
        // Windows 95 finds a bare name in its fonts folder.
        if (!AddJournaledFontResource(destName)) return 0;
    }
    BroadcastFontChange();
    return 1;
}
