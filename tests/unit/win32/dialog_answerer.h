// Answers the message boxes and dialogs that the code under test shows on the test's own
// thread: a second thread finds each new one, records it and posts the chosen command.
#ifndef ZELK_TESTS_DIALOG_ANSWERER_H
#define ZELK_TESTS_DIALOG_ANSWERER_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ids.h"

struct SeenDialog {
    HWND window = nullptr;
    std::string caption;
    std::string text;      // a message box's text, or the text of control 1014
    std::vector<int> buttons;  // IDs of the push buttons 1, 2, 4, 6, 7 it has
    bool topmost = false;
    HWND owner = nullptr;
};

class DialogAnswerer {
public:
    using Choice = std::function<int(const SeenDialog&)>;

    // By default every window is answered with its first button (IDOK for a message box);
    // a choice of 0 leaves the window alone.
    explicit DialogAnswerer(Choice choose = nullptr)
        : choose_(std::move(choose)), thread_(GetCurrentThreadId()) {
        worker_ = std::thread([this] { Run(); });
    }
    ~DialogAnswerer() {
        stop_ = true;
        worker_.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    std::vector<SeenDialog> Seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    static std::string TextOf(HWND window) {
        char text[2048] = "";
        if (window != nullptr) GetWindowTextA(window, text, sizeof text);
        return text;
    }

    static BOOL CALLBACK Visit(HWND window, LPARAM data) {
        auto* self = reinterpret_cast<DialogAnswerer*>(data);
        char name[32] = "";
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, "#32770") == 0 && IsWindowVisible(window) &&
            self->handled_.insert(window).second) {
            self->found_.push_back(window);
        }
        return TRUE;
    }

    SeenDialog Describe(HWND window) {
        SeenDialog seen;
        seen.window = window;
        seen.caption = TextOf(window);
        HWND text = GetDlgItem(window, IDC_MESSAGE);
        seen.text = TextOf(text != nullptr ? text : GetDlgItem(window, 0xFFFF));  // a box's text
        for (int id : {1, 4, 6, 7, 2}) {
            if (GetDlgItem(window, id) != nullptr) seen.buttons.push_back(id);
        }
        seen.topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        seen.owner = GetWindow(window, GW_OWNER);
        return seen;
    }

    // Every window found in one look is described before any is answered, since an answer
    // may close the others.
    void Run() {
        while (!stop_) {
            found_.clear();
            EnumThreadWindows(thread_, Visit, reinterpret_cast<LPARAM>(this));
            std::vector<SeenDialog> batch;
            for (HWND window : found_) batch.push_back(Describe(window));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.insert(seen_.end(), batch.begin(), batch.end());
            }
            for (const SeenDialog& seen : batch) {
                int answer = choose_ ? choose_(seen) : (seen.buttons.empty() ? IDOK : seen.buttons[0]);
                if (answer != 0) {
                    PostMessageA(seen.window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
                }
            }
            Sleep(10);
        }
    }

    Choice choose_;
    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::set<HWND> handled_;
    std::vector<HWND> found_;
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    std::thread worker_;
};

#endif
