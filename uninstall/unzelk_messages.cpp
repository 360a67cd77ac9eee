// What unZELK shows: its message boxes (all without owner), the record reader's messages,
// the confirmation and the deleting-files window.
#include "unzelk.h"

#include <stdlib.h>
#include <string.h>

#include "common/textsub.h"
#include "ids.h"
#include "common/wintext.h"

namespace {

// head + text + tail in a heap buffer of the exact size; null when memory runs out.
char* Compose(const char* head, const char* text, const char* tail) {
    size_t size = strlen(head) + strlen(text) + strlen(tail) + 1;
    char* out = static_cast<char*>(malloc(size));
    if (out == nullptr) return nullptr;
    out[0] = '\0';
    AppendString(out, size, head);
    AppendString(out, size, text);
    AppendString(out, size, tail);
    return out;
}

// Text id with text in place of its "%s" ("%" is never a Shift-JIS trail byte), as Compose.
char* ComposeText(UINT id, const char* text) {
    char format[128];
    char* insert = LoadText(id, format, sizeof format);
    while (*insert != '\0' && !(insert[0] == '%' && insert[1] == 's')) ++insert;
    const char* tail = "";
    if (*insert != '\0') {
        *insert = '\0';
        tail = insert + 2;
    }
    return Compose(format, text, tail);
}

// The record path comes from the command line and may be of any length.
void CannotOpen(void*, const char* path) {
    char* text = ComposeText(IDS_UN_CANNOT_OPEN, path);
    if (text != nullptr) {
        ShowUninstallerMessage(text);
    } else {
        ShowUninstallerText(IDS_UN_CANNOT_OPEN_ANY);
    }
    free(text);
}

void NotAllRead(void*) { ShowUninstallerText(IDS_UN_NOT_ALL_READ); }

void InvalidLine(void*, const char* field) {
    char caption[64];
    ShowUninstallerText(IDS_UN_INVALID_RECORD);
    g_messageBox(nullptr, field, LoadText(IDS_UN_INVALID_RECORD, caption, sizeof caption), MB_OK);
}

void OutOfMemory(void*) { ShowUninstallerText(IDS_NO_MEMORY); }

}  // namespace

int ShowUninstallerMessage(const char* text, UINT type) {
    char caption[32];
    return g_messageBox(nullptr, text, LoadText(IDS_UN_CAPTION, caption, sizeof caption), type);
}

int ShowUninstallerText(UINT id, UINT type) {
    char text[128];
    return ShowUninstallerMessage(LoadText(id, text, sizeof text), type);
}

const RecordSink& UninstallerRecordSink() {
    static constexpr RecordSink sink{CannotOpen, NotAllRead, InvalidLine, OutOfMemory, nullptr};
    return sink;
}

bool ConfirmRemoval(const char* title) {
    // Should memory run out, the answer is No rather than a question without the name.
    char* text = ComposeText(IDS_UN_CONFIRM, title != nullptr ? title : "");
    bool yes = text != nullptr && ShowUninstallerMessage(text, MB_ICONWARNING | MB_YESNO) != IDNO;
    free(text);
    return yes;
}

void ShowUninstallerLeft(const char* path) {
    char* text = ComposeText(IDS_UN_LEFT, path);
    if (text != nullptr) {
        ShowUninstallerMessage(text, MB_ICONERROR);
    } else {
        ShowUninstallerText(IDS_UN_LEFT_ANY, MB_ICONERROR);
    }
    free(text);
}

void CenterOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR CALLBACK DeletingDialogProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CenterOnScreen(window);
    UpdateWindow(window);
    return TRUE;
}

HWND ShowDeletingWindow(HINSTANCE instance) {
    return win::CreateDialogAsIs(instance, MAKEINTRESOURCEA(IDD_UN_DELETING), nullptr, DeletingDialogProc, 0);
}
