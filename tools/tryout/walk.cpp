// The walk: installs from the medium through the wizard as a user would (welcome, the
// proposed destination, create the folder, ready, finish), lists what the installation put
// on the machine, removes it through the registered uninstall command as the system would,
// answers the uninstaller's questions and waits for its companion.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <stdio.h>

#include "driver.h"
#include "ids.h"
#include "media.h"
#include "tests/tools/progman_standin.h"
#include "tryout.h"

namespace tryout {
namespace {

using e2e::Dialog;
using e2e::FindWindowOf;
using e2e::Process;
using e2e::Utf8;
using e2e::Window;
using e2e::WindowSpec;

const char kCdromRefused[] = "CD-ROMにはセットアップできません。";
const char kNoticeHeading[] = "次のファイルは他のアプリケーションが使用する可能性があるので削除しません。";
const char kFontQuestion[] = "次のファイルは他のZELKのアプリケーションが使用する可能性があります。";
const char kFontResourceFailure[] = "フォントリソースの削除に失敗しました";
const DWORD kLongWait = 120000;     // ms: a large product's copy, a slow removal
const DWORD kPoll = 20;

std::string MediumPath(const std::string& name) {
    const std::string& medium = g_options.medium;
    return medium.back() == '\\' ? medium + name : medium + "\\" + name;
}

// Position of the last backslash of a path, the trail bytes of double-byte characters
// skipped (the trail byte of "表" is 0x5C); npos when there is none.
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

// A picture of the screen when screenshots were asked for, numbered in the order taken.
void Snap(const char* name, DWORD settle = 600) {
    static int taken = 0;
    if (g_options.screenshots.empty()) return;
    Sleep(settle);
    char file[96];
    snprintf(file, sizeof file, "%02d-%s.bmp", ++taken, name);
    if (!e2e::SaveScreenshot(g_options.screenshots + "\\" + file)) Say(std::string("  (no screenshot ") + file + ")");
}

// ---- windows of a program ----

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

const std::vector<std::string> kSetupBoxes = {"ZELKセットアップ", "API エラー"};
const std::vector<std::string> kUninstallerBoxes = {"ZELKアンインストーラ", "API エラー",
                                                    "アンインストール情報ファイルが不正です"};

// A message box of the program that is on screen now, or an empty window.
Window MessageBoxOf(const Process& process, const std::vector<std::string>& captions) {
    BoxSearch search = {process.id(), &captions, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return Window(search.found);
}

// Presses a button and waits until the box has gone.
void Answer(const Window& window, int button) {
    window.Press(button);
    window.WaitClosed();
}

bool IsReadyPage(const Window& page) {
    return page.Exists() && IsWindowVisible(page.handle()) && !page.HasControl(IDC_DESTINATION_EDIT) &&
           !page.HasControl(IDC_WELCOME_HINT);
}

// ---- installation ----

// The wizard, once setup has read its script; a box before it is a finding (a script error,
// a missing file), answered with OK. Setup may go on after a script error.
Window WaitForWizard(Process& setup) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < e2e::kDefaultTimeout) {
        Window sheet = FindWindowOf(setup, e2e::WizardSheet());
        if (sheet.Exists()) return sheet;
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            Snap("setup-message");
            ADD_FAILURE() << "setup said before its wizard: " << Utf8(box.AllText());
            Answer(box, IDOK);
            start = GetTickCount();
        }
        if (!setup.Running()) {
            ADD_FAILURE() << "setup ended without showing its wizard";
            return Window();
        }
        Sleep(kPoll);
    }
    ADD_FAILURE() << "setup showed no wizard; on screen:\n" << e2e::DescribeWindows(setup);
    return Window();
}

bool MediumIsOnCdrom() {
    const std::string& medium = g_options.medium;
    if (medium.size() < 2 || medium[1] != ':') return false;
    return GetDriveTypeA((medium.substr(0, 2) + "\\").c_str()) == DRIVE_CDROM;
}

