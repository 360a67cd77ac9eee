// Message dialogs, wait windows and the copy progress dialog.
#include "setup.h"

volatile int g_cancelFlag = 0;

bool ConfirmCancel(HWND) { return false; }
bool ConfirmLowSpace(HWND) { return false; }
int ConfirmCreateFolder(HWND) { return 2; }
int AskCopyRetry(HWND) { return 2; }
int RunCopyProgress() { return 0; }
void ShowFinishedDialog() {}
void ShowAbortedDialog() {}
HWND ShowInitWindow() { return nullptr; }
HWND ShowMenuWaitWindow() { return nullptr; }
