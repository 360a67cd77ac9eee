// The registry records: what an installation writes, how the next run finds it, and how
// the keys are deleted without touching other versions or applications of the maker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions_support.h"
#include "common/registry.h"
#include "ids.h"

using namespace unit;

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kEntry = kUninstall + "ZELKUnitTest";

class Registry : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        DeleteTree(HKEY_LOCAL_MACHINE, kEntry);
        DeleteTree(HKEY_LOCAL_MACHINE, kEntry + "2");
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\ZELK");
        DeleteTree(HKEY_CURRENT_USER, "Software\\ZELK");
    }
    // Registers an uninstall command as an earlier installation would have.
    static void RegisterCommand(const std::string& command) { SetValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", command); }
};

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::string Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    wsprintfA(date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

// The command and the name byte for byte, then what the list of programs of later Windows
// shows: the first installed program's icon (else the uninstaller's), the version, the
// folder, the size of the files and setup's own two in kilobytes rounded up, the date.
TEST_F(Registry, WritesTheUninstallEntryByteForByte) {
    struct Case {
        const char* destination;
        const char* command;
        std::vector<const char*> files;  // source>destination
        const char* icon;
    } cases[] = {
        {"C:\\Program Files\\ZELK\\App", "\"C:\\Program Files\\ZELK\\App\\unZELK.exe\" *C:\\Program Files\\ZELK\\App\\unZELK.dat",
         {"readme.txt"}, "C:\\Program Files\\ZELK\\App\\unZELK.exe"},
        {"C:\\App", "C:\\App\\unZELK.exe *C:\\App\\unZELK.dat", {"readme.txt", "game.ex_>GAME.EXE", "tool.exe"},
         "C:\\App\\GAME.EXE"},
        {"D:\\ゲーム\\表示", "D:\\ゲーム\\表示\\unZELK.exe *D:\\ゲーム\\表示\\unZELK.dat", {"表示.exe"},
         "D:\\ゲーム\\表示\\表示.exe"},
    };
    for (const Case& c : cases) {
        Clean();
        auto context = MakeContext(c.destination);
        for (const char* file : c.files) {
            std::string source = file;
            size_t arrow = source.find('>');
            AddFile(*context, source.substr(0, arrow).c_str(),
                    arrow == std::string::npos ? nullptr : source.substr(arrow + 1).c_str(), nullptr);
        }
        context->fileSize[0] = 1000;        // 1000 + 1025 + 1 bytes: 2 KB, rounded up
        context->fileSize[context->fileCount] = 1025;
        context->fileSize[context->fileCount + 1] = 1;
        const std::string before = Today();
        ASSERT_EQ(0, WriteRegistryRecords(*context)) << c.destination;
        const std::string after = Today();
        DWORD type = 0;
        EXPECT_EQ(c.command, RawValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type)) << c.destination;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ("ZELKテスト表示", RawValue(HKEY_LOCAL_MACHINE, kEntry, "DisplayName", &type));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        const struct {
            const char* name;
            std::string data;
            DWORD type;
        } values[] = {
            {"DisplayIcon", c.icon, REG_SZ},
            {"DisplayVersion", "1.0", REG_SZ},
            {"InstallLocation", c.destination, REG_SZ},
            {"EstimatedSize", Dword(2), REG_DWORD},
            {"NoModify", Dword(1), REG_DWORD},
            {"NoRepair", Dword(1), REG_DWORD},
        };
        for (const auto& value : values) {
            EXPECT_EQ(value.data, RawValue(HKEY_LOCAL_MACHINE, kEntry, value.name, &type)) << value.name;
            EXPECT_EQ(value.type, type) << value.name;
        }
        std::string date = RawValue(HKEY_LOCAL_MACHINE, kEntry, "InstallDate", &type);
        EXPECT_TRUE(date == before || date == after) << date;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    }
}

TEST_F(Registry, CreatesBothApplicationKeysEmpty) {
    auto context = MakeContext("C:\\App");
    ASSERT_EQ(0, WriteRegistryRecords(*context));
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, "Software\\ZELK\\UnitTestApp\\1.0", 0, KEY_READ, &key));
        DWORD subkeys = 1, values = 1;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(key);
        EXPECT_EQ(0u, subkeys);
        EXPECT_EQ(0u, values);
    }
}

// The uninstall command, or the icon's path of a long program name, beyond the buffer.
TEST_F(Registry, APathThatDoesNotFitIsAFailureNotACut) {
    const struct {
        std::string destination;
        std::string program;  // empty: none
    } cases[] = {
        {"C:\\" + std::string(240, 'x'), ""},
        {"C:\\" + std::string(100, 'x'), std::string(200, 'p') + ".exe"},
    };
    for (const auto& c : cases) {
        BoxRecorder boxes;
        auto context = MakeContext(c.destination.c_str());
        if (!c.program.empty()) AddFile(*context, c.program.c_str(), nullptr, nullptr);
        EXPECT_EQ(-1, WriteRegistryRecords(*context)) << c.program;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry)) << c.program;
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(LoadedString(IDS_REGISTRY_FAILED), boxes.boxes()[0].text);
    }
}

