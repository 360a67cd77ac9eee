// unZELK's command line, its early exits, and the companion it hands over to.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "uninstall/unzelk.h"

namespace {

// ---- message boxes, answered by the test ----

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

std::vector<ShownBox> shown;
std::deque<int> answers;

int WINAPI FakeMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    shown.push_back({text ? text : "", caption ? caption : "", type});
    if (answers.empty()) return IDOK;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

class Uninstaller : public testing::Test {
protected:
    void SetUp() override {
        shown.clear();
        answers.clear();
        g_messageBox = FakeMessageBox;
    }
    void TearDown() override { g_messageBox = MessageBoxA; }
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(UninstallerCommandLine, RecordPathFollowsTheAsterisks) {
    struct Case {
        const char* commandLine;
        const char* recordPath;  // null: no arguments
    };
    const Case cases[] = {
        {"C:\\App\\unZELK.exe * C:\\App\\unZELK.dat", "C:\\App\\unZELK.dat"},
        {"C:\\App\\unZELK.exe **C:\\App\\unZELK.dat", "C:\\App\\unZELK.dat"},
        {"C:\\App\\unZELK.exe *C:\\App\\unZELK.dat", "C:\\App\\unZELK.dat"},
        {"\"C:\\Program Files\\App\\unZELK.exe\" *C:\\Program Files\\App\\unZELK.dat",
         "C:\\Program Files\\App\\unZELK.dat"},
        {"C:\\App\\unZELK.exe *\t C:\\My App\\x.dat ", "C:\\My App\\x.dat "},
        {"C:\\App\\unZELK.exe *", ""},
        {"C:\\App\\unZELK.exe", nullptr},
        {"C:\\App\\unZELK.exe    ", nullptr},
        {"C:\\App\\unZELK.exe \t ", nullptr},
        {"\"C:\\Program Files\\App\\unZELK.exe\"", nullptr},
    };
    for (const Case& c : cases) {
        const char* path = RecordPathOfCommandLine(c.commandLine);
        if (c.recordPath == nullptr) {
            EXPECT_EQ(nullptr, path) << c.commandLine;
        } else {
            ASSERT_NE(nullptr, path) << c.commandLine;
            EXPECT_STREQ(c.recordPath, path) << c.commandLine;
        }
    }
}

TEST(UninstallerCommandLine, CompanionCommandIsNeverCut) {
    char out[260];
    EXPECT_TRUE(FormatCompanionCommand(out, sizeof out, "C:\\WINDOWS\\~rmZELK.~", 2, "C:\\Program Files\\A\\unZELK.exe"));
    EXPECT_STREQ("C:\\WINDOWS\\~rmZELK.~ 2 C:\\Program Files\\A\\unZELK.exe", out);
    EXPECT_TRUE(FormatCompanionCommand(out, sizeof out, "C:\\My Win\\~rmZELK.~", 0, "C:\\A\\unZELK.exe"));
    EXPECT_STREQ("\"C:\\My Win\\~rmZELK.~\" 0 C:\\A\\unZELK.exe", out);

    std::string own = "C:\\" + std::string(220, 'a') + "\\unZELK.exe";  // 234 bytes
    EXPECT_TRUE(FormatCompanionCommand(out, sizeof out, "C:\\W\\~rmZELK.~", 3, own.c_str()));
    EXPECT_EQ(std::string("C:\\W\\~rmZELK.~ 3 ") + own, out);
    own = "C:\\" + std::string(240, 'a') + "\\unZELK.exe";
    EXPECT_FALSE(FormatCompanionCommand(out, sizeof out, "C:\\W\\~rmZELK.~", 3, own.c_str()));
    EXPECT_STREQ("", out);
}

TEST_F(Uninstaller, UnreadableRecordIsNamedAsReceived) {
    EXPECT_EQ(0, RunUninstaller(GetModuleHandleA(nullptr), "unZELK.exe * C:\\zelk-nowhere\\un ZELK.dat"));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("アンインストール情報ファイル'C:\\zelk-nowhere\\un ZELK.dat'が読み込めません", shown[0].text);
}

TEST_F(Uninstaller, SecondInstanceEndsWithoutAWord) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "unZELKMutex");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, RunUninstaller(GetModuleHandleA(nullptr), "unZELK.exe"));
    EXPECT_TRUE(shown.empty());
    CloseHandle(first);
    // Every way out closes the mutex: a later run is not taken for a second instance.
    EXPECT_EQ(0, RunUninstaller(GetModuleHandleA(nullptr), "unZELK.exe"));
    EXPECT_EQ(1u, shown.size());
    HANDLE left = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "unZELKMutex");
    EXPECT_EQ(nullptr, left);
    if (left) CloseHandle(left);
}

