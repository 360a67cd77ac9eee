// Message dialogs, wait windows and the copy progress dialog.
//
// A message dialog's result is the ID of the button pressed. Escape arrives as command 2,
// so it answers a dialog only where 2 is one of its buttons.
#include "setup.h"

#include "common/system.h"
#include "ids.h"
#include "common/wintext.h"

volatile int g_cancelFlag = 0;

static HCURSOR savedCursor;  // the cursor before a wait window opened

// Private messages of the progress dialog.
static const UINT kCopyFailed = WM_USER;        // abandoned, or no progress bar: result 1
static const UINT kCopyDone = WM_USER + 1;      // every item in place: result 0
static const UINT kStartCopy = WM_USER + 2;     // posted to itself once it is on screen

// ---- the common pattern ----

static void SetMessageText(HWND dialog, const char* text) {
    if (!win::SetDlgItemText(dialog, IDC_MESSAGE, text)) ShowApiError("SetDlgItemText");
}

static void SetTitleMessage(HWND dialog, int stringId) {
    char text[512];
    FormatTitleString(text, sizeof text, stringId);
    SetMessageText(dialog, text);
}

static void ShowCentred(HWND dialog) {
    CenterWindow(dialog);
    if (!UpdateWindow(dialog)) ShowApiError("UpdateWindow");
}

static void SetTopmost(HWND window, bool topmost) {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

static void EndWithResult(HWND dialog, INT_PTR result) {
    if (!EndDialog(dialog, result)) ShowApiError("EndDialog");
}

// Ends the dialog with the command's ID when it is one of the dialog's two buttons.
static INT_PTR EndOnButton(HWND dialog, WPARAM wParam, int first, int second) {
    int id = LOWORD(wParam);
    if (id != first && id != second) return FALSE;
    EndWithResult(dialog, id);
    return TRUE;
}

static INT_PTR RunModal(int dialogId, HWND owner, DLGPROC procedure) {
    return win::DialogBoxParam(GetSetupInstance(), MAKEINTRESOURCEA(dialogId), owner, procedure, 0);
}

// ---- the questions ----

static INT_PTR CALLBACK ConfirmCancelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetTitleMessage(dialog, IDS_CONFIRM_CANCEL);
        ShowCentred(dialog);
        return TRUE;
    case WM_COMMAND: return EndOnButton(dialog, wParam, IDB_ABANDON, IDB_DO_NOT_ABANDON);
    default: return FALSE;
    }
}

static INT_PTR CALLBACK LowSpaceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: ShowCentred(dialog); return TRUE;
    case WM_COMMAND: return EndOnButton(dialog, wParam, IDB_CONTINUE, IDB_GO_BACK);
    default: return FALSE;
    }
}

static INT_PTR CALLBACK CreateFolderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        char format[512];
        if (win::LoadString(IDS_CREATE_FOLDER, format, sizeof format) == 0) {
            ShowApiError("LoadString");  // the template's own text stays
        } else {
            char text[512];
            SubstituteText(text, sizeof text, format, g_setup.destination);
            SetMessageText(dialog, text);
        }
        ShowCentred(dialog);
        return TRUE;
    }
    case WM_COMMAND: return EndOnButton(dialog, wParam, IDB_CREATE_FOLDER, IDCANCEL);
    default: return FALSE;
    }
}

static INT_PTR CALLBACK CopyFailedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: ShowCentred(dialog); return TRUE;
    case WM_COMMAND: return EndOnButton(dialog, wParam, IDCANCEL, IDB_COPY_AGAIN);
    default: return FALSE;
    }
}

bool ConfirmCancel(HWND owner) {
    return RunModal(IDD_CONFIRM_CANCEL, owner, ConfirmCancelProc) == IDB_ABANDON;
}

bool ConfirmLowSpace(HWND owner) {
    return RunModal(IDD_LOW_SPACE, owner, LowSpaceProc) == IDB_CONTINUE;
}

int ConfirmCreateFolder(HWND owner) {
    return static_cast<int>(RunModal(IDD_CREATE_FOLDER, owner, CreateFolderProc));
}

