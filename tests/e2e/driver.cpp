// The end-to-end driver's window and process handling.
#include "driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <stdio.h>

#include <algorithm>

#include "ids.h"

namespace e2e {

static const DWORD kPollInterval = 20;

const char* WineVersionName(WindowsVersion version) {
    switch (version) {
    case WindowsVersion::Win95: return "win95";
    case WindowsVersion::Win98: return "win98";
    case WindowsVersion::NT351: return "nt351";
    case WindowsVersion::NT40: return "nt40";
    case WindowsVersion::Win2k: return "win2k";
    case WindowsVersion::WinXP: return "winxp";
    case WindowsVersion::Win7: return "win7";
    case WindowsVersion::Win10: return "win10";
    }
    return "win95";
}

void SetWindowsVersion(WindowsVersion version) {
    const char* name = WineVersionName(version);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>(strlen(name) + 1));
    RegCloseKey(key);
}

static UINT programsCodePage = 932;

void SetProgramsCodePage(UINT codePage) {
    EXPECT_TRUE(codePage == 932 || codePage == 1252) << "no locale for code page " << codePage;
    programsCodePage = codePage;
}

UINT ProgramsCodePage() { return programsCodePage; }

// ---- Process ----

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
    other.handle_ = nullptr;
    other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        if (handle_) CloseHandle(handle_);
        handle_ = other.handle_;
        id_ = other.id_;
        other.handle_ = nullptr;
        other.id_ = 0;
    }
    return *this;
}

Process::~Process() {
    Kill();
    if (handle_) CloseHandle(handle_);
}

// The program's file name and its arguments split at blanks (a quoted program may hold blanks).
static std::vector<std::string> CommandWords(const std::string& commandLine) {
    std::vector<std::string> words;
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t end = commandLine.find('"', 1);
        words.push_back(commandLine.substr(1, end - 1));
        at = end == std::string::npos ? commandLine.size() : end + 1;
    }
    while (at < commandLine.size()) {
        size_t end = commandLine.find(' ', at);
        if (end == std::string::npos) end = commandLine.size();
        if (end > at) words.push_back(commandLine.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Ids of the running processes of this file name.
static std::vector<DWORD> ProcessesNamed(const std::string& fileName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// Starts the program through /bin/sh in the locale of the programs' code page. What Wine
// hands back for the shell is no process to wait on, so the program's own process is found
// as the new one of its file name. Wine joins the loader's arguments with single blanks and
// quotes only those holding one, so the words give back the command line as it was.
Process Process::StartInCodePage(const std::string& commandLine, const std::string& folder) {
    std::vector<std::string> words = CommandWords(commandLine);
    Process process;
    if (words.empty()) return process;
    std::string shell = "/bin/sh -c \"LC_ALL=en_US.UTF-8 exec $ZELK_MODE_LOADER";
    for (const std::string& word : words) {
        EXPECT_EQ(std::string::npos, word.find_first_of("'\"")) << "cannot pass " << Utf8(word);
        shell += " '" + word + "'";
    }
    shell += "\"";
    const std::string name = words[0].substr(words[0].find_last_of('\\') + 1);
    std::vector<DWORD> earlier = ProcessesNamed(name);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &shell[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start: " << shell << " (error " << GetLastError() << ")";
        return process;
    }
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kDefaultTimeout; Sleep(kPollInterval)) {
        for (DWORD id : ProcessesNamed(name)) {
            if (std::find(earlier.begin(), earlier.end(), id) != earlier.end()) continue;
            process.handle_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
            if (process.handle_ != nullptr) {
                process.id_ = id;
                return process;
            }
        }
    }
    ADD_FAILURE() << "no process " << name << " came from: " << Utf8(shell);
    return process;
}

Process Process::StartCommandLine(const std::string& commandLine, const std::string& folder) {
    if (programsCodePage != 932) return StartInCodePage(commandLine, folder);
    Process process;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.empty() ? nullptr : folder.c_str(), &startup, &info);
    EXPECT_TRUE(started) << "cannot start: " << Utf8(commandLine) << " (error " << GetLastError() << ")";
    if (started) {
        CloseHandle(info.hThread);
        process.handle_ = info.hProcess;
        process.id_ = info.dwProcessId;
    }
    return process;
}

Process Process::Start(const std::string& program, const std::string& arguments,
                       const std::string& folder) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty()) line += " " + arguments;
    return StartCommandLine(line, folder);
}

