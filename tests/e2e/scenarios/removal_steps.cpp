// Steps shared by the removal journeys.
#include "removal_steps.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include "ids.h"
#include "media.h"
#include "tests/support/files.h"

namespace e2e {

const char kUninstallerCaption[] = "ZELKアンインストーラ";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kForeignLinesHeading[] =
    "アンインストール情報ファイルの次の行は、このアプリケーション以外のファイルやフォルダを指している"
    "可能性があるので処理しません。";

static const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
static const char kPendingRenames[] = "PendingFileRenameOperations";

std::string WindowsFolder() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string CompanionCopy() { return WindowsFolder() + "\\~rmZELK.~"; }

std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

static bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

// Answers one box of the removal; an unexpected one fails the test.
static void AnswerBox(const Window& box, RemovalBoxes& boxes) {
    std::string text = box.AllText();
    int button = IDOK;
    if (StartsWith(text, "次のファイルは他のアプリケーションが使用する可能性があるので削除しません。")) {
        boxes.notices.push_back(text);
    } else if (StartsWith(text, kForeignLinesHeading)) {
        boxes.foreignLines.push_back(text);
    } else if (StartsWith(text, "次のファイルは他のZELKのアプリケーションが使用する可能性があります。")) {
        button = IDYES;
        ++boxes.fontQuestions;
    } else if (StartsWith(text, "フォントリソースの削除に失敗しました") ||
               StartsWith(text, "フォントファイルの削除に失敗しました")) {
        button = IDIGNORE;
    } else {
        ADD_FAILURE() << "unexpected box during the removal: " << Utf8(text);
        button = box.HasControl(IDCANCEL) ? IDCANCEL : IDOK;
    }
    box.Press(button);
    box.WaitClosed();
}

// A message box of the program: its caption, and none of the dialogs' message controls.
static Window FindMessageBox(const Process& program, const std::string& caption) {
    WindowSpec spec;
    spec.caption = caption;
    spec.controls = {0xFFFF};  // a message box's text
    Window box = FindWindowOf(program, spec);
    return box.Exists() && !box.HasControl(IDC_MESSAGE) ? box : Window();
}

int ConfirmAndRemove(Process& uninstaller, const std::string& title, RemovalBoxes* boxes) {
    RemovalBoxes unread;
    if (boxes == nullptr) boxes = &unread;
    Window confirm = WaitForWindow(uninstaller,
                                   MessageBoxWithText(title + "を削除してもよろしいですか?", kUninstallerCaption));
    if (!confirm.Exists()) return -1;
    confirm.Press(IDYES);
    confirm.WaitClosed();
    DWORD start = GetTickCount();
    while (uninstaller.Running()) {
        Window box = FindMessageBox(uninstaller, kUninstallerCaption);
        if (box.Exists()) {
            AnswerBox(box, *boxes);
            continue;
        }
        if (GetTickCount() - start > kDefaultTimeout * 2) break;
        Sleep(50);
    }
    return uninstaller.WaitForExit();
}

Window AnswerRemovalBoxesUntil(Process& program, const std::string& caption, RemovalBoxes* boxes,
                               const WindowSpec& until, DWORD timeout) {
    RemovalBoxes unread;
    if (boxes == nullptr) boxes = &unread;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        Window wanted = FindWindowOf(program, until);
        if (wanted.Exists()) return wanted;
        Window box = FindMessageBox(program, caption);
        if (box.Exists()) {
            AnswerBox(box, *boxes);
            continue;
        }
        if (!program.Running()) break;
        Sleep(50);
    }
    ADD_FAILURE() << "the expected window did not come; on screen:\n" << DescribeWindows(program);
    return Window();
}