// Types a destination on the medium's own CD-ROM drive: setup must refuse it and keep
// the destination page.
void ExpectCdromRefused(Process& setup, const Window& sheet, const Window& page, const std::string& proposed) {
    std::string typed = g_options.medium.substr(0, 2) + proposed.substr(LastBackslash(proposed));
    page.SetText(IDC_DESTINATION_EDIT, typed);
    sheet.PressSheetButton(PSBTN_NEXT);
    DWORD start = GetTickCount();
    Window box;
    while (!box.Exists() && GetTickCount() - start < 5000) {
        box = MessageBoxOf(setup, kSetupBoxes);
        Sleep(kPoll);
    }
    if (!box.Exists()) {
        ADD_FAILURE() << "setup accepted " << Utf8(typed) << " on the CD-ROM drive as destination";
        Window create = FindWindowOf(setup, Dialog(IDD_CREATE_FOLDER));
        if (create.Exists()) Answer(create, IDCANCEL);
        return;
    }
    std::string text = box.AllText();
    Snap("cdrom-refused");
    Answer(box, IDOK);
    if (text == kCdromRefused) {
        Say("  a destination on the CD-ROM drive is refused: " + typed + "  ->  " + text);
    } else {
        ADD_FAILURE() << "for " << Utf8(typed) << " on the CD-ROM drive setup said: " << Utf8(text);
    }
    e2e::WaitForPage(sheet, IDD_DESTINATION_PAGE);
}

// From the destination page to the ready page: the folder is created when offered, a
// low-space question is answered "go on". False when setup refused the destination.
bool ToReadyPage(Process& setup, const Window& sheet) {
    sheet.PressSheetButton(PSBTN_NEXT);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < e2e::kDefaultTimeout) {
        Window create = FindWindowOf(setup, Dialog(IDD_CREATE_FOLDER));
        if (create.Exists()) {
            Say("  setup offers to create the folder: answered " + create.Text(IDB_CREATE_FOLDER));
            Snap("create-folder");
            Answer(create, IDB_CREATE_FOLDER);
            continue;
        }
        Window low = FindWindowOf(setup, Dialog(IDD_LOW_SPACE));
        if (low.Exists()) {
            Say("  setup warns of little free space: " + low.Text(IDC_MESSAGE) + "  -> go on");
            Snap("low-space");
            Answer(low, IDB_CONTINUE);
            continue;
        }
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            ADD_FAILURE() << "setup refused the destination: " << Utf8(box.AllText());
            Answer(box, IDOK);
            return false;
        }
        if (IsReadyPage(sheet.CurrentPage())) return true;
        Sleep(kPoll);
    }
    ADD_FAILURE() << "the wizard did not reach its ready page; on screen:\n" << e2e::DescribeWindows(setup);
    return false;
}

// From Finish to the end of setup: the copy, the start menu, the records, the finished
// dialog. True when setup says the installation is complete.
bool FinishInstallation(Process& setup, const Window& sheet) {
    sheet.PressSheetButton(PSBTN_FINISH);
    bool progressShown = false;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kLongWait) {
        // The restart variant of the finished dialog carries the same text: look for it first.
        Window restart = FindWindowOf(setup, Dialog(IDD_RESTART));
        if (restart.Exists()) {
            Say("  setup asks to restart Windows: " + restart.Text(IDC_MESSAGE) + "  -> cancel (no restart here)");
            Snap("restart");
            Answer(restart, IDCANCEL);
            continue;
        }
        Window finished = FindWindowOf(setup, Dialog(IDD_FINISHED));
        if (finished.Exists()) {
            Say("  " + finished.Text(IDC_MESSAGE));
            Snap("finished");
            Answer(finished, IDOK);
            setup.WaitForExit();
            return true;
        }
        Window failed = FindWindowOf(setup, Dialog(IDD_COPY_FAILED));
        if (failed.Exists()) {
            Window progress = FindWindowOf(setup, Dialog(IDD_COPY_PROGRESS));
            Snap("copy-failed");
            ADD_FAILURE() << "a file could not be copied: " << Utf8(progress.Text(IDC_SOURCE_PATH)) << " -> "
                          << Utf8(progress.Text(IDC_DEST_PATH)) << "; the setup is abandoned";
            Answer(failed, IDCANCEL);
            continue;
        }
        Window aborted = FindWindowOf(setup, Dialog(IDD_ABORTED));
        if (aborted.Exists()) {
            Snap("aborted");
            ADD_FAILURE() << "setup abandoned the installation: " << Utf8(aborted.Text(IDC_MESSAGE));
            Answer(aborted, IDOK);
            setup.WaitForExit();
            return false;
        }
        Window box = MessageBoxOf(setup, kSetupBoxes);
        if (box.Exists()) {
            Snap("setup-message");
            ADD_FAILURE() << "setup said: " << Utf8(box.AllText());
            Answer(box, IDOK);
            continue;
        }
        if (!progressShown && FindWindowOf(setup, Dialog(IDD_COPY_PROGRESS)).Exists()) {
            Snap("copy-progress", 0);
            progressShown = true;
        }
        if (!setup.Running()) {
            ADD_FAILURE() << "setup ended without its finished dialog";
            return false;
        }
        Sleep(kPoll);
    }
    ADD_FAILURE() << "the installation did not finish; on screen:\n" << e2e::DescribeWindows(setup);
    return false;
}