bool Process::Running() const {
    return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

int Process::WaitForExit(DWORD timeout) {
    if (handle_ == nullptr) return -1;
    if (WaitForSingleObject(handle_, timeout) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end within " << timeout << " ms; on screen:\n"
                      << DescribeWindows(*this);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return static_cast<int>(code);
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(handle_, 99);
        WaitForSingleObject(handle_, 5000);
    }
}

// ---- texts ----

std::string Utf8(const std::string& sjis) {
    if (sjis.empty()) return sjis;
    int wide = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), &w[0], wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string Shown(const std::string& sjis) {
    std::string text = "\"" + Utf8(sjis) + "\" [";
    char hex[4];
    for (unsigned char c : sjis) {
        wsprintfA(hex, "%02X", c);
        if (text.back() != '[') text += ' ';
        text += hex;
    }
    return text + "]";
}

// Another process's window text; GetWindowText does not reach edit controls there.
static std::string WindowText(HWND window) {
    if (window == nullptr) return "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return "";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

static std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// ---- Window ----

std::string Window::Caption() const { return WindowText(handle_); }
HWND Window::Control(int controlId) const { return GetDlgItem(handle_, controlId); }
std::string Window::Text(int controlId) const { return WindowText(Control(controlId)); }
bool Window::HasControl(int controlId) const { return Control(controlId) != nullptr; }
bool Window::ControlEnabled(int controlId) const {
    HWND control = Control(controlId);
    return control != nullptr && IsWindowEnabled(control);
}

bool Window::ControlBecomes(int controlId, bool enabled, DWORD timeout) const {
    DWORD start = GetTickCount();
    while (ControlEnabled(controlId) != enabled) {
        if (GetTickCount() - start > timeout) return false;
        Sleep(kPollInterval);
    }
    return true;
}

static BOOL CALLBACK CollectStatic(HWND child, LPARAM data) {
    auto* text = reinterpret_cast<std::string*>(data);
    // An icon or a picture shows no text: a dialog made of a Unicode template gives such a
    // control its resource number as window text, which is none of the user's.
    LONG kind = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
    if (_stricmp(ClassOf(child).c_str(), "Static") == 0 && kind != SS_ICON && kind != SS_BITMAP) {
        std::string piece = WindowText(child);
        if (!piece.empty()) {
            if (!text->empty()) *text += "\n";
            *text += piece;
        }
    }
    return TRUE;
}

std::string Window::AllText() const {
    std::string text;
    EnumChildWindows(handle_, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void Window::SetText(int controlId, const std::string& text) const {
    DWORD_PTR result;
    SendMessageTimeoutA(Control(controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
}

void Window::Press(int buttonId) const {
    // Posted, never sent: the click may open a modal box that would block the driver.
    PostMessageA(handle_, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(buttonId)));
}

void Window::PressKey(WORD virtualKey) const {
    DWORD thread = GetWindowThreadProcessId(handle_, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = handle_;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool Window::IsTopmost() const {
    return (GetWindowLongA(handle_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

RECT Window::Rect() const {
    RECT rect = {};
    GetWindowRect(handle_, &rect);
    return rect;
}

Window Window::CurrentPage() const {
    DWORD_PTR page = 0;
    SendMessageTimeoutA(handle_, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
    return Window(reinterpret_cast<HWND>(page));
}

void Window::PressSheetButton(int psbtn) const { PostMessageA(handle_, PSM_PRESSBUTTON, psbtn, 0); }

void Window::WaitClosed(DWORD timeout) const {
    DWORD start = GetTickCount();
    while (Exists() && IsWindowVisible(handle_)) {
        if (GetTickCount() - start > timeout) {
            ADD_FAILURE() << "window \"" << Utf8(Caption()) << "\" did not close within " << timeout
                          << " ms; it shows:\n" << Utf8(AllText());
            return;
        }
        Sleep(kPollInterval);
    }
}

// ---- specs ----

static WindowSpec DialogWithControls(std::vector<int> controls, int textControl = 0,
                                     const std::string& text = "", const std::string& caption = "") {
    WindowSpec spec;
    spec.controls = std::move(controls);
    spec.textControl = textControl;
    spec.text = text;
    spec.caption = caption;
    return spec;
}

WindowSpec Dialog(int dialogId) {
    switch (dialogId) {
    case IDD_INIT_WAIT: return DialogWithControls({}, 0, "初期化中です．．．");
    case IDD_MENU_WAIT: return DialogWithControls({}, 0, "メニュー登録中です．．．");
    case IDD_COPY_PROGRESS:
        return DialogWithControls({IDC_PROGRESS_BAR, IDC_SOURCE_PATH, IDC_DEST_PATH}, 0, "",
                                  "ファイルのコピー中です");
    case IDD_CONFIRM_CANCEL: return DialogWithControls({6, 7, IDC_MESSAGE}, 6, "中止する");
    case IDD_LOW_SPACE: return DialogWithControls({6, 7, IDC_MESSAGE}, 6, "続ける");
    case IDD_FINISHED:
        return DialogWithControls({IDOK, IDC_MESSAGE}, IDC_MESSAGE, "のセットアップが完了しました");
    case IDD_ABORTED:
        return DialogWithControls({IDOK, IDC_MESSAGE}, IDC_MESSAGE, "のセットアップを中止しました");
    case IDD_RESTART: return DialogWithControls({1, 2, IDC_MESSAGE}, 1, "再起動する");
    case IDD_CREATE_FOLDER: return DialogWithControls({1, 2, IDC_MESSAGE}, 1, "フォルダ作成");
    case IDD_COPY_FAILED: return DialogWithControls({2, 4, IDC_MESSAGE}, 4, "もう一度コピー");
    default:
        ADD_FAILURE() << "no window spec for dialog " << dialogId;
        return WindowSpec();
    }
}

WindowSpec MessageBoxWithText(const std::string& text, const std::string& caption) {
    WindowSpec spec;
    spec.text = text;
    spec.caption = caption;
    return spec;
}

WindowSpec WizardSheet() {
    WindowSpec spec;
    spec.controls = {0x3024};  // the sheet's Next button (wizard mode)
    return spec;
}

static bool Matches(HWND window, const WindowSpec& spec) {
    if (!spec.className.empty() && ClassOf(window) != spec.className) return false;
    if (!spec.caption.empty() && WindowText(window) != spec.caption) return false;
    for (int id : spec.controls) {
        if (GetDlgItem(window, id) == nullptr) return false;
    }
    if (!spec.text.empty()) {
        std::string text = spec.textControl != 0 ? WindowText(GetDlgItem(window, spec.textControl))
                                                 : Window(window).AllText();
        if (text.find(spec.text) == std::string::npos) return false;
    }
    return true;
}

struct Search {
    DWORD processId;
    const WindowSpec* spec;
    HWND found;
    std::string* description;
};

static BOOL CALLBACK VisitTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->description != nullptr) {
        *search->description += "  [" + ClassOf(window) + "] \"" + Utf8(WindowText(window)) +
                                "\": " + Utf8(Window(window).AllText()) + "\n";
        return TRUE;
    }
    if (Matches(window, *search->spec)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

Window FindWindowOf(const Process& process, const WindowSpec& spec) {
    Search search = {process.id(), &spec, nullptr, nullptr};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return Window(search.found);
}

std::string DescribeWindows(const Process& process) {
    std::string description;
    Search search = {process.id(), nullptr, nullptr, &description};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return description.empty() ? "  (no visible window)\n" : description;
}

static std::string DescribeSpec(const WindowSpec& spec) {
    std::string text = "window";
    if (!spec.caption.empty()) text += " captioned \"" + Utf8(spec.caption) + "\"";
    if (!spec.controls.empty()) {
        text += " with controls";
        for (int id : spec.controls) text += " " + std::to_string(id);
    }
    if (!spec.text.empty()) text += " showing \"" + Utf8(spec.text) + "\"";
    return text;
}

Window WaitForWindow(const Process& process, const WindowSpec& spec, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        Window window = FindWindowOf(process, spec);
        if (window.Exists()) return window;
        if (GetTickCount() - start > timeout) break;
        if (!process.Running()) {
            ADD_FAILURE() << "the program ended while waiting for a " << DescribeSpec(spec);
            return Window();
        }
        Sleep(kPollInterval);
    }
    ADD_FAILURE() << "no " << DescribeSpec(spec) << " within " << timeout << " ms; on screen:\n"
                  << DescribeWindows(process);
    return Window();
}

static int PageIdOf(const Window& page) {
    if (!page.Exists()) return 0;
    if (page.HasControl(IDC_DESTINATION_EDIT)) return IDD_DESTINATION_PAGE;
    if (page.HasControl(IDC_WELCOME_HINT)) return IDD_WELCOME_PAGE;
    return IDD_READY_PAGE;
}

Window WaitForPage(const Window& sheet, int pageId, DWORD timeout) {
    DWORD start = GetTickCount();
    int shown = 0;
    while (sheet.Exists()) {
        Window page = sheet.CurrentPage();
        shown = PageIdOf(page);
        if (shown == pageId && IsWindowVisible(page.handle())) return page;
        if (GetTickCount() - start > timeout) break;
        Sleep(kPollInterval);
    }
    ADD_FAILURE() << "the wizard did not show page " << pageId << " within " << timeout
                  << " ms (it shows page " << shown << ")";
    return Window();
}

bool ShowsNothing(const Process& process, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        std::string description;
        Search search = {process.id(), nullptr, nullptr, &description};
        EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
        if (!description.empty()) return false;
        if (!process.Running()) return true;
        Sleep(kPollInterval);
    }
    return true;
}

// ---- screenshots ----

bool SaveScreenshot(const std::string& path) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
        DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof header + sizeof info.bmiHeader;
        header.bfSize = header.bfOffBits + imageSize;
        FILE* file = fopen(path.c_str(), "wb");
        if (file != nullptr) {
            fwrite(&header, sizeof header, 1, file);
            fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file);
            fwrite(bits, imageSize, 1, file);
            saved = fclose(file) == 0;
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace e2e