TEST_F(Uninstaller, ConfirmationNamesTheTitle) {
    answers = {IDNO};
    EXPECT_FALSE(ConfirmRemoval("ZELKサンプルゲーム"));
    answers = {IDYES};
    EXPECT_TRUE(ConfirmRemoval(nullptr));
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ("ZELKサンプルゲームを削除してもよろしいですか?", shown[0].text);
    EXPECT_EQ(UINT(MB_ICONWARNING | MB_YESNO), shown[0].type);
    EXPECT_EQ("を削除してもよろしいですか?", shown[1].text);
}

TEST(DeletingWindow, IsTheSmallCentredDialog) {
    HWND window = ShowDeletingWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, window);
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - width) / 2, rect.left, 1);
    EXPECT_NEAR((GetSystemMetrics(SM_CYSCREEN) - height) / 2, rect.top, 1);
    EXPECT_NE(WS_CAPTION, GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) << "no title bar";
    char text[64] = "";
    HWND child = GetWindow(window, GW_CHILD);
    std::vector<std::string> texts;
    for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowTextA(child, text, sizeof text);
        texts.push_back(text);
    }
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "ファイルを削除中．．．"));
    DestroyWindow(window);
}

// ---- the companion, run as the uninstaller runs it ----

const std::string kCompanionBase = "C:\\zelk-unit-companion";

std::string CompanionProgram() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\')) + "\\rmZELK.bin";
}

// Runs the companion with the given arguments; its exit code.
DWORD RunCompanion(const std::string& arguments) {
    std::string line = "~rmZELK.~ " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string program = CompanionProgram();
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << program;
        return 99;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

void MakeTree(const std::string& folder, const std::string& file) {
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1)) {
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE handle = CreateFileA((folder + "\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_READONLY, nullptr);
    CloseHandle(handle);
}

class Companion : public testing::Test {
protected:
    void SetUp() override {
        Clean();
        CreateDirectoryA(kCompanionBase.c_str(), nullptr);
        CreateDirectoryA((kCompanionBase + "\\keep").c_str(), nullptr);
    }
    void TearDown() override { Clean(); }
    static void Clean() {
        // Deepest first; every folder of these tests is known by name.
        for (const char* path : {"\\ソフト\\表 b\\unZELK.exe", "\\ソフト\\表 b\\save.dat", "\\ソフト\\表 b",
                                 "\\ソフト", "\\App\\unZELK.exe", "\\App", "\\keep"}) {
            std::string full = kCompanionBase + path;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(full.c_str())) RemoveDirectoryA(full.c_str());
        }
        RemoveDirectoryA(kCompanionBase.c_str());
    }
};

TEST_F(Companion, DeletesTheProgramOnceFreeThenTheEmptyLevels) {
    const std::string folder = kCompanionBase + "\\ソフト\\表 b";
    MakeTree(folder, "unZELK.exe");
    // The uninstaller still runs: its file is held for a while.
    HANDLE held = CreateFileA((folder + "\\unZELK.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = "~rmZELK.~ 2 " + folder + "\\unZELK.exe";
    ASSERT_TRUE(CreateProcessA(CompanionProgram().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               "C:\\", &startup, &process));
    CloseHandle(process.hThread);
    Sleep(500);
    EXPECT_TRUE(Exists(folder + "\\unZELK.exe"));
    CloseHandle(held);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(kCompanionBase + "\\ソフト"));
    EXPECT_TRUE(Exists(kCompanionBase));
}

TEST_F(Companion, ACommandLineItCannotReadChangesNothing) {
    MakeTree(kCompanionBase + "\\App", "unZELK.exe");
    const std::string file = kCompanionBase + "\\App\\unZELK.exe";
    const std::string cases[] = {"", file, "-1 " + file, "1", "1 zelk-unit-companion\\App\\unZELK.exe"};
    for (const std::string& arguments : cases) {
        EXPECT_EQ(1u, RunCompanion(arguments)) << arguments;
        EXPECT_TRUE(Exists(file)) << arguments;
    }
}

}  // namespace
