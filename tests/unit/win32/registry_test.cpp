// The registry records: what an installation writes, how the next run finds it, and how
// the keys are deleted without touching other versions or applications of the maker.
#include <gtest/gtest.h>

#include "actions_support.h"
#include "common/registry.h"
#include "ids.h"
#include "platform_child.h"

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

TEST_F(Registry, WritesTheUninstallEntryByteForByte) {
    struct Case {
        const char* destination;
        const char* command;
    } cases[] = {
        {"C:\\Program Files\\ZELK\\App", "\"C:\\Program Files\\ZELK\\App\\unZELK.exe\" *C:\\Program Files\\ZELK\\App\\unZELK.dat"},
        {"C:\\App", "C:\\App\\unZELK.exe *C:\\App\\unZELK.dat"},
        {"D:\\ゲーム\\表示", "D:\\ゲーム\\表示\\unZELK.exe *D:\\ゲーム\\表示\\unZELK.dat"},
    };
    for (const Case& c : cases) {
        auto context = MakeContext(c.destination);
        ASSERT_EQ(0, WriteRegistryRecords(*context)) << c.destination;
        DWORD type = 0;
        EXPECT_EQ(c.command, RawValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type)) << c.destination;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ("ZELKテスト表示", RawValue(HKEY_LOCAL_MACHINE, kEntry, "DisplayName", &type));
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

TEST_F(Registry, AnUninstallCommandThatDoesNotFitIsAFailureNotACut) {
    MessageBoxWatcher boxes("ZELKセットアップ", IDOK);
    auto context = MakeContext(("C:\\" + std::string(240, 'x')).c_str());
    EXPECT_EQ(-1, WriteRegistryRecords(*context));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
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

// No-answer on the question leaves everything; Yes removes the earlier records. The
// question's text is string 54 with the title in its three places.
TEST_F(Registry, TheQuestionAboutAnEarlierInstallation) {
    char format[512];
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_PREVIOUS_INSTALL, format, sizeof format) == 0) {
        GTEST_SKIP() << "string 54 is not in the string table yet";
    }
    auto context = MakeContext("C:\\zelk-unit\\Earlier");
    ASSERT_EQ(0, WriteRegistryRecords(*context));
    {
        MessageBoxWatcher boxes("ZELKセットアップ", IDNO);
        EXPECT_EQ(0, CheckPreviousInstall(*context, nullptr));
        std::vector<std::string> texts = boxes.Texts();
        ASSERT_EQ(1u, texts.size());
        EXPECT_EQ("「ZELKテスト」は既にセットアップされています。セットアップを続行するには以前にセットアップされた「ZELKテスト」を消去する必要があります。\n\n以前の「ZELKテスト」を消去してセットアップを続行しますか？",
                  texts[0]);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0"));
    {
        MessageBoxWatcher boxes("ZELKセットアップ", IDYES);
        EXPECT_EQ(1, CheckPreviousInstall(*context, nullptr));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK"));
}

TEST_F(Registry, RemovalIgnoresAnOversizedCommand) {
    RegisterCommand("x*" + std::string(300, 'a'));
    CreateKeyPath(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0");
    auto context = MakeContext("C:\\App");
    RemovePreviousInstall(*context);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ZELK\\UnitTestApp\\1.0"));
}

// ---- deletion, once as Windows 95 (whole subtrees) and once as NT 4.0 (empty keys only) ----

class PlatformRegistry : public Registry {
protected:
    void SetUp() override {
        if (!InPlatformChild()) GTEST_SKIP() << "runs in Platforms.*";
        Registry::SetUp();
    }
};

TEST_F(PlatformRegistry, DeletingOneVersionLeavesTheOther) {
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

TEST_F(PlatformRegistry, AnotherApplicationOfTheMakerKeepsTheMakersKey) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\3.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0\\Settings\\Window");
    SetValue(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0\\Settings", "Size", "3");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "UnitTestApp", "1.0");
    // What the application stored below its own version goes with it, on either system.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\3.0"));
}

TEST_F(PlatformRegistry, WithoutAVersionTheApplicationKeyGoesWhole) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\1.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp\\2.0");
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "UnitTestApp", nullptr);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\UnitTestApp"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other"));
}

TEST_F(PlatformRegistry, AnEmptyApplicationNameDeletesNothing) {
    CreateKeyPath(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\1.0");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "", "1.0");
    DeleteAppKeys(HKEY_CURRENT_USER, "Software\\ZELK", "", nullptr);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZELK\\Other\\1.0"));
}

TEST_F(PlatformRegistry, AnEmptyUninstallNameNeverReachesTheWholeList) {
    CreateKeyPath(HKEY_LOCAL_MACHINE, kEntry);
    auto context = MakeContext("C:\\App");
    Assign(context->unRegistry, "");
    DeleteRegistryRecords(*context);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

}  // namespace
