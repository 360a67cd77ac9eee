// Start-up of setup, the background window's class and messages, and the message pump.
#include "setup.h"

#include <commctrl.h>
#include <objbase.h>

#include "common/system.h"
#include "ids.h"
#include "setup_api.h"
#include "common/wintext.h"

namespace {
// The setup context of the run. A union runs no destructor of its member: freeing the
// script's values one by one as the process ends would only delay its end.
union LastingContext {
    SetupContext context;
    constexpr LastingContext() : context() {}
    ~LastingContext() {}
};
LastingContext lasting;
}  // namespace

SetupContext& g_setup = lasting.context;
int restartRequired = 0;
ExitWindowsFunction g_exitWindows = ExitWindowsEx;
GetVersionFunction g_getVersion = GetVersionExA;

static HINSTANCE setupInstance;
static HWND setupWindow;

static const char kWindowClass[] = "ZELKSetupWndClass";

HINSTANCE GetSetupInstance() {
    return setupInstance ? setupInstance : GetModuleHandleA(nullptr);
}

HWND GetSetupWindow() { return setupWindow; }

// Windows 95 or NT 3.51 and later.
bool IsSupportedWindows() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!g_getVersion(&info)) return false;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return true;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > 3 || info.dwMinorVersion >= 51;
}

static int InitControlsAndCom(SetupContext&) {
    sys::InitCommonControls();
    sys::CoInitialize(nullptr);  // kept until exit: shell links and the folder browser need it
    return 0;
}

static int RegisterWindowClassStep(SetupContext&) { return RegisterSetupWindowClass(GetSetupInstance()); }

static int CreateWindowStep(SetupContext&) { return CreateSetupWindow(); }

// After the version test and the splash; any failure has shown its message.
const SetupStep kStartupSteps[4] = {
    {"common controls, COM", InitControlsAndCom},
    {"window class", RegisterWindowClassStep},
    {"context", PrepareSetupContext},
    {"background window", CreateWindowStep},
};

int InitializeSetup(HINSTANCE instance) {
    setupInstance = instance;
    if (!IsSupportedWindows()) {
        char text[128];
        char caption[32];
        g_messageBox(nullptr, LoadText(IDS_WRONG_WINDOWS, text, sizeof text),
                     LoadText(IDS_WRONG_WINDOWS_CAPTION, caption, sizeof caption), MB_ICONERROR);
        return -1;
    }
    if (RefuseForeignWindows95()) return -1;
    HWND splash = ShowInitWindow();
    int result = RunSteps(kStartupSteps, g_setup, false);
    if (splash != nullptr) DestroyWindow(splash);
    if (result == 0) {
        ShowWindow(setupWindow, SW_SHOWMAXIMIZED);
        UpdateWindow(setupWindow);
    }
    return result;
}

int RegisterSetupWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;  // 48
    windowClass.lpfnWndProc = SetupWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kWindowClass;
    return win::RegisterClass(windowClass) != 0 ? 0 : -1;
}

int CreateSetupWindow() {
    char title[256];
    GetCaptionText(g_setup, title, sizeof title);
    setupWindow = win::CreateWindowEx(0, kWindowClass, title, WS_OVERLAPPED, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetSetupInstance(), nullptr);
    if (setupWindow == nullptr) return -1;
    ShowWindow(setupWindow, SW_SHOWMINIMIZED);
    UpdateWindow(setupWindow);
    return 0;
}

LRESULT CALLBACK SetupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintSetupWindow(window);
        return 0;
    case WM_GETMINMAXINFO:
        LimitToWorkArea(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_USER:
        // The whole installation runs here, inside the message loop.
        FlashWindow(window, FALSE);
        RunInstallation(g_setup);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return win::DefWindowProc(window, message, wParam, lParam);
    }
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // A quit request while a step runs must not end the program half-way.
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Windows NT restarts only for a process whose shutdown privilege is on. Windows 95 has no
// privileges: there the functions are missing or fail.
static void EnableShutdownPrivilege() {
    const SetupFunctions& api = SetupApi();
    HANDLE token;
    TOKEN_PRIVILEGES privileges;  // set field by field: an initialiser would take a data section
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (api.OpenProcessToken == nullptr || api.LookupPrivilegeValueA == nullptr ||
        api.AdjustTokenPrivileges == nullptr ||
        !api.OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
        return;
    }
    if (api.LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        api.AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

void RunRestartStep() {
    if (!restartRequired) return;
    EnableShutdownPrivilege();
    if (!g_exitWindows(EWX_REBOOT, 0)) ShowMessage(setupWindow, IDS_REBOOT_FAILED);
}
