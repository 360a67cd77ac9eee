// Start-up of setup: the message pump, folder preparation and the required size.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "boxes.h"
#include "common/system.h"
#include "setup/setup.h"

namespace {

TEST(PumpMessages, DispatchesPendingMessagesAndDropsQuit) {
    PostQuitMessage(0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    PumpMessages();
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "left: " << message.message;
}

TEST(PrepareFolders, SourceIsTheProgramFolderAndTheCurrentDirectory) {
    SetupContext context;
    BoxRecorder boxes;
    ASSERT_EQ(0, PrepareFolders(context));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(TestFolder(), context.sourceDir);
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_STREQ(context.sourceDir, current);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_STREQ(windows, context.windowsDir);
    if (IsWindowsNT()) {
        // On NT fonts and DLLs both go to the Windows folder's SYSTEM subfolder.
        EXPECT_EQ(std::string(windows) + "\\SYSTEM", context.fontsDir);
        EXPECT_EQ(std::string(windows) + "\\SYSTEM", context.systemDir);
    } else {
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        EXPECT_EQ(std::string(windows) + "\\FONTS", context.fontsDir);
        EXPECT_STREQ(system, context.systemDir);
    }
}

// A context whose file list is the sample medium's, as the script reader leaves it.
class RequiredSize : public testing::Test {
protected:
    void SetUp() override {
        medium_ = TestFolder() + "\\sample-medium";
        context_.srcDirectory = DuplicateString(medium_.c_str());
        const char* files[] = {"sample.ex_", "readme.txt", "stage1.da_"};
        for (const char* name : files) context_.fileSource[context_.fileCount++] = DuplicateString(name);
        context_.fileSource[context_.fileCount] = const_cast<char*>(kUninstallerName);
        context_.fileSource[context_.fileCount + 1] = const_cast<char*>(kCompanionName);
    }

    static uint32_t SizeOf(const std::string& path) {
        struct stat info;
        EXPECT_EQ(0, stat(path.c_str(), &info)) << path;
        return static_cast<uint32_t>(info.st_size);
    }

    uint32_t ExpandedSizes() {
        std::string build = TestFolder();
        return SizeOf(build + "\\sample.exe") + SizeOf(medium_ + "\\readme.txt") + 40000 +
               SizeOf(medium_ + "\\unZELK.exe") + SizeOf(medium_ + "\\rmZELK.bin");
    }

    std::string medium_;
    SetupContext context_;
};

TEST_F(RequiredSize, CompressedFilesCountWithTheirExpandedSize) {
    BoxRecorder boxes;
    ASSERT_EQ(0, ComputeRequiredSize(context_));
    EXPECT_EQ(ExpandedSizes(), context_.requiredSize);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RequiredSize, AddSizeAddsKilobytesAndANegativeOneSubtracts) {
    BoxRecorder boxes;
    context_.addSize = 500;
    ASSERT_EQ(0, ComputeRequiredSize(context_));
    EXPECT_EQ(ExpandedSizes() + 512000u, context_.requiredSize);
    context_.addSize = -1;
    ASSERT_EQ(0, ComputeRequiredSize(context_));
    EXPECT_EQ(ExpandedSizes() - 1024u, context_.requiredSize);
}

TEST_F(RequiredSize, AMissingFileOfAnyListEndsWithTheFileMissingMessage) {
    struct Case {
        const char* what;
        void (*spoil)(SetupContext&);
        const char* missing;
    } cases[] = {
        {"file", [](SetupContext& c) { c.fileSource[c.fileCount++] = DuplicateString("gone.txt"); }, "gone.txt"},
        {"dll", [](SetupContext& c) { c.dllSource[c.dllCount++] = DuplicateString("gone.dll"); }, "gone.dll"},
        {"font", [](SetupContext& c) { c.fontSource[c.fontCount++] = DuplicateString("gone.ttf"); }, "gone.ttf"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        SetupContext context;
        context.srcDirectory = DuplicateString(medium_.c_str());
        test.spoil(context);
        context.fileSource[context.fileCount] = const_cast<char*>(kUninstallerName);
        context.fileSource[context.fileCount + 1] = const_cast<char*>(kCompanionName);
        BoxRecorder boxes;
        EXPECT_EQ(-1, ComputeRequiredSize(context));
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ("ファイル\"" + medium_ + "\\" + test.missing + "\"がみつかりません。", boxes.boxes()[0].text);
        EXPECT_EQ("ZELKセットアップ", boxes.boxes()[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.boxes()[0].style);
    }
}

}  // namespace

namespace {

// The version the system reports, through the seam of the version test.
OSVERSIONINFOA presentedVersion;
BOOL WINAPI PresentVersion(OSVERSIONINFOA* info) {
    *info = presentedVersion;
    return TRUE;
}
BOOL WINAPI FailVersion(OSVERSIONINFOA*) { return FALSE; }

TEST(IsSupportedWindows, Windows95AndNt351OnwardsPass) {
    struct Case {
        DWORD platform, major, minor;
        bool supported;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, true},   // Windows 95
        {VER_PLATFORM_WIN32_NT, 3, 50, false},      // NT 3.50
        {VER_PLATFORM_WIN32_NT, 3, 51, true},       // NT 3.51
        {VER_PLATFORM_WIN32_NT, 4, 0, true},        // NT 4.0
        {VER_PLATFORM_WIN32s, 3, 11, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.platform << " " << test.major << "." << test.minor);
        presentedVersion = OSVERSIONINFOA{};
        presentedVersion.dwPlatformId = test.platform;
        presentedVersion.dwMajorVersion = test.major;
        presentedVersion.dwMinorVersion = test.minor;
        g_getVersion = PresentVersion;
        EXPECT_EQ(test.supported, IsSupportedWindows());
    }
    g_getVersion = FailVersion;
    EXPECT_FALSE(IsSupportedWindows());
    g_getVersion = GetVersionExA;
}

}  // namespace

namespace {

TEST(InitializeSetup, RefusesNt350WithTheVersionMessage) {
    presentedVersion = OSVERSIONINFOA{};
    presentedVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
    presentedVersion.dwMajorVersion = 3;
    presentedVersion.dwMinorVersion = 50;
    g_getVersion = PresentVersion;
    BoxRecorder boxes;
    EXPECT_EQ(-1, InitializeSetup(GetModuleHandleA(nullptr)));
    g_getVersion = GetVersionExA;
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(nullptr, boxes.boxes()[0].owner);
    EXPECT_EQ("このアプリケーションをセットアップするにはWindows 95 もしくは Windows NT 3.51 以上が必要です。",
              boxes.boxes()[0].text);
    EXPECT_EQ("ZELKセットアップ - エラー", boxes.boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes.boxes()[0].style);
}

}  // namespace

namespace {

// A medium deep in a folder tree: the system's old LZ open call takes no path of 128 bytes
// or more, so the size must not depend on it. A compressed file under a name without the
// underscore is copied as it is, and counts as it is.
TEST(RequiredSizeOnADeepMedium, CountsTheExpandedSizeBeyond128Bytes) {
    std::string folder = TestFolder() + "\\deep-medium-";
    folder.resize(std::max<size_t>(folder.size(), 140), 'x');
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string medium = TestFolder() + "\\sample-medium";
    ASSERT_TRUE(CopyFileA((medium + "\\stage1.da_").c_str(), (folder + "\\stage1.da_").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((medium + "\\stage1.da_").c_str(), (folder + "\\stage1.dat").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((medium + "\\unZELK.exe").c_str(), (folder + "\\unZELK.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((medium + "\\rmZELK.bin").c_str(), (folder + "\\rmZELK.bin").c_str(), FALSE));
    ASSERT_GT(folder.size() + strlen("\\stage1.da_"), 128u);

    SetupContext context;
    context.srcDirectory = DuplicateString(folder.c_str());
    context.fileSource[context.fileCount++] = DuplicateString("stage1.da_");
    context.fileSource[context.fileCount++] = DuplicateString("STAGE1.DAT");
    context.fileSource[2] = const_cast<char*>(kUninstallerName);
    context.fileSource[3] = const_cast<char*>(kCompanionName);
    BoxRecorder boxes;
    EXPECT_EQ(0, ComputeRequiredSize(context));
    EXPECT_TRUE(boxes.boxes().empty());
    struct stat compressed, unzelk, rmzelk;
    stat((folder + "\\stage1.dat").c_str(), &compressed);
    stat((folder + "\\unZELK.exe").c_str(), &unzelk);
    stat((folder + "\\rmZELK.bin").c_str(), &rmzelk);
    EXPECT_EQ(40000u + compressed.st_size + unzelk.st_size + rmzelk.st_size, context.requiredSize);

    for (const char* name : {"stage1.da_", "stage1.dat", "unZELK.exe", "rmZELK.bin"}) {
        DeleteFileA((folder + "\\" + name).c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

namespace {

int restartCalls;
UINT restartFlags;
BOOL restartAnswer;
BOOL WINAPI RecordRestart(UINT flags, DWORD) {
    ++restartCalls;
    restartFlags = flags;
    return restartAnswer;
}

// The restart after the message loop: asked for only when a step wanted it, and a refused
// restart is told to the user with string 37.
TEST(RestartStep, RestartsOnlyWhenRequiredAndReportsAFailure) {
    struct Case {
        int required;
        BOOL answer;
        int calls;
        size_t boxes;
    } cases[] = {{0, TRUE, 0, 0}, {1, TRUE, 1, 0}, {1, FALSE, 1, 1}};
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.required << " " << test.answer);
        restartCalls = 0;
        restartAnswer = test.answer;
        restartRequired = test.required;
        g_exitWindows = RecordRestart;
        BoxRecorder boxes;
        RunRestartStep();
        g_exitWindows = ExitWindowsEx;
        restartRequired = 0;
        EXPECT_EQ(test.calls, restartCalls);
        if (test.calls) {
            EXPECT_EQ(static_cast<UINT>(EWX_REBOOT), restartFlags);
        }
        ASSERT_EQ(test.boxes, boxes.boxes().size());
        if (test.boxes) {
            EXPECT_EQ(LoadedString(37), boxes.boxes()[0].text);
            EXPECT_EQ("ZELKセットアップ", boxes.boxes()[0].caption);
        }
    }
}

}  // namespace
