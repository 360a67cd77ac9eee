// The destination's drive and folders: the drive type check, the free space, the creation of
// missing folder levels.
#include "setup.h"

#include <stdlib.h>
#include <string.h>

#include "common/system.h"
#include "ids.h"
#include "setup_api.h"
#include "common/wintext.h"

// The message for a drive type that setup refuses, or 0 when there is none to show.
static int DriveTypeMessage(UINT type) {
    switch (type) {
    case DRIVE_REMOTE: return IDS_NETWORK_DRIVE;
    case DRIVE_CDROM: return IDS_CDROM_DRIVE;
    case DRIVE_RAMDISK: return IDS_RAM_DISK;
    case DRIVE_REMOVABLE: return IDS_REMOVABLE_DRIVE;
    default: return 0;
    }
}

bool CheckDriveType(HWND owner, const char* path) {
    char root[4];
    if (GetDriveRoot(root, path) != 0) return false;
    UINT type = win::GetDriveType(root);
    if (type == DRIVE_FIXED) return true;
    int message = DriveTypeMessage(type);
    if (message != 0) ShowMessage(owner, message);
    return false;
}

// The first Windows 95 lacks the wide query; the cluster count, which cannot describe more
// than about 2 GB, serves where it is missing.
uint64_t GetFreeDiskBytes(const char* path) {
    char root[4];
    if (GetDriveRoot(root, path) != 0) return 0;
    ULARGE_INTEGER available;
    if (win::GetDiskFreeSpaceEx(root, &available)) return available.QuadPart;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!win::GetDiskFreeSpace(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 0;
    return static_cast<uint64_t>(freeClusters) * bytesPerSector * sectorsPerCluster;
}

// Calls visit with every prefix of path that ends before a backslash, and with the whole
// path, until visit returns false. False when a prefix does not fit the path buffer.
template <typename Visit>
static bool WalkPrefixes(const char* path, Visit visit) {
    char prefix[kPathSize];
    size_t i = 0;
    for (;;) {
        char c = path[i];
        if (c == '\\' || c == '\0') {
            if (i >= sizeof prefix) return false;
            memcpy(prefix, path, i);
            prefix[i] = '\0';
            if (!visit(prefix) || c == '\0') return true;
            ++i;
        } else {
            i += CharacterLength(path + i);
        }
    }
}

int CreateDirectoryPath(const char* path) {
    if (strlen(path) < 4) return 0;
    if (strlen(path) >= kPathSize) return -1;
    int count = 0;
    bool failed = false;
    WalkPrefixes(path, [&](const char* prefix) {
        if (win::SetCurrentDirectory(prefix)) return true;
        if (!win::CreateDirectory(prefix, nullptr)) {
            failed = true;
            return false;
        }
        ++count;
        return true;
    });
    return failed ? -1 : count;
}

void FindDeepestExistingFolder(char* out, size_t size, const char* path) {
    if (size == 0) return;
    out[0] = '\0';
    WalkPrefixes(path, [&](const char* prefix) {
        if (strlen(prefix) >= size || !DirectoryExists(prefix)) return false;
        CopyString(out, size, prefix);
        return true;
    });
    size_t length = strlen(out);
    if (length > 0 && out[length - 1] == ':' && length + 1 < size) {
        out[length] = '\\';
        out[length + 1] = '\0';
    }
}