// The whole installation; the destination used, or empty when it did not finish.
std::string Install() {
    Heading("Installation");
    Process setup = Process::Start(MediumPath("setup.exe"), "", g_options.medium);
    Window sheet = WaitForWizard(setup);
    if (!sheet.Exists()) return "";
    if (!g_options.screenshots.empty()) {
        ShowWindow(sheet.handle(), SW_HIDE);
        Snap("background");
        ShowWindow(sheet.handle(), SW_SHOW);
    }
    e2e::WaitForPage(sheet, IDD_WELCOME_PAGE);
    Say("  the wizard: " + sheet.Caption());
    Snap("welcome");
    sheet.PressSheetButton(PSBTN_NEXT);
    Window page = e2e::WaitForPage(sheet, IDD_DESTINATION_PAGE);
    if (!page.Exists()) return "";
    const std::string proposed = page.Text(IDC_DESTINATION_EDIT);
    Say("  proposed destination: " + proposed);
    Snap("destination");
    if (MediumIsOnCdrom()) ExpectCdromRefused(setup, sheet, page, proposed);
    const std::string destination = g_options.destination.empty() ? proposed : g_options.destination;
    page.SetText(IDC_DESTINATION_EDIT, destination);
    Say("  destination: " + destination + "   free " + page.Text(IDC_FREE_SPACE) + ", required " +
        page.Text(IDC_REQUIRED_SPACE));
    if (!ToReadyPage(setup, sheet)) return "";
    Snap("ready");
    return FinishInstallation(setup, sheet) ? destination : "";
}

// ---- what was installed ----

std::string ShortcutTarget(const std::string& link) {
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell)))) {
        return "?";
    }
    std::string target = "?";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = "";
        char folder[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(shell->GetPath(path, MAX_PATH, nullptr, 0))) {
            shell->GetWorkingDirectory(folder, MAX_PATH);
            target = std::string(path) + "   (working folder " + folder + ")";
        }
        file->Release();
    }
    shell->Release();
    return target;
}

bool Under(const std::string& name, const std::string& folder) {
    return StartsWithNoCase(name, folder + "\\");
}

