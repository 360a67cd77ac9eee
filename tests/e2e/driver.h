// The end-to-end driver: starts the programs under test, finds their windows by dialog and
// control IDs, reads texts, presses buttons and keys. Every wait is bounded; a wait that
// runs out fails the test and reports what was on screen.
//
// Texts are Shift-JIS, like the programs' own; write expected texts as ordinary literals
// (the sources are compiled to code page 932).
#ifndef ZELK_E2E_DRIVER_H
#define ZELK_E2E_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kDefaultTimeout = 15000;  // ms

enum class WindowsVersion { Win95, NT40, NT351, Win98, Win2k, WinXP, Win7, Win10 };

// Makes the next programs started see this Windows version (Wine's per-prefix setting).
void SetWindowsVersion(WindowsVersion version);
// Wine's name of the version: "win95", "nt40", ...
const char* WineVersionName(WindowsVersion version);

// Makes the next programs started run in this ANSI code page: 932 (the driver's own) or
// 1252. Wine takes a process's code page from its Unix locale at start, and a Windows parent
// cannot change it for its child, so a program of another code page is started from the
// Unix side (/bin/sh) in that locale. The driver itself stays in 932 and reads every text
// and name through its own ...A calls, so it still compares Shift-JIS bytes.
void SetProgramsCodePage(UINT codePage);
UINT ProgramsCodePage();

// A started program.
class Process {
public:
    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();  // ends the program if it still runs, so a failed test leaves nothing behind

    static Process Start(const std::string& program, const std::string& arguments = "",
                         const std::string& folder = "");
    // The command line whole, as the system would run a registered uninstall command.
    static Process StartCommandLine(const std::string& commandLine, const std::string& folder = "");

    DWORD id() const { return id_; }
    bool Running() const;
    // Exit code; fails the test (and returns -1) when the program has not ended in time.
    int WaitForExit(DWORD timeout = kDefaultTimeout);
    void Kill();

private:
    static Process StartInCodePage(const std::string& commandLine, const std::string& folder);

    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// What identifies a window: any of these that are set must match.
struct WindowSpec {
    std::string caption;           // exact window text
    std::vector<int> controls;     // control IDs it must have
    int textControl = 0;           // with text: this control must hold it ...
    std::string text;              // ... (or, with textControl 0, any static control)
    std::string className = "#32770";
};

// Specs of the programs' windows.
WindowSpec Dialog(int dialogId);             // setup's dialogs 107 .. 127 by their controls
WindowSpec MessageBoxWithText(const std::string& text, const std::string& caption = "");
WindowSpec WizardSheet();                    // the property sheet (it holds the pages)

class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : handle_(handle) {}
    HWND handle() const { return handle_; }
    bool Exists() const { return handle_ != nullptr && IsWindow(handle_); }

    std::string Caption() const;
    std::string Text(int controlId) const;
    // Every static text of the window, joined by line breaks (a message box's text).
    std::string AllText() const;
    bool HasControl(int controlId) const;
    bool ControlEnabled(int controlId) const;
    // True once the control's enabled state is the one wanted. A program may post the change
    // (a wizard's buttons are), so it can come a moment after the page is shown.
    bool ControlBecomes(int controlId, bool enabled, DWORD timeout = 3000) const;
    HWND Control(int controlId) const;

    void SetText(int controlId, const std::string& text) const;  // as typing would
    void Press(int buttonId) const;                              // a click, posted
    void PressKey(WORD virtualKey) const;                        // to the focused control
    bool IsTopmost() const;
    RECT Rect() const;

    // Wizard sheet: the current page and its buttons.
    Window CurrentPage() const;
    void PressSheetButton(int psbtn) const;   // PSBTN_NEXT, PSBTN_BACK, PSBTN_FINISH, PSBTN_CANCEL

    // Waits until the window has closed; fails the test when it stays.
    void WaitClosed(DWORD timeout = kDefaultTimeout) const;

private:
    HWND handle_ = nullptr;
};

// Waits for a top-level window of the process that matches; fails the test on time-out and
// lists the windows that were there.
Window WaitForWindow(const Process& process, const WindowSpec& spec, DWORD timeout = kDefaultTimeout);
// Finds a matching window now, or an empty Window.
Window FindWindowOf(const Process& process, const WindowSpec& spec);
// Waits until the wizard shows the page with the given dialog ID (109, 102, 103).
Window WaitForPage(const Window& sheet, int pageId, DWORD timeout = kDefaultTimeout);
// True when the process shows no visible top-level window over the given time.
bool ShowsNothing(const Process& process, DWORD milliseconds);

// A description of every visible window of the process, for failure messages.
std::string DescribeWindows(const Process& process);
// Shift-JIS to UTF-8, for readable failure messages.
std::string Utf8(const std::string& sjis);
// The text as read in Shift-JIS and its bytes in hex, for a failure that shows what came out.
std::string Shown(const std::string& sjis);

// Saves a picture of the whole screen as a BMP file (needs a real display: Xvfb).
bool SaveScreenshot(const std::string& path);

}  // namespace e2e

#endif
