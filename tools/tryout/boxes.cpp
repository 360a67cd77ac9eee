// Pictures of the screen and the programs' message boxes.
#include "walk_steps.h"

#include <stdio.h>

#include "ids.h"

namespace tryout {

using e2e::Process;
using e2e::Window;

// The trail bytes of double-byte characters are skipped: the trail byte of "表" is 0x5C.
size_t LastBackslash(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
            ++i;
        } else if (path[i] == '\\') {
            last = i;
        }
    }
    return last;
}

void Snap(const char* name, DWORD settle) {
    static int taken = 0;
    if (g_options.screenshots.empty()) return;
    Sleep(settle);
    char file[96];
    snprintf(file, sizeof file, "%02d-%s.bmp", ++taken, name);
    if (!e2e::SaveScreenshot(g_options.screenshots + "\\" + file)) Say(std::string("  (no screenshot ") + file + ")");
}

namespace {

struct BoxSearch {
    DWORD processId;
    const std::vector<std::string>* captions;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    // A message box: a dialog with the box's text control and one of the programs' captions;
    // setup's own dialogs carry the same caption but hold their text in IDC_MESSAGE.
    if (lstrcmpA(className, "#32770") != 0 || GetDlgItem(window, 0xFFFF) == nullptr || caption[0] == '\0' ||
        GetDlgItem(window, IDC_MESSAGE) != nullptr || GetDlgItem(window, 0x3024) != nullptr) {
        return TRUE;
    }
    for (const std::string& wanted : *search->captions) {
        if (wanted == caption) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

const std::vector<std::string> kSetupBoxes = {"ZELKセットアップ", "API エラー"};
const std::vector<std::string> kUninstallerBoxes = {"ZELKアンインストーラ", "API エラー",
                                                    "アンインストール情報ファイルが不正です"};

Window MessageBoxOf(const Process& process, const std::vector<std::string>& captions) {
    BoxSearch search = {process.id(), &captions, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return Window(search.found);
}

void Answer(const Window& window, int button) {
    window.Press(button);
    window.WaitClosed();
}
}  // namespace tryout