int AskCopyRetry(HWND owner) {
    return static_cast<int>(RunModal(IDD_COPY_FAILED, owner, CopyFailedProc));
}

// ---- the final notices ----

// Commands 1 and 2 close a final notice; 2 (Escape, or Cancel of the restart variant) also
// takes back the restart.
static INT_PTR EndFinalNotice(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) == IDCANCEL) restartRequired = 0;
    return EndOnButton(dialog, wParam, IDOK, IDCANCEL);
}

// The finished notice stays in front of other programs' windows; the aborted one does not.
static INT_PTR FinalNoticeProc(HWND dialog, UINT message, WPARAM wParam, int stringId,
                               bool topmost) {
    switch (message) {
    case WM_INITDIALOG:
        SetTitleMessage(dialog, stringId);
        ShowCentred(dialog);
        if (topmost) SetTopmost(dialog, true);
        return TRUE;
    case WM_COMMAND: return EndFinalNotice(dialog, wParam);
    default: return FALSE;
    }
}

static INT_PTR CALLBACK FinishedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return FinalNoticeProc(dialog, message, wParam, IDS_FINISHED, true);
}

static INT_PTR CALLBACK AbortedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return FinalNoticeProc(dialog, message, wParam, IDS_ABORTED, false);
}

static INT_PTR CALLBACK RestartFinishedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return FinalNoticeProc(dialog, message, wParam, IDS_FINISHED_RESTART, true);
}

static INT_PTR CALLBACK RestartAbortedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return FinalNoticeProc(dialog, message, wParam, IDS_ABORTED_RESTART, false);
}

void ShowFinishedDialog() {
    if (restartRequired) {
        RunModal(IDD_RESTART, GetSetupWindow(), RestartFinishedProc);
    } else {
        RunModal(IDD_FINISHED, GetSetupWindow(), FinishedDialogProc);
    }
}

void ShowAbortedDialog() {
    if (restartRequired) {
        RunModal(IDD_RESTART, GetSetupWindow(), RestartAbortedProc);
    } else {
        RunModal(IDD_ABORTED, GetSetupWindow(), AbortedDialogProc);
    }
}

// ---- the wait windows ----

static INT_PTR CALLBACK WaitWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        savedCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        CenterWindow(window);
        UpdateWindow(window);
        return TRUE;
    case WM_DESTROY:
        SetCursor(savedCursor);
        return FALSE;
    default:
        return FALSE;
    }
}

static HWND ShowWaitWindow(int dialogId, HWND owner) {
    HWND window = win::CreateDialogParam(GetSetupInstance(), MAKEINTRESOURCEA(dialogId), owner,
                                     WaitWindowProc, 0);
    if (window == nullptr) ShowApiError("CreateDialog");
    return window;
}

HWND ShowInitWindow() { return ShowWaitWindow(IDD_INIT_WAIT, nullptr); }

HWND ShowMenuWaitWindow() { return ShowWaitWindow(IDD_MENU_WAIT, GetSetupWindow()); }

// ---- the copy progress dialog ----

// Cancel (or Escape) while the copy runs; this arrives through the copy's message pump.
static void AnswerCancel(HWND dialog) {
    SetTopmost(dialog, false);  // so that the question can come to the front
    if (ConfirmCancel(dialog)) {
        g_cancelFlag = 1;
        EndWithResult(dialog, 1);
    } else {
        SetTopmost(dialog, true);
    }
}

static INT_PTR CALLBACK CopyProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowCentred(dialog);
        SetTopmost(dialog, true);
        PostMessageA(dialog, kStartCopy, 0, 0);
        return TRUE;
    case kStartCopy:
        CopyAllFiles(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        AnswerCancel(dialog);
        return TRUE;
    case kCopyFailed:
    case kCopyDone:
        SetTopmost(dialog, false);
        EndWithResult(dialog, message == kCopyDone ? 0 : 1);
        return TRUE;
    default:
        return FALSE;
    }
}

int RunCopyProgress() {
    return static_cast<int>(RunModal(IDD_COPY_PROGRESS, GetSetupWindow(), CopyProgressProc));
}