Window ToReadyPage(Process& setup, const std::string& destination, std::string* used) {
    Window sheet = WaitForWindow(setup, WizardSheet());
    if (!sheet.Exists()) return Window();
    WaitForPage(sheet, IDD_WELCOME_PAGE);
    sheet.PressSheetButton(PSBTN_NEXT);
    Window page = WaitForPage(sheet, IDD_DESTINATION_PAGE);
    if (!page.Exists()) return Window();
    if (!destination.empty()) page.SetText(IDC_DESTINATION_EDIT, destination);
    if (used != nullptr) *used = page.Text(IDC_DESTINATION_EDIT);
    sheet.PressSheetButton(PSBTN_NEXT);
    // A folder that does not exist yet is offered for creation before the ready page.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kDefaultTimeout) {
        Window create = FindWindowOf(setup, Dialog(IDD_CREATE_FOLDER));
        if (create.Exists()) {
            create.Press(IDB_CREATE_FOLDER);
            break;
        }
        if (!sheet.CurrentPage().HasControl(IDC_DESTINATION_EDIT)) break;
        Sleep(20);
    }
    return WaitForPage(sheet, IDD_READY_PAGE).Exists() ? sheet : Window();
}

void AppendToRecord(const std::string& recordPath, const std::string& lines) {
    std::string text = ReadWholeFile(recordPath);
    SetFileAttributesA(recordPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteWholeFile(recordPath, text + lines);
    SetFileAttributesA(recordPath.c_str(), FILE_ATTRIBUTE_READONLY);
}

// ---- the restart ----

static bool ContainsNoCase(std::string text, std::string part) {
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    CharUpperBuffA(&part[0], static_cast<DWORD>(part.size()));
    return text.find(part) != std::string::npos;
}

static std::string PendingRenames() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    std::string data(65536, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    LONG status = RegQueryValueExA(key, kPendingRenames, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&data[0]), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "";
    data.resize(size);
    for (char& c : data) {
        if (c == '\0') c = '|';
    }
    return data;
}

bool RestartListNames(const std::string& part) {
    return ContainsNoCase(PendingRenames() + ReadWholeFile(WindowsFolder() + "\\WININIT.INI"), part);
}

bool CompanionScheduledForRestart() {
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", "NUL", "", value, sizeof value, "WININIT.INI");
    if (lstrcmpiA(value, CompanionCopy().c_str()) == 0) return true;
    return ContainsNoCase(PendingRenames(), "\\~rmZELK.~|");
}

void ClearRestartState() {
    std::string copy = CompanionCopy();
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
    // Windows 95 renames the processed file away; a fresh machine has none.
    DeleteFileA((WindowsFolder() + "\\WININIT.INI").c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kPendingRenames);
        RegCloseKey(key);
    }
}