TEST_F(Registry, PreviousInstallationProposesItsFolder) {
    struct Case {
        const char* command;
        const char* directory;
        const char* baseName;
        const char* destination;
    } cases[] = {
        {"D:\\Games\\App\\unZELK.exe *D:\\Games\\App\\unZELK.dat", "D:\\Games", "App", "D:\\Games\\App"},
        {"D:\\App\\unZELK.exe *D:\\App\\unZELK.dat", "D:\\", "App", "D:\\App"},
        {"\"C:\\Program Files\\ZELK\\App\\unZELK.exe\" *C:\\Program Files\\ZELK\\App\\other.dat",
         "C:\\Program Files\\ZELK", "App", "C:\\Program Files\\ZELK\\App"},
        {"E:\\ソフト\\表示\\unZELK.exe *E:\\ソフト\\表示\\unZELK.dat", "E:\\ソフト", "表示", "E:\\ソフト\\表示"},
    };
    for (const Case& c : cases) {
        RegisterCommand(c.command);
        auto context = MakeContext("C:\\Program Files\\ZELK\\New");
        EXPECT_EQ(0, ReadPreviousInstall(*context));
        EXPECT_STREQ(c.directory, context->directory) << c.command;
        EXPECT_STREQ(c.baseName, context->baseName) << c.command;
        EXPECT_STREQ(c.destination, context->destination) << c.command;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    }
}

TEST_F(Registry, NoEntryOrAnUnusableOneChangesNothing) {
    const std::string earlier = "x *D:\\Games\\App\\unZELK.dat";
    struct Case {
        const char* what;
        std::string command;  // empty: no entry at all
    } cases[] = {
        {"no entry", ""},
        {"record path without a folder", "unZELK.exe *unZELK.dat"},
        {"record path in a root", "unZELK.exe *D:\\unZELK.dat"},
        {"value filling the whole buffer", earlier + std::string(260 - earlier.size(), 'z')},
        {"value longer than the buffer", earlier + std::string(300, 'z')},
    };
    for (const Case& c : cases) {
        Clean();
        if (!c.command.empty()) RegisterCommand(c.command);
        auto context = MakeContext("C:\\Program Files\\ZELK\\New");
        EXPECT_EQ(0, ReadPreviousInstall(*context)) << c.what;
        EXPECT_STREQ("C:\\Program Files\\ZELK", context->directory) << c.what;
        EXPECT_STREQ("C:\\Program Files\\ZELK\\New", context->destination) << c.what;
        // Only a command without an asterisk is removed as stale.
        EXPECT_EQ(!c.command.empty(), KeyExists(HKEY_LOCAL_MACHINE, kEntry)) << c.what;
    }
}

TEST_F(Registry, AValueOf259BytesIsStillRead) {
    std::string folder = "C:\\" + std::string(230, 'f');
    std::string command = "u *" + folder + "\\app\\unZELK.dat";
    command += std::string(259 - command.size(), 'z');
    ASSERT_EQ(259u, command.size());
    RegisterCommand(command);
    auto context = MakeContext("C:\\New");
    EXPECT_EQ(0, ReadPreviousInstall(*context));
    EXPECT_EQ(folder, std::string(context->directory));
    EXPECT_STREQ("app", context->baseName);
}

TEST_F(Registry, AStaleEntryWithoutAsteriskIsDeletedAtStartUp) {
    auto context = MakeContext("C:\\App");
    ASSERT_EQ(0, WriteRegistryRecords(*context));
    RegisterCommand("C:\\App\\unZELK.exe");
    auto next = MakeContext("C:\\Program Files\\ZELK\\New");
    EXPECT_EQ(0, ReadPreviousInstall(*next));
    EXPECT_STREQ("C:\\Program Files\\ZELK\\New", next->destination);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp"));
    // With the entry gone, the question at the start of the installation is not asked.
    EXPECT_EQ(1, CheckPreviousInstall(*next, nullptr));
}

TEST_F(Registry, KeyHasNoSubkeysLooksAtSubkeysOnly) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Parent\\Child");
    SetValue(HKEY_CURRENT_USER, "Software\\ZELK\\Valued", "v", "x");
    EXPECT_EQ(0, KeyHasNoSubkeys(HKEY_CURRENT_USER, "Software\\ZELK\\Parent"));
    EXPECT_EQ(1, KeyHasNoSubkeys(HKEY_CURRENT_USER, "Software\\ZELK\\Parent\\Child"));
    EXPECT_EQ(1, KeyHasNoSubkeys(HKEY_CURRENT_USER, "Software\\ZELK\\Valued"));
    EXPECT_EQ(1, KeyHasNoSubkeys(HKEY_CURRENT_USER, "Software\\ZELK\\Missing"));
}

