// Destination checks, message helpers and platform tests of setup.
#include "setup.h"

#include <stdlib.h>
#include <string.h>

#include "common/system.h"
#include "common/system_api.h"
#include "ids.h"

GetVersionFunction g_getVersion = GetVersionExA;

// Bytes of the character at p: 2 for a Shift-JIS lead byte with its trail byte, else 1.
static size_t CharacterLength(const char* p) {
    return (IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0') ? 2 : 1;
}

// ---- drives and folders ----

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
    UINT type = GetDriveTypeA(root);
    if (type == DRIVE_FIXED) return true;
    int message = DriveTypeMessage(type);
    if (message != 0) ShowMessage(owner, message);
    return false;
}

// The first Windows 95 lacks the wide query; it is looked up at run time, and the cluster
// count, which cannot describe more than about 2 GB, serves where it is missing.
uint64_t GetFreeDiskBytes(const char* path) {
    char root[4];
    if (GetDriveRoot(root, path) != 0) return 0;
    if (auto extended = SystemApi().GetDiskFreeSpaceExA) {
        ULARGE_INTEGER available, total, free;
        if (!extended(root, &available, &total, &free)) return 0;
        return available.QuadPart;
    }
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
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
        if (SetCurrentDirectoryA(prefix)) return true;
        if (!CreateDirectoryA(prefix, nullptr)) {
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

// ---- windows ----

void CenterWindow(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    MoveWindow(window, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, TRUE);
}

// Pages have the first record size, the only one the common controls of Windows 95 and
// NT 4.0 as first shipped accept; the sheet steps through the page array by this size:
// 40 bytes on 32-bit Windows (72 in the x86-64 test build).
static_assert(sizeof(PROPSHEETPAGEA_V1) == (sizeof(void*) == 4 ? 40 : 72), "the first page record size");

void InitWizardPage(PROPSHEETPAGEA_V1* page, int templateId, DLGPROC procedure, const char* title) {
    memset(page, 0, sizeof *page);
    page->dwSize = sizeof *page;
    page->dwFlags = title != nullptr ? PSP_USETITLE : 0;
    page->hInstance = GetSetupInstance();
    page->pszTemplate = MAKEINTRESOURCEA(templateId);
    page->pszTitle = title;
    page->pfnDlgProc = procedure;
}

// ---- messages ----

int ShowMessage(HWND owner, int stringId) {
    char caption[64];
    char text[512];
    HINSTANCE instance = GetSetupInstance();
    if (LoadStringA(instance, IDS_CAPTION, caption, sizeof caption) == 0 ||
        LoadStringA(instance, stringId, text, sizeof text) == 0) {
        FatalError("Can't load string");
    }
    int result = g_messageBox(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
    if (result == 0) FatalError(nullptr);
    return result;
}

void FatalError(const char* text) {
    if (text != nullptr) g_messageBox(nullptr, text, "致命的エラー", MB_OK);
    exit(1);  // the normal exit, so that the setup context frees what it holds
}

// Number of bytes of the longest run of whole characters at the start of s that is at most
// limit bytes long.
static size_t WholeCharacters(const char* s, size_t limit) {
    size_t length = 0;
    while (s[length] != '\0') {
        size_t step = CharacterLength(s + length);
        if (length + step > limit) break;
        length += step;
    }
    return length;
}

// Walks format, handing each literal run and each "%s" to the callbacks.
template <typename Literal, typename Insert>
static void WalkFormat(const char* format, Literal literal, Insert insert) {
    const char* run = format;
    const char* p = format;
    while (*p != '\0') {
        if (p[0] == '%' && (p[1] == 's' || p[1] == '%')) {
            literal(run, static_cast<size_t>(p - run));
            if (p[1] == 's') {
                insert();
            } else {
                literal(p, 1);
            }
            p += 2;
            run = p;
        } else {
            p += CharacterLength(p);
        }
    }
    literal(run, static_cast<size_t>(p - run));
}

int SubstituteText(char* out, size_t size, const char* format, const char* text) {
    if (size == 0) return -1;
    size_t fixed = 0;
    size_t inserts = 0;
    WalkFormat(format, [&](const char*, size_t n) { fixed += n; }, [&] { ++inserts; });

    // Every insert gets the same share of the room the fixed text leaves.
    size_t textLength = strlen(text);
    if (inserts > 0 && fixed < size - 1 && textLength * inserts > size - 1 - fixed) {
        textLength = WholeCharacters(text, (size - 1 - fixed) / inserts);
    }
    size_t used = 0;
    auto append = [&](const char* s, size_t n) {
        size_t room = size - 1 - used;
        if (n > room) n = WholeCharacters(s, room);
        memcpy(out + used, s, n);
        used += n;
    };
    WalkFormat(format, append, [&] { append(text, textLength); });
    out[used] = '\0';
    return 0;
}

int FormatTitleString(char* out, size_t size, int stringId) {
    char format[512];
    if (LoadStringA(GetSetupInstance(), stringId, format, sizeof format) == 0) {
        ShowApiError("LoadString");
        if (size > 0) out[0] = '\0';
        return -1;
    }
    return SubstituteText(out, size, format, g_setup.title != nullptr ? g_setup.title : "");
}

// ---- platform ----

bool IsSupportedWindows() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!g_getVersion(&info)) return false;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return true;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > 3 || info.dwMinorVersion >= 51;
}
