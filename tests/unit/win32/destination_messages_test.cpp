// Destination checks, folder creation, message helpers and version test of setup.
#include <gtest/gtest.h>

#include <string.h>

#include "dialog_answerer.h"
#include "setup/setup.h"
#include "test_files.h"

using testfiles::IsFolder;
using testfiles::ScratchFolder;

namespace {

// ---- IsSupportedWindows through the version seam ----

OSVERSIONINFOA fakeVersion;
BOOL fakeVersionResult;

BOOL WINAPI FakeGetVersion(OSVERSIONINFOA* info) {
    DWORD size = info->dwOSVersionInfoSize;
    *info = fakeVersion;
    info->dwOSVersionInfoSize = size;
    return fakeVersionResult;
}

TEST(IsSupportedWindows, AcceptsWindows95AndNt351AndLater) {
    struct Case { BOOL ok; DWORD platform, major, minor; bool supported; };
    const Case cases[] = {
        {TRUE, VER_PLATFORM_WIN32_WINDOWS, 4, 0, true},   // Windows 95
        {TRUE, VER_PLATFORM_WIN32_WINDOWS, 4, 10, true},  // Windows 98
        {TRUE, VER_PLATFORM_WIN32_NT, 3, 50, false},
        {TRUE, VER_PLATFORM_WIN32_NT, 3, 51, true},
        {TRUE, VER_PLATFORM_WIN32_NT, 4, 0, true},
        {TRUE, VER_PLATFORM_WIN32_NT, 5, 0, true},
        {TRUE, VER_PLATFORM_WIN32s, 3, 51, false},
        {FALSE, VER_PLATFORM_WIN32_NT, 4, 0, false},
    };
    GetVersionFunction real = g_getVersion;
    g_getVersion = FakeGetVersion;
    for (const Case& c : cases) {
        fakeVersion = OSVERSIONINFOA();
        fakeVersion.dwPlatformId = c.platform;
        fakeVersion.dwMajorVersion = c.major;
        fakeVersion.dwMinorVersion = c.minor;
        fakeVersionResult = c.ok;
        EXPECT_EQ(c.supported, IsSupportedWindows())
            << "platform " << c.platform << " " << c.major << "." << c.minor;
    }
    g_getVersion = real;
}

// ---- folders ----

class Folders : public testing::Test {
protected:
    void TearDown() override { SetCurrentDirectoryA("C:\\"); }
    ScratchFolder scratch{"folders"};
};

std::string CurrentDirectory() {
    char path[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

TEST_F(Folders, CreateDirectoryPathCountsTheLevelsItCreates) {
    CreateDirectoryA((scratch / "A").c_str(), nullptr);
    EXPECT_EQ(2, CreateDirectoryPath((scratch / "A\\B\\C").c_str()));
    EXPECT_TRUE(IsFolder(scratch / "A\\B\\C"));
    // Everything there now: nothing to create, and the walk ends inside the deepest level.
    EXPECT_EQ(0, CreateDirectoryPath((scratch / "A\\B\\C").c_str()));
    EXPECT_EQ(scratch / "A\\B\\C", CurrentDirectory());
    EXPECT_EQ(0, CreateDirectoryPath((scratch / "A\\B\\").c_str()));
}

TEST_F(Folders, CreateDirectoryPathLeavesShortPathsAlone) {
    EXPECT_EQ(0, CreateDirectoryPath("C:\\"));
    EXPECT_EQ(0, CreateDirectoryPath("C:"));
    EXPECT_EQ(0, CreateDirectoryPath(""));
}

TEST_F(Folders, CreateDirectoryPathStopsAtALevelItCannotCreate) {
    testfiles::WriteWholeFile(scratch / "file", "x");
    EXPECT_EQ(-1, CreateDirectoryPath((scratch / "file\\sub").c_str()));
    EXPECT_EQ(-1, CreateDirectoryPath("W:\\nothing"));  // no such drive
    // Levels made before the failing one stay.
    EXPECT_EQ(-1, CreateDirectoryPath((scratch / "made\\bad*name\\x").c_str()));
    EXPECT_TRUE(IsFolder(scratch / "made"));
}

TEST_F(Folders, CreateDirectoryPathRefusesAPathLongerThanABuffer) {
    std::string path = scratch / std::string(120, 'a') + "\\" + std::string(140, 'b');
    EXPECT_EQ(-1, CreateDirectoryPath(path.c_str()));
    EXPECT_FALSE(IsFolder(scratch / std::string(120, 'a')));
}


// "ソ" and "表" end in the byte of a backslash; they must not split a folder name.
TEST_F(Folders, CreateDirectoryPathWalksShiftJisNames) {
    EXPECT_EQ(2, CreateDirectoryPath((scratch / "ソフト\\表示").c_str()));
    EXPECT_TRUE(IsFolder(scratch / "ソフト\\表示"));
    EXPECT_EQ(std::vector<std::string>{"ソフト"}, zelktest::FolderEntries(scratch.path()));
}

TEST_F(Folders, FindDeepestExistingFolder) {
    CreateDirectoryA((scratch / "A").c_str(), nullptr);
    CreateDirectoryA((scratch / "ソフト").c_str(), nullptr);
    struct Case { std::string path, deepest; };
    const Case cases[] = {
        {scratch / "A\\B\\C", scratch / "A"},
        {scratch / "A", scratch / "A"},
        {scratch / "ソフト\\表示", scratch / "ソフト"},
        {"C:\\zelk-none\\x", "C:\\"},  // only the drive: its root
        {"C:\\", "C:\\"},
        {"W:\\x", ""},                  // no such drive
    };
    for (const Case& c : cases) {
        char out[MAX_PATH] = "junk";
        FindDeepestExistingFolder(out, sizeof out, c.path.c_str());
        EXPECT_EQ(c.deepest, out) << c.path;
    }
    char small[8] = "junk";
    FindDeepestExistingFolder(small, sizeof small, (scratch / "A").c_str());
    EXPECT_STREQ("C:\\", small);  // the deepest that fits
}

// ---- texts ----

class Texts : public testing::Test {
protected:
    void SetUp() override { saved_ = g_setup.title; }
    void TearDown() override {
        free(g_setup.title);
        g_setup.title = saved_;
    }
    void SetTitle(const std::string& title) {
        if (g_setup.title != saved_) free(g_setup.title);
        g_setup.title = DuplicateString(title.c_str());
    }
    char* saved_ = nullptr;
};

TEST_F(Texts, FormatTitleStringPutsTheTitleInEveryPlace) {
    SetTitle("ZELKサンプル");
    char out[512];
    ASSERT_EQ(0, FormatTitleString(out, sizeof out, IDS_WELCOME));
    EXPECT_STREQ("「ZELKサンプル」のセットアップへようこそ。", out);
    ASSERT_EQ(0, FormatTitleString(out, sizeof out, IDS_PREVIOUS_INSTALL));
    EXPECT_STREQ("「ZELKサンプル」は既にセットアップされています。セットアップを続行するには以前に"
                 "セットアップされた「ZELKサンプル」を消去する必要があります。\n\n以前の「ZELKサンプル」"
                 "を消去してセットアップを続行しますか？", out);
}

// A title too long for the buffer is cut, on a character boundary, so that the text fits.
TEST_F(Texts, FormatTitleStringCutsALongTitleToFit) {
    std::string title;
    for (int i = 0; i < 100; ++i) title += "aゲ";  // 300 bytes
    SetTitle(title);
    char out[512];
    memset(out, 'x', sizeof out);
    ASSERT_EQ(0, FormatTitleString(out, sizeof out, IDS_PREVIOUS_INSTALL));
    std::string text = out;
    EXPECT_LE(text.size(), 511u);
    EXPECT_GE(text.size(), 505u);  // the room is used, not wasted
    // Each of the three places holds the same whole-character start of the title.
    size_t open = text.find("「") + 2;
    size_t close = text.find("」", open);
    std::string shown = text.substr(open, close - open);
    EXPECT_EQ(0u, title.find(shown));
    EXPECT_NE(std::string::npos, text.find("以前の「" + shown + "」を消去"));
}

TEST_F(Texts, SubstituteText) {
    struct Case { const char* format; const char* text; size_t size; const char* expected; };
    const Case cases[] = {
        {"a%sb%sc", "T", 64, "aTbTc"},
        {"100%% %s", "T", 64, "100% T"},
        {"no insert", "T", 64, "no insert"},
        {"<%s>", "abcdef", 6, "<abc>"},
        {"<%s>", "ゲゲゲ", 6, "<ゲ>"},      // never half a character
        {"<%s><%s>", "abcdef", 9, "<ab><ab>"},
        {"long fixed text", "T", 5, "long"},
    };
    for (const Case& c : cases) {
        char out[64];
        EXPECT_EQ(0, SubstituteText(out, c.size, c.format, c.text));
        EXPECT_STREQ(c.expected, out) << c.format << " in " << c.size;
    }
}

TEST_F(Texts, FormatTitleStringOfAMissingStringNamesLoadString) {
    DialogAnswerer answerer;
    char out[512] = "junk";
    EXPECT_EQ(-1, FormatTitleString(out, sizeof out, 999));
    EXPECT_STREQ("", out);
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("API エラー", seen[0].caption);
    EXPECT_EQ("LoadString", seen[0].text);
}

TEST(ShowMessage, ShowsTheStringUnderTheSetupCaption) {
    DialogAnswerer answerer;
    EXPECT_EQ(IDOK, ShowMessage(nullptr, IDS_INVALID_FOLDER));
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("ZELKセットアップ", seen[0].caption);
    EXPECT_EQ("フォルダ名が無効です。", seen[0].text);
}

// ---- drives ----

// The test prefix maps R: to a CD-ROM, S: to a floppy, T: to a network share, U: to a RAM
// disk and V: to a fixed disk; W: is not mapped.
TEST(CheckDriveType, RefusesEveryDriveButAFixedDisk) {
    struct Case { const char* path; bool accepted; const char* message; };
    const Case cases[] = {
        {"C:\\Program Files\\ZELK", true, nullptr},
        {"V:\\Games", true, nullptr},
        {"R:\\Games", false, "CD-ROMにはセットアップできません。"},
        {"S:\\Games", false, "交換可能なドライブにはセットアップできません。"},
        {"T:\\Games", false, "ネットワークドライブにはセットアップできません。"},
        {"U:\\Games", false, "RAM ディスクにはセットアップできません。"},
        {"W:\\Games", false, nullptr},
        {"Games", false, nullptr},
    };
    for (const Case& c : cases) {
        DialogAnswerer answerer;
        EXPECT_EQ(c.accepted, CheckDriveType(nullptr, c.path)) << c.path;
        std::vector<SeenDialog> seen = answerer.Seen();
        if (c.message == nullptr) {
            EXPECT_TRUE(seen.empty()) << c.path << " showed " << seen[0].text;
        } else {
            ASSERT_EQ(1u, seen.size()) << c.path;
            EXPECT_EQ(c.message, seen[0].text);
        }
    }
}

TEST(GetFreeDiskBytes, MeasuresTheDriveOfThePath) {
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    uint64_t measured = GetFreeDiskBytes("C:\\Program Files\\ZELK\\Game");
    uint64_t expected = available.QuadPart;
    EXPECT_LT((measured > expected ? measured - expected : expected - measured), 64u << 20);
    EXPECT_EQ(0u, GetFreeDiskBytes("W:\\Games"));
    EXPECT_EQ(0u, GetFreeDiskBytes("Games"));
    EXPECT_EQ(0u, GetFreeDiskBytes(""));
}

// ---- windows ----

TEST(CenterWindow, CentresOnTheScreenEvenAWindowWiderThanIt) {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 7, screenWidth + 100, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    CenterWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(-50, rect.left);
    EXPECT_EQ((screenHeight - 50) / 2, rect.top);
    EXPECT_EQ(screenWidth + 100, rect.right - rect.left);
    DestroyWindow(window);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(ShowKilobytes, ShowsWholeKilobytesOfAnyDriveSize) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DESTINATION_PAGE),
                                   parent, PlainDialogProc, 0);
    ASSERT_NE(nullptr, page);
    struct Case { uint64_t bytes; const char* shown; };
    const Case cases[] = {
        {0, "0Kb"},
        {1023, "0Kb"},
        {12288, "12Kb"},
        {0xFFFFFFFFull, "4194303Kb"},
        {5ull << 30, "5242880Kb"},  // a 5 GB drive does not wrap
        {~0ull, "18014398509481983Kb"},
    };
    for (const Case& c : cases) {
        ShowKilobytes(page, IDC_FREE_SPACE, c.bytes);
        char text[64] = "";
        GetDlgItemTextA(page, IDC_FREE_SPACE, text, sizeof text);
        EXPECT_STREQ(c.shown, text);
    }
    DestroyWindow(parent);
}

}  // namespace