// What the installation changed, in groups a publisher recognises.
void ListInstalled(const std::vector<Difference>& changes, const std::string& destination) {
    std::vector<std::string> folders, files, shortcuts, registry, shared, elsewhere;
    std::string lastKey;
    for (const Difference& change : changes) {
        const std::string line = std::string(1, change.kind) + " " + change.name;
        const std::string& content = change.kind == '-' ? change.before : change.after;
        if (IsRegistryName(change.name)) {
            // A value goes under its key when that key is listed just before it.
            size_t colon = change.name.find(" : ");
            if (colon == std::string::npos) {
                registry.push_back(line);
                lastKey = change.name;
            } else if (change.name.compare(0, colon, lastKey) == 0 && colon == lastKey.size()) {
                registry.push_back("    " + change.name.substr(colon + 3) + " = " + content);
            } else {
                registry.push_back(line + " = " + content);
            }
        } else if (Under(change.name, destination)) {
            files.push_back(change.name.substr(destination.size() + 1) + "   " + content);
        } else if (content == "<folder>" && change.kind == '+' &&
                   (EqualNoCase(change.name, destination) || Under(destination, change.name))) {
            folders.push_back(change.name);
        } else if (Under(change.name, ProgramsFolder())) {
            std::string shown = line.substr(0, 2) + change.name.substr(ProgramsFolder().size() + 1);
            if (StartsWithNoCase(content, "<")) {
                shortcuts.push_back(shown + "   " + content);
            } else {
                shortcuts.push_back(shown + "  ->  " + ShortcutTarget(change.name));
            }
        } else if (Under(change.name, WindowsFolder())) {
            shared.push_back(line + "   " + content);
        } else {
            elsewhere.push_back(line + "   " + content);
        }
    }
    auto group = [](const std::string& title, const std::vector<std::string>& lines) {
        Say("  " + title + (lines.empty() ? " (none)" : ""));
        for (const std::string& line : lines) Say("      " + line);
    };
    Heading("What was installed");
    group("folders created:", folders);
    group("files in " + destination + ":", files);
    if (IsNT()) {
        std::vector<std::string> items;
        for (const ProgmanGroup& g : ReplayProgman(ProgmanCommands(StatePath("progman.rec")))) {
            items.push_back("group " + g.name);
            for (const std::string& item : g.items) items.push_back("    " + item);
        }
        group("Program Manager:", items);
    } else {
        group("start menu, under " + ProgramsFolder() + ":", shortcuts);
    }
    group("registry:", registry);
    group("fonts and DLLs in the Windows folder:", shared);
    group("elsewhere on drive C:", elsewhere);
}

// ---- the uninstall record ----

struct RecordFacts {
    std::string title;
    std::vector<std::string> dlls;
    std::vector<std::pair<std::string, std::string>> fonts;  // file, registry value name
};

std::string AfterEquals(const std::string& line) {
    size_t equals = line.find('=');
    return line.substr(equals + 1);
}

RecordFacts ShowRecord(const std::string& path) {
    RecordFacts facts;
    Say("  the uninstall record " + path + ":");
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "the uninstall record " << Utf8(path) << " cannot be read";
        return facts;
    }
    char line[1024];
    while (fgets(line, sizeof line, file) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        Say("      " + text);
        if (StartsWithNoCase(text, "Title=")) facts.title = AfterEquals(text);
        if (StartsWithNoCase(text, "Dll=")) facts.dlls.push_back(AfterEquals(text));
        if (StartsWithNoCase(text, "Font=")) {
            std::string value = AfterEquals(text);
            size_t comma = value.find(',');
            facts.fonts.push_back({value.substr(0, comma), comma == std::string::npos ? "" : value.substr(comma + 1)});
        }
    }
    fclose(file);
    return facts;
}

// The uninstall entry the installation added: its key name under the uninstall list.
std::string NewUninstallEntry(const std::vector<Difference>& changes) {
    const std::string list = std::string("HKLM\\") + kUninstallKey + "\\";
    for (const Difference& change : changes) {
        if (change.kind == '+' && change.after == "<key>" && StartsWithNoCase(change.name, list)) {
            return change.name.substr(5);
        }
    }
    return "";
}

std::string RegistryText(const std::string& key, const char* value) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "";
    char data[1024] = "";
    DWORD size = sizeof data - 1;
    LONG status = RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return "";
    data[size] = '\0';
    return data;
}

// What the design keeps on purpose, as snapshot names with the reason: every DLL the record
// lists (no removal deletes a shared DLL).
void NoteSharedDlls(const RecordFacts& record, std::vector<std::string>& expected) {
    for (const std::string& dll : record.dlls) {
        expected.push_back(SystemFolder() + "\\" + dll +
                           "\tkept on purpose: a shared DLL, which no removal deletes because other programs may use it");
    }
}

// A font the user chose to keep: its file, and on NT its resource file and registry value.
void NoteKeptFont(const RecordFacts& record, const std::string& path, std::vector<std::string>& expected) {
    const char* reason = "\tkept on purpose: a font the user chose to keep when the uninstaller asked";
    expected.push_back(path + reason);
    if (!IsNT()) return;
    const size_t slash = LastBackslash(path);
    const size_t dot = path.find_last_of('.');
    const std::string name = path.substr(slash + 1);
    // The resource file: the extension replaced by ".fot", or ".fot" appended.
    expected.push_back((dot == std::string::npos || dot < slash ? path : path.substr(0, dot)) + ".fot" + reason);
    for (const auto& [file, value] : record.fonts) {
        if (EqualNoCase(file, name)) expected.push_back(std::string("HKLM\\") + kFontsKey + " : " + value + reason);
    }
}

