// The removal, as the system runs it: the registered uninstall command, the confirmation
// answered Yes, the shared-file notice OK, each font question Yes (or No to keep the fonts),
// then the wait for the uninstaller's companion. Also the uninstall record as the walk reads it.
#include "walk_steps.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include "media.h"

namespace tryout {

using e2e::Process;
using e2e::Utf8;
using e2e::Window;

namespace {

const char kNoticeHeading[] = "次のファイルは他のアプリケーションが使用する可能性があるので削除しません。";
const char kFontQuestion[] = "次のファイルは他のZELKのアプリケーションが使用する可能性があります。";
const char kFontResourceFailure[] = "フォントリソースの削除に失敗しました";

std::string AfterEquals(const std::string& line) {
    size_t equals = line.find('=');
    return line.substr(equals + 1);
}

}  // namespace

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
        if (StartsWithNoCase(text, "MenuGroup=")) facts.menuGroup = AfterEquals(text);
        if (StartsWithNoCase(text, "MenuItem=")) facts.menuItems.push_back(AfterEquals(text));
        if (StartsWithNoCase(text, "Font=")) {
            std::string value = AfterEquals(text);
            size_t comma = value.find(',');
            facts.fonts.push_back({value.substr(0, comma), comma == std::string::npos ? "" : value.substr(comma + 1)});
        }
    }
    fclose(file);
    return facts;
}

void NoteMissingMenuItems(const RecordFacts& record) {
    if (!IsNT() || UsesProgmanStandin() || record.menuGroup.empty()) return;
    const std::string group = ProgramsFolder() + "\\" + record.menuGroup;
    for (const std::string& item : record.menuItems) {
        if (e2e::PathExists(group + "\\" + item + ".lnk")) continue;
        Say("  note: Program Manager made no shortcut " + item + " (under Wine its service refuses an item "
            "whose command line has arguments, as the uninstaller's has; Windows NT makes it)");
    }
}

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

namespace {

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

}  // namespace

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

void ListProgmanAfterRemoval(size_t installCommands) {
    if (!UsesProgmanStandin()) return;
    std::vector<std::string> commands = ReadProgmanRecord(StatePath("progman.rec"));
    Say("  Program Manager was told:");
    for (size_t i = installCommands; i < commands.size(); ++i) Say("      " + commands[i]);
    std::vector<std::string> left;
    for (const ProgmanGroup& group : ReplayProgman(commands)) {
        left.push_back("group " + group.name + " with " + std::to_string(group.items.size()) + " item(s)");
        for (const std::string& item : group.items) left.push_back("    " + item);
    }
    WriteLines("progman-left.txt", left);
}

}  // namespace tryout