bool FinishCompanionAndRestart() {
    // The companion's file cannot be deleted while it runs.
    std::string copy = CompanionCopy();
    DWORD start = GetTickCount();
    bool ended = false;
    while (GetTickCount() - start < 45000) {
        if (DeleteFileA(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) {
            ended = true;
            break;
        }
        Sleep(100);
    }
    ClearRestartState();
    return ended;
}

// ---- snapshots ----

// A file as the snapshots compare it: its size and the attributes a removal may change.
static std::string DescribeFile(const WIN32_FIND_DATAA& data) {
    DWORD kept = data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return std::to_string(data.nFileSizeLow) + " bytes, attributes " + std::to_string(kept);
}

static void SnapshotKey(HKEY root, const std::string& rootName, const std::string& key, Snapshot& snapshot) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    std::string name = rootName + "\\" + key;
    snapshot[name] = "<key>";
    char valueName[1024];
    std::string data(65536, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof valueName;
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(opened, i, valueName, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                          &size) != ERROR_SUCCESS) {
            break;
        }
        snapshot[name + " : " + valueName] = std::to_string(type) + " " + data.substr(0, size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char subkey[260];
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(opened, i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(subkey);
    }
    RegCloseKey(opened);
    for (const std::string& subkey : subkeys) SnapshotKey(root, rootName, key + "\\" + subkey, snapshot);
}

// With its creation and write times too.
static std::string DescribeFileAndTimes(const WIN32_FIND_DATAA& data) {
    auto time = [](const FILETIME& t) {
        return std::to_string((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return DescribeFile(data) + ", created " + time(data.ftCreationTime) + ", written " + time(data.ftLastWriteTime);
}

Snapshot TakeSnapshot(bool withTimes) {
    Snapshot snapshot;
    for (const char* folder : {"C:\\windows", "C:\\Program Files", "C:\\users", "C:\\ProgramData", "C:\\zelk-test"}) {
        if (withTimes) {
            zelktest::SnapshotTree(folder, snapshot, DescribeFileAndTimes);
        } else {
            zelktest::SnapshotTree(folder, snapshot, DescribeFile);
        }
    }
    SnapshotKey(HKEY_LOCAL_MACHINE, "HKLM", kUninstallKey, snapshot);
    SnapshotKey(HKEY_LOCAL_MACHINE, "HKLM", "Software\\ZELK", snapshot);
    SnapshotKey(HKEY_CURRENT_USER, "HKCU", "Software\\ZELK", snapshot);
    SnapshotKey(HKEY_LOCAL_MACHINE, "HKLM", "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", snapshot);
    return snapshot;
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> lines;
    for (const auto& [path, content] : before) {
        auto found = after.find(path);
        if (found == after.end()) {
            lines.push_back("- " + path);
        } else if (found->second != content) {
            lines.push_back("~ " + path + " (" + content + " -> " + found->second + ")");
        }
    }
    for (const auto& [path, content] : after) {
        if (before.find(path) == before.end()) lines.push_back("+ " + path);
    }
    return lines;
}

std::string Describe(const std::vector<std::string>& differences) {
    std::string text;
    for (const std::string& line : differences) text += "  " + Utf8(line) + "\n";
    return text.empty() ? "  (none)\n" : text;
}

// ---- an installation made by hand ----

std::string HandInstallation::UninstallString() const {
    std::string program = Folder() + "\\unZELK.exe";
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
    return program + " *" + RecordPath();
}

std::string HandInstallation::Folder() const {
    std::string folder = base;
    for (const std::string& level : levels) folder += "\\" + level;
    return folder;
}

static void PutFile(const std::string& path, const std::string& contents, bool readOnly) {
    WriteWholeFile(path, contents);
    if (readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

static void SetKey(HKEY root, const std::string& key, const char* value, const std::string& data) {
    HKEY opened;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                                             nullptr));
    if (value != nullptr) {
        RegSetValueExA(opened, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size()));
    }
    RegCloseKey(opened);
}

void HandInstallation::Create() const {
    std::string path = base;
    CreateDirectoryA(path.c_str(), nullptr);
    for (const std::string& level : levels) {
        path += "\\" + level;
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ASSERT_TRUE(IsFolder(Folder())) << Utf8(Folder());
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\unZELK.exe").c_str(), (Folder() + "\\unZELK.exe").c_str(), FALSE));
    SetFileAttributesA((Folder() + "\\unZELK.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    if (withCompanion) {
        ASSERT_TRUE(CopyFileA((BuildFolder() + "\\rmZELK.bin").c_str(), (Folder() + "\\rmZELK.bin").c_str(), FALSE));
        SetFileAttributesA((Folder() + "\\rmZELK.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    std::string record = "Title=" + title + "\r\nUnRegistry=" + unRegistry +
                         "\r\nAppRegistry=HandTest\r\nAppVersion=1.0\r\nDirDepth=" + std::to_string(Depth()) +
                         "\r\n" + RecordPath() + "\r\n";
    for (const std::string& file : files) {
        PutFile(Folder() + "\\" + file, "contents of " + file, true);
        record += Folder() + "\\" + file + "\r\n";
    }
    PutFile(RecordPath(), record + recordExtra, true);
    SetKey(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + unRegistry, "UninstallString", UninstallString());
    SetKey(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + unRegistry, "DisplayName", title);
    SetKey(HKEY_LOCAL_MACHINE, "Software\\ZELK\\HandTest\\1.0", nullptr, "");
    SetKey(HKEY_CURRENT_USER, "SOFTWARE\\ZELK\\HandTest\\1.0", nullptr, "");
}

}  // namespace e2e
