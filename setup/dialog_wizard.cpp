// The three pages of the setup wizard: welcome, destination folder, ready.
//
// A page answers a wizard notification through its DWLP_MSGRESULT value, which the dialog
// manager clears before every message: 1 refuses a cancel, -1 keeps the wizard on the page.
#include "setup.h"

#include <shlobj.h>
#include <string.h>

#include "common/shell.h"
#include "common/system.h"
#include "ids.h"
#include "setup_api.h"
#include "common/wintext.h"

// What the destination page keeps for the whole run.
static uint64_t freeBytes;          // free space on the drive of the last valid destination
static bool sheetCentred;           // the wizard window was centred once
static bool createdFolderValid;     // createdFolder holds what an earlier Next created
static char createdFolder[kPathSize];
static int createdFolderDepth;      // levels created for createdFolder (-1: creation failed)

static void SetResult(HWND page, LONG_PTR result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
}

static void SetWizardButtons(HWND page, DWORD buttons) {
    PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

static void SetTitleText(HWND page, int controlId, int stringId) {
    char text[512];
    FormatTitleString(text, sizeof text, stringId);
    win::SetDlgItemText(page, controlId, text);
}

static void SetSheetCaption(HWND page) {
    char caption[512];
    GetCaptionText(g_setup, caption, sizeof caption);
    win::SetWindowText(GetParent(page), caption);
}

// The cancel rule of every page: the user confirms in dialog 118, or the wizard stays.
static INT_PTR AnswerQueryCancel(HWND page) {
    if (!ConfirmCancel(GetParent(page))) SetResult(page, TRUE);
    return TRUE;
}

// Decimal digits of value into out (at least 21 bytes). The number is divided by ten in
// 16-bit parts, so that the program needs no 64-bit division routine.
static void FormatUnsigned(char* out, uint64_t value) {
    uint32_t parts[4] = {static_cast<uint32_t>(value >> 48), static_cast<uint32_t>(value >> 32) & 0xFFFF,
                         static_cast<uint32_t>(value >> 16) & 0xFFFF, static_cast<uint32_t>(value) & 0xFFFF};
    char digits[21];
    int count = 0;
    bool more;
    do {
        uint32_t rest = 0;
        more = false;
        for (uint32_t& part : parts) {
            uint32_t current = rest << 16 | part;
            part = current / 10;
            rest = current % 10;
            more = more || part != 0;
        }
        digits[count++] = static_cast<char>('0' + rest);
    } while (more);
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
}

void ShowKilobytes(HWND page, int controlId, uint64_t bytes) {
    char text[32];
    FormatUnsigned(text, bytes >> 10);
    strcat(text, "Kb");
    win::SetDlgItemText(page, controlId, text);
}

// ---- fitting the sheet to the pages ----

// The sheet measures its pages in the dialog units of its own font; where that font is
// smaller than the pages' ("ＭＳ Ｐ明朝" 9 pt), a page would be cut off at the right and the
// bottom. Each page is therefore given the size its template asks for, and the sheet grows
// once by what the first page lacked, its buttons moving along.
static const int kPageWidth = 275;   // dialog units of every page template
static const int kPageHeight = 147;

static void MoveChild(HWND parent, HWND child, int dx, int dy, int grow) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, rect.right - rect.left + grow,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

static void GrowSheet(HWND sheet, int pageBottom, int dx, int dy) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.top < pageBottom) continue;  // pages and the hidden tab strip stay put
        char name[16] = "";
        GetClassNameA(child, name, sizeof name);
        bool button = win::SameName(name, "Button");
        // Buttons keep to the right edge; the separator line widens with the sheet.
        MoveChild(sheet, child, button ? dx : 0, dy, button ? 0 : dx);
    }
    RECT frame;
    GetWindowRect(sheet, &frame);
    SetWindowPos(sheet, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void FitSheetToPage(HWND page) {
    static bool sheetGrown;
    RECT wanted;
    wanted.left = wanted.top = 0;
    wanted.right = kPageWidth;
    wanted.bottom = kPageHeight;
    MapDialogRect(page, &wanted);
    RECT rect;
    GetWindowRect(page, &rect);
    int dx = wanted.right - (rect.right - rect.left);
    int dy = wanted.bottom - (rect.bottom - rect.top);
    if (dx <= 0 && dy <= 0) return;
    dx = dx > 0 ? dx : 0;
    dy = dy > 0 ? dy : 0;
    HWND sheet = GetParent(page);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
    if (!sheetGrown) GrowSheet(sheet, rect.bottom, dx, dy);
    sheetGrown = true;
    SetWindowPos(page, nullptr, 0, 0, wanted.right, wanted.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

// ---- welcome page ----

// The welcome and the ready page: one text with the title put in, and the sheet's buttons.
// The sheet is centred when its first page shows.
static INT_PTR TextPageProc(HWND page, UINT message, LPARAM lParam, int textId, DWORD buttons) {
    switch (message) {
    case WM_INITDIALOG:
        SetTitleText(page, IDC_MESSAGE, textId);
        SetSheetCaption(page);
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            FitSheetToPage(page);
            if (!sheetCentred) {
                CenterWindow(GetParent(page));
                sheetCentred = true;
            }
            SetWizardButtons(page, buttons);
            SetResult(page, 0);
            return TRUE;
        case PSN_QUERYCANCEL: return AnswerQueryCancel(page);
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return TextPageProc(page, message, lParam, IDS_WELCOME, PSWIZB_NEXT);
}

// ---- destination page ----

// destination <- the edit box's text. Text too long for a path buffer leaves destination
// empty, which the check on Next refuses, rather than a shortened path.
static void ReadDestination(HWND page) {
    char text[2 * kPathSize];
    // A character without its Shift-JIS form leaves the text empty: refused on Next as well.
    win::GetDlgItemText(page, IDC_DESTINATION_EDIT, text, sizeof text);
    CopyString(g_setup.destination, text);
}

static void ShowDestination(HWND page) {
    char text[kPathSize];
    CopyString(text, g_setup.destination);  // the edit's change handling rewrites destination
    win::SetDlgItemText(page, IDC_DESTINATION_EDIT, text);
}

static void DestinationEdited(HWND page) {
    ReadDestination(page);
    if (g_setup.destination[0] == '\0') g_setup.baseName[0] = '\0';
    if (IsValidPath(g_setup.destination)) {
        char folder[kPathSize];
        SplitPath(folder, g_setup.baseName, g_setup.destination);
        freeBytes = GetFreeDiskBytes(g_setup.destination);
    } else {
        freeBytes = 0;
    }
    ShowKilobytes(page, IDC_FREE_SPACE, freeBytes);
}

static void DestinationShown(HWND page) {
    FitSheetToPage(page);
    SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
    ShowDestination(page);
    freeBytes = GetFreeDiskBytes(g_setup.destination);
    ShowKilobytes(page, IDC_FREE_SPACE, freeBytes);
    ShowKilobytes(page, IDC_REQUIRED_SPACE, g_setup.requiredSize);
}

// Removes the folder levels an earlier Next created, deepest first; a folder that is not
// empty stays. These are all the levels this run created, whatever the destination is now.
void RemoveCreatedFolder() {
    for (int level = 0; level < createdFolderDepth; ++level) {
        char path[kPathSize];
        if (GetAncestorPath(path, createdFolder, level) == 0) win::RemoveDirectory(path);
    }
}

// How many trailing levels of folder an earlier Next created: all of them when folder is
// the folder created then, fewer when it is one of that folder's created parents, else none.
static int CreatedLevelsOf(const char* folder) {
    if (!createdFolderValid) return 0;
    for (int level = 0; level < createdFolderDepth; ++level) {
        char path[kPathSize];
        if (GetAncestorPath(path, createdFolder, level) == 0 && win::SameName(path, folder)) {
            return createdFolderDepth - level;
        }
    }
    return 0;
}

// Creates the missing levels of destination and records what was created.
static bool CreateFolderLevels() {
    if (createdFolderValid) RemoveCreatedFolder();
    int result = CreateDestination(g_setup);
    createdFolderValid = true;
    CopyString(createdFolder, g_setup.destination);
    createdFolderDepth = g_setup.dirDepth;
    return result == 0;
}

// The checks on Next, in order; false keeps the wizard on the page.
static bool AcceptDestination(HWND sheet) {
    // A folder path carries no final backslash but a drive's own: "C:\Games\" is the
    // folder "C:\Games", which the checks below must find when it exists.
    size_t length = strlen(g_setup.destination);
    if (length > 3 && EndsWithSeparator(g_setup.destination)) g_setup.destination[length - 1] = '\0';
    const char* destination = g_setup.destination;
    char uninstaller[kPathSize];
    // A folder too deep to hold the uninstaller cannot take the installation either.
    if (!IsValidPath(destination) || !JoinPath(uninstaller, destination, kUninstallerName)) {
        ShowMessage(sheet, IDS_INVALID_FOLDER);
        return false;
    }
    if (!CheckDriveType(sheet, destination)) return false;
    if (FileExists(destination)) {
        ShowMessage(sheet, IDS_FILE_EXISTS);
        return false;
    }
    if (FileExists(uninstaller)) {
        ShowMessage(sheet, IDS_ALREADY_INSTALLED_HERE);
        return false;
    }
    if (g_setup.requiredSize > freeBytes && !ConfirmLowSpace(sheet)) return false;
    if (DirectoryExists(destination)) {
        // dirDepth always counts levels of this destination, which the cancel, the rollback
        // and the uninstaller remove; folders made for another path are not among them.
        g_setup.dirDepth = CreatedLevelsOf(destination);
        return true;
    }
    if (ConfirmCreateFolder(sheet) != IDB_CREATE_FOLDER) return false;
    return CreateFolderLevels();
}

static INT_PTR DestinationNotify(HWND page, const NMHDR* header) {
    switch (header->code) {
    case PSN_SETACTIVE:
        DestinationShown(page);
        return TRUE;
    case PSN_WIZBACK:
        ReadDestination(page);
        return TRUE;
    case PSN_WIZNEXT:
        if (!AcceptDestination(GetParent(page))) SetResult(page, -1);
        return TRUE;
    case PSN_QUERYCANCEL: return AnswerQueryCancel(page);
    case PSN_HELP: return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetTitleText(page, IDC_MESSAGE, IDS_DESTINATION);
        SendDlgItemMessageA(page, IDC_DESTINATION_EDIT, EM_LIMITTEXT, kPathSize, 0);
        // The folder browser is offered on Windows 95 only; on NT the folder is typed.
        if (IsWindowsNT()) EnableWindow(GetDlgItem(page, IDC_BROWSE), FALSE);
        return TRUE;
    case WM_NOTIFY:
        return DestinationNotify(page, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DESTINATION_EDIT && HIWORD(wParam) == EN_CHANGE) {
            DestinationEdited(page);
        } else if (LOWORD(wParam) == IDC_BROWSE) {
            if (BrowseForDestination(page) == 0) ShowDestination(page);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- ready page ----

INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return TextPageProc(page, message, lParam, IDS_READY, PSWIZB_BACK | PSWIZB_FINISH);
}

// ---- the sheet ----

// The header fields up to the callback: the first header size, 40 bytes on 32-bit Windows
// (72 in the x86-64 test build, whose pointers are twice as wide).
constexpr DWORD kFirstSheetHeaderSize = offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK);
static_assert(kFirstSheetHeaderSize == (sizeof(void*) == 4 ? 40 : 72), "the first header size");

int RunSetupWizard(SetupContext& context) {
    char caption[kPathSize];
    GetCaptionText(context, caption, sizeof caption);
    PROPSHEETPAGEA_V1 pages[3];
    InitWizardPage(&pages[0], IDD_WELCOME_PAGE, WelcomePageProc, caption);
    InitWizardPage(&pages[1], IDD_DESTINATION_PAGE, DestinationPageProc, nullptr);
    InitWizardPage(&pages[2], IDD_READY_PAGE, ReadyPageProc, caption);

    PROPSHEETHEADERA header;
    memset(&header, 0, sizeof header);
    // The first header size: the common controls of Windows 95 and NT 4.0 as first shipped
    // refuse any other, and a refused sheet would be taken for Finish.
    header.dwSize = kFirstSheetHeaderSize;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hwndParent = GetSetupWindow();
    header.hInstance = GetSetupInstance();
    header.pszCaption = "";
    header.nPages = 3;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    return static_cast<int>(win::PropertySheet(&header));
}

// ---- the folder browser ----

// The destination for a folder picked in the browser: the folder itself when its last
// component is the application's folder name, else that name appended to it.
static bool DestinationForFolder(char* out, const char* folder) {
    char parent[kPathSize];
    char name[kPathSize];
    if (!SplitPath(parent, name, folder)) return false;
    if (!SameBytes(name, g_setup.baseName)) {
        return JoinPath(out, kPathSize, folder, g_setup.baseName);
    }
    return CopyString(out, kPathSize, folder);
}

int BrowseForDestination(HWND page) {
    char title[512];
    FormatTitleString(title, sizeof title, IDS_BROWSE_TITLE);
    char displayName[kPathSize];
    BROWSEINFOA info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = page;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    LPITEMIDLIST selection = win::SHBrowseForFolder(&info);
    if (selection == nullptr) return -1;

    char folder[kPathSize] = "";
    if (!GetPathOfItem(selection, folder)) ShowApiError("SHGetPathFromIDList");
    FreeItemList(selection);
    // A folder whose destination would not fit a path buffer changes nothing.
    char destination[kPathSize];
    if (!DestinationForFolder(destination, folder)) return -1;
    CopyString(g_setup.destination, destination);
    return 0;
}

int CALLBACK BrowseCallback(HWND browser, UINT event, LPARAM lParam, LPARAM) {
    if (event == BFFM_INITIALIZED) {
        char deepest[kPathSize];
        FindDeepestExistingFolder(deepest, sizeof deepest, g_setup.destination);
        win::SetBrowseSelection(browser, deepest);
    } else if (event == BFFM_SELCHANGED) {
        char folder[kPathSize];
        char shown[kPathSize];
        if (GetPathOfItem(reinterpret_cast<LPITEMIDLIST>(lParam), folder) &&
            DestinationForFolder(shown, folder)) {
            win::SetBrowseStatus(browser, shown);
        }
    }
    return 0;
}