// ---- removal ----

std::string TextAfterBlankLine(const std::string& text) {
    size_t blank = text.find("\n\n");
    std::string rest = blank == std::string::npos ? text : text.substr(blank + 2);
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == ' ')) rest.pop_back();
    return rest;
}

// Answers one box of the uninstaller after the confirmation.
void AnswerRemovalBox(const Window& box, const RecordFacts& record, std::vector<std::string>& expected) {
    static bool noticeShot = false, fontShot = false;
    std::string text = box.AllText();
    if (StartsWithNoCase(text, kNoticeHeading)) {
        std::string lines;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            if (end > start) lines += "\n      " + text.substr(start, end - start);
            start = end + 1;
        }
        Say("  notice:" + lines + "\n      -> OK");
        if (!noticeShot) Snap("shared-files");
        noticeShot = true;
        Answer(box, IDOK);
    } else if (StartsWithNoCase(text, kFontQuestion)) {
        std::string path = TextAfterBlankLine(text);
        if (!fontShot) Snap("font-question");
        fontShot = true;
        if (g_options.keepFonts) {
            Say("  asks whether to remove the font " + path + "  -> No, keep it");
            NoteKeptFont(record, path, expected);
            Answer(box, IDNO);
        } else {
            Say("  asks whether to remove the font " + path + "  -> Yes");
            Answer(box, IDYES);
        }
    } else if (StartsWithNoCase(text, kFontResourceFailure) && box.HasControl(IDIGNORE)) {
        // Wine loads every font of the fonts folder and of the NT Fonts key into each program
        // at its start, and then refuses to take it out of the running system. The files and
        // the registry value are still removed after Ignore; what stays shows in the end.
        Say("  " + text + "  -> Ignore (under Wine the running system always keeps a font it loaded)");
        Snap("font-failure");
        Answer(box, IDIGNORE);
    } else {
        Snap("uninstaller-message");
        ADD_FAILURE() << "the uninstaller said: " << Utf8(box.Caption()) << ": " << Utf8(text);
        // Let the removal go on: Ignore, Cancel or No where the box has one.
        int button = IDOK;
        for (int candidate : {IDIGNORE, IDCANCEL, IDNO}) {
            if (button == IDOK && box.HasControl(candidate)) button = candidate;
        }
        Answer(box, button);
    }
}

bool CompanionRunning() {
    HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (processes == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool running = false;
    for (BOOL more = Process32First(processes, &entry); more && !running; more = Process32Next(processes, &entry)) {
        running = lstrcmpiA(entry.szExeFile, "~rmZELK.~") == 0;
    }
    CloseHandle(processes);
    return running;
}

bool CompanionScheduled() {
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", "NUL", "", value, sizeof value, "WININIT.INI");
    if (EqualNoCase(value, CompanionCopy())) return true;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    bool found = false;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < size && !found; i += static_cast<DWORD>(strlen(&data[i])) + 1) {
            std::string entry = &data[i];
            found = entry.size() >= 9 && EqualNoCase(entry.substr(entry.size() - 9), "~rmZELK.~");
        }
    }
    RegCloseKey(key);
    return found;
}

