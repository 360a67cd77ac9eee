// What unZELK shows: its message boxes (all without owner), the record reader's messages,
// the confirmation and the deleting-files window.
#include "unzelk.h"

#include <stdlib.h>
#include <string.h>

#include "common/textsub.h"
#include "ids.h"

const char kUninstallerCaption[] = "ZELKアンインストーラ";
const char kForeignLinesHeading[] =
    "アンインストール情報ファイルの次の行は、このアプリケーション以外のファイルやフォルダを指している"
    "可能性があるので処理しません。";

namespace {

const char kInvalidRecord[] = "アンインストール情報ファイルが不正です";

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

// The record path comes from the command line and may be of any length.
void CannotOpen(void*, const char* path) {
    char* text = Compose("アンインストール情報ファイル'", path, "'が読み込めません");
    ShowUninstallerMessage(text != nullptr ? text : "アンインストール情報ファイルが読み込めません");
    free(text);
}

void NotAllRead(void*) { ShowUninstallerMessage("アンインストール情報ファイルをすべて読み込むことに失敗しました"); }

void InvalidLine(void*, const char* field) {
    ShowUninstallerMessage(kInvalidRecord);
    g_messageBox(nullptr, field, kInvalidRecord, MB_OK);
}

void OutOfMemory(void*) { ShowUninstallerMessage("メモリが足りません"); }

}  // namespace

int ShowUninstallerMessage(const char* text, UINT type) {
    return g_messageBox(nullptr, text, kUninstallerCaption, type);
}

const RecordSink& UninstallerRecordSink() {
    static constexpr RecordSink sink{CannotOpen, NotAllRead, InvalidLine, OutOfMemory, nullptr};
    return sink;
}

bool ConfirmRemoval(const char* title) {
    // A title is at most one record line, so the question always fits; should it not, the
    // answer is No rather than a question about a shortened name.
    char text[kPathSize * 2];
    if (!CopyString(text, title != nullptr ? title : "") ||
        !AppendString(text, "を削除してもよろしいですか?")) {
        return false;
    }
    return ShowUninstallerMessage(text, MB_ICONWARNING | MB_YESNO) != IDNO;
}

void ShowUninstallerLeft(const char* path) {
    char* text = Compose("次のファイルを削除できませんでした。手動で削除してください。\n\n", path, "");
    ShowUninstallerMessage(text != nullptr ? text : "ZELKアンインストーラを削除できませんでした。",
                           MB_ICONERROR);
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
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UN_DELETING), nullptr,
                              DeletingDialogProc, 0);
}
