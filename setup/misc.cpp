// Destination checks, message helpers and platform tests of setup.
#include "setup.h"
#include "common/system.h"

#include <stdlib.h>

GetVersionFunction g_getVersion = GetVersionExA;

bool CheckDriveType(HWND, const char*) { return true; }
uint64_t GetFreeDiskBytes(const char*) { return 0; }
int CreateDirectoryPath(const char*) { return 0; }
void FindDeepestExistingFolder(char* out, size_t, const char*) { out[0] = '\0'; }
void CenterWindow(HWND) {}
int ShowMessage(HWND, int) { return IDOK; }
void FatalError(const char*) { exit(1); }
int FormatTitleString(char* out, size_t, int) { out[0] = '\0'; return -1; }

bool IsSupportedWindows() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!g_getVersion(&info)) return false;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return true;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > 3 || info.dwMinorVersion >= 51;
}

void InitWizardPage(PROPSHEETPAGEA*, int, DLGPROC, const char*) {}