// No on the question leaves everything; Yes removes the earlier installation. The question
// is string 54 with the title in its three places, a warning with Yes and No.
TEST_F(Registry, TheQuestionAboutAnEarlierInstallation) {
    auto context = MakeContext("C:\\zelk-unit\\Earlier");
    ASSERT_EQ(0, WriteRegistryRecords(*context));
    HWND owner = reinterpret_cast<HWND>(0x1234);
    {
        BoxRecorder boxes(IDNO);
        EXPECT_EQ(0, CheckPreviousInstall(*context, owner));
        ASSERT_EQ(1u, boxes.boxes().size());
        const ShownBox& box = boxes.boxes()[0];
        EXPECT_EQ("「ZELKテスト」は既にセットアップされています。セットアップを続行するには以前にセットアップされた「ZELKテスト」を消去する必要があります。\n\n以前の「ZELKテスト」を消去してセットアップを続行しますか？",
                  box.text);
        EXPECT_EQ("ZELKセットアップ", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_YESNO), box.style);
        EXPECT_EQ(owner, box.owner);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0"));
    {
        BoxRecorder boxes(IDYES);
        EXPECT_EQ(1, CheckPreviousInstall(*context, owner));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK"));
}

TEST_F(Registry, ALongTitleIsCutInsideTheBuffer) {
    auto context = MakeContext("C:\\zelk-unit\\Earlier");
    std::string title;
    while (title.size() < 600) title += "長い";
    Assign(context->title, title.c_str());
    ASSERT_EQ(0, WriteRegistryRecords(*context));
    BoxRecorder boxes(IDNO);
    EXPECT_EQ(0, CheckPreviousInstall(*context, nullptr));
    ASSERT_EQ(1u, boxes.boxes().size());
    const std::string& text = boxes.boxes()[0].text;
    EXPECT_LT(text.size(), 512u + 3 * 260u);
    EXPECT_EQ("「" + title.substr(0, 100), text.substr(0, 102));
    // Every character here is a double-byte one: the cut never leaves half of one.
    EXPECT_EQ(0u, text.size() % 2);
}

TEST_F(Registry, RemovalIgnoresAnOversizedCommand) {
    RegisterCommand("x*" + std::string(300, 'a'));
    CreateKeyPath(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0");
    auto context = MakeContext("C:\\App");
    RemovePreviousInstall(*context);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0"));
}

// ---- deletion: Windows 95 deletes whole subtrees, NT 4.0 only keys without subkeys; the
// suite runs as both, and the results must not differ ----

using RegistryKeys = Registry;

TEST_F(RegistryKeys, DeletingOneVersionLeavesTheOther) {
    auto first = MakeContext("C:\\App1", "1.0", "ZELKUnitTest");
    auto second = MakeContext("C:\\App2", "2.0", "ZELKUnitTest2");
    ASSERT_EQ(0, WriteRegistryRecords(*first));
    ASSERT_EQ(0, WriteRegistryRecords(*second));

    DeleteRegistryRecords(*first);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(KeyExists(root, "Software\\ZELK\\UnitTestApp\\1.0"));
        EXPECT_TRUE(KeyExists(root, "Software\\ZELK\\UnitTestApp\\2.0"));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry + "2"));

    DeleteRegistryRecords(*second);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(KeyExists(root, "Software\\ZELK\\UnitTestApp"));
        EXPECT_FALSE(KeyExists(root, "Software\\ZELK"));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry + "2"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(RegistryKeys, AnotherApplicationOfTheMakerKeepsTheMakersKey) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\3.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0\\Settings\\Window");
    SetValue(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0\\Settings", "Size", "3");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "UnitTestApp", "1.0");
    // What the application stored below its own version goes with it, on either system.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\3.0"));
}

TEST_F(RegistryKeys, WithoutAVersionTheApplicationKeyGoesWhole) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\2.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "UnitTestApp", nullptr);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other"));
}

TEST_F(RegistryKeys, AnEmptyApplicationNameDeletesNothing) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\1.0");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "", "1.0");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "", nullptr);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\1.0"));
}

TEST_F(RegistryKeys, AnEmptyUninstallNameNeverReachesTheWholeList) {
    CreateKeyPath(HKEY_LOCAL_MACHINE, kEntry);
    auto context = MakeContext("C:\\App");
    Assign(context->unRegistry, "");
    DeleteRegistryRecords(*context);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

}  // namespace