// Runs the registered uninstall command as the system would and answers the uninstaller.
void Remove(const std::string& command, const RecordFacts& record, std::vector<std::string>& expected) {
    Heading("Removal");
    Say("  the registered uninstall command: " + command);
    Process uninstaller = Process::StartCommandLine(command, WindowsFolder());
    const std::string question = record.title + "を削除してもよろしいですか?";
    DWORD start = GetTickCount();
    Window confirm;
    while (!confirm.Exists() && uninstaller.Running() && GetTickCount() - start < e2e::kDefaultTimeout) {
        confirm = MessageBoxOf(uninstaller, kUninstallerBoxes);
        Sleep(kPoll);
    }
    if (!confirm.Exists() || confirm.AllText() != question) {
        ADD_FAILURE() << "the uninstaller did not ask \"" << Utf8(question) << "\"; it showed: "
                      << (confirm.Exists() ? Utf8(confirm.AllText()) : "nothing");
        if (confirm.Exists()) Answer(confirm, confirm.HasControl(IDNO) ? IDNO : IDOK);
        uninstaller.WaitForExit();
        return;
    }
    Say("  asks: " + question + "  -> Yes");
    Snap("uninstall-question");
    Answer(confirm, IDYES);
    start = GetTickCount();
    while (uninstaller.Running() && GetTickCount() - start < kLongWait) {
        Window box = MessageBoxOf(uninstaller, kUninstallerBoxes);
        if (box.Exists()) AnswerRemovalBox(box, record, expected);
        Sleep(kPoll);
    }
    uninstaller.WaitForExit(5000);

    start = GetTickCount();
    while (CompanionRunning() && GetTickCount() - start < kLongWait) Sleep(100);
    if (CompanionRunning()) {
        ADD_FAILURE() << "the uninstaller's companion ~rmZELK.~ did not end";
    } else {
        Say("  the uninstaller and its companion have ended");
    }
    if (CompanionScheduled()) {
        Say("  " + CompanionCopy() + " waits for the restart, which deletes it");
        if (!IsNT()) {
            expected.push_back(WindowsFolder() + "\\wininit.bak\tthe system's delete-at-restart list, done: Windows 95 "
                               "keeps it as WININIT.BAK after carrying it out at its start");
        }
    } else if (e2e::PathExists(CompanionCopy())) {
        ADD_FAILURE() << Utf8(CompanionCopy()) << " is not listed for deletion at the restart";
    }
}

// On NT: what the removal told Program Manager, and which installed items it left.
void ListProgmanAfterRemoval(size_t installCommands) {
    if (!IsNT()) return;
    std::vector<std::string> commands = ProgmanCommands(StatePath("progman.rec"));
    Say("  Program Manager was told:");
    for (size_t i = installCommands; i < commands.size(); ++i) Say("      " + commands[i]);
    std::vector<std::string> left;
    for (const ProgmanGroup& group : ReplayProgman(commands)) {
        left.push_back("group " + group.name + " with " + std::to_string(group.items.size()) + " item(s)");
        for (const std::string& item : group.items) left.push_back("    " + item);
    }
    WriteLines("progman-left.txt", left);
}

}  // namespace

void Walk() {
    Say("ZELK try-out of " + g_options.medium + (MediumIsOnCdrom() ? " (a CD-ROM drive)" : "") + " as " +
        (IsNT() ? "Windows NT" : "Windows 95"));
    ASSERT_TRUE(e2e::PathExists(MediumPath("setup.exe"))) << "no setup.exe on " << Utf8(g_options.medium);
    CoInitialize(nullptr);
    ProgmanStandin programManager;
    if (IsNT()) {
        // No desktop shell runs here: the stand-in plays Program Manager and records its commands.
        ASSERT_TRUE(programManager.Start(g_options.progman, StatePath("progman.rec")))
            << "the Program Manager stand-in did not start: " << g_options.progman;
    }
    const Snapshot before = TakeSnapshot();
    ASSERT_TRUE(SaveSnapshot(before, StatePath("before.snap")));
    WriteLines("expected.txt", {});

    const std::string destination = Install();
    const Snapshot installed = TakeSnapshot();
    const std::vector<Difference> changes = Compare(before, installed);
    if (destination.empty()) return;
    const size_t installCommands = ProgmanCommands(StatePath("progman.rec")).size();
    ListInstalled(changes, destination);

    const std::string entry = NewUninstallEntry(changes);
    ASSERT_FALSE(entry.empty()) << "the installation registered no uninstall entry";
    const std::string command = RegistryText(entry, "UninstallString");
    ASSERT_NE(std::string::npos, command.find('*')) << "the uninstall command names no record: " << Utf8(command);
    std::string recordPath = command.substr(command.find('*'));
    recordPath.erase(0, recordPath.find_first_not_of("* \t"));
    RecordFacts record = ShowRecord(recordPath);

    std::vector<std::string> expected;
    NoteSharedDlls(record, expected);
    Remove(command, record, expected);
    ListProgmanAfterRemoval(installCommands);
    WriteLines("expected.txt", expected);
    CoUninitialize();
}

}  // namespace tryout
