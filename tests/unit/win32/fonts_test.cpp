// Fonts: the creation-time rule, and the installation as Windows 95 (added to the running
// system only) and as Windows NT (resource file and Fonts key value).
#include <gtest/gtest.h>

#include "actions_support.h"
#include "boxes.h"
#include "common/uninst.h"
#include "common/system.h"

using namespace unit;

namespace {

const std::string kSource = "C:\\zelk-unit\\font-source";
const std::string kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kValueName[] = "ZELK Unit Test (TrueType)";
constexpr ULONGLONG kDay = 864000000000ull;   // one day in 100 ns steps
constexpr ULONGLONG kTime = 125000000000000000ull;  // some day in 1997

void Write(const std::string& path, const std::string& contents) {
    RemoveFile(path);
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    fwrite(contents.data(), 1, contents.size(), file);
    fclose(file);
}

TEST(FontTimes, ComparesCreationTimesOnly) {
    FreshFolder(kSource);
    const std::string source = kSource + "\\source.ttf";
    const std::string dest = kSource + "\\dest.ttf";
    struct Case {
        const char* what;
        bool sourceThere, destThere;
        ULONGLONG sourceTime, destTime;
        int expected;
    } cases[] = {
        {"nothing installed", true, false, kTime, 0, 0},
        {"neither there", false, false, 0, 0, 0},
        {"source missing", false, true, 0, kTime, -1},
        {"source later", true, true, kTime + kDay, kTime, 2},
        {"source a moment later", true, true, kTime + 1, kTime, 2},
        {"same time", true, true, kTime, kTime, 1},
        {"source earlier", true, true, kTime - kDay, kTime, 1},
    };
    for (const Case& c : cases) {
        RemoveFile(source);
        RemoveFile(dest);
        // Sizes and contents differ on purpose: only the times count.
        if (c.sourceThere) {
            Write(source, "a larger and different source file");
            ASSERT_TRUE(SetAllTimes(source, c.sourceTime));
        }
        if (c.destThere) {
            Write(dest, "dest");
            ASSERT_TRUE(SetAllTimes(dest, c.destTime));
        }
        EXPECT_EQ(c.expected, CompareCreationTimes(source.c_str(), dest.c_str())) << c.what;
    }
}

// ---- installation: the suite runs as Windows 95 and as NT 4.0 ----

class FontInstall : public testing::Test {
protected:
    void SetUp() override {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        fontsDir_ = std::string(windows) + (IsWindowsNT() ? "\\SYSTEM" : "\\FONTS");
        FreshFolder(kSource);
        Clean();
        source_ = kSource + "\\ZELKTEST.TTF";
        ASSERT_TRUE(CopyFileA(TestDataPath("ZELKTEST.TTF").c_str(), source_.c_str(), FALSE));
        ASSERT_TRUE(SetAllTimes(source_, kTime));
    }
    void TearDown() override { Clean(); }
    void Clean() {
        for (const char* name : {"ZELKUT1", "ZELKUT2"}) {
            std::string base = fontsDir_ + "\\" + name;
            for (const std::string& path : {base + ".fot", base + ".TTF", base}) {
                RemoveFontResourceA(path.c_str());
                RemoveFile(path);
            }
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kValueName);
            RegCloseKey(key);
        }
    }
    int Install(const char* destName) {
        return InstallFont(kSource.c_str(), fontsDir_.c_str(), "ZELKTEST.TTF", destName, kValueName);
    }
    std::string Installed(const char* name) const { return fontsDir_ + "\\" + name; }
    std::string FontsValue() const { return RawValue(HKEY_LOCAL_MACHINE, kFontsKey, kValueName); }

    std::string fontsDir_;
    std::string source_;
};

TEST_F(FontInstall, InstallsAndRegistersANewFont) {
    ASSERT_EQ(1, Install("ZELKUT1.TTF"));
    EXPECT_EQ(ReadAll(source_), ReadAll(Installed("ZELKUT1.TTF")));
    if (IsWindowsNT()) {
        EXPECT_TRUE(Exists(Installed("ZELKUT1.fot")));
        EXPECT_EQ("ZELKUT1.fot", FontsValue());  // the bare name, never a folder
    } else {
        EXPECT_FALSE(Exists(Installed("ZELKUT1.fot")));
        EXPECT_EQ("<missing>", FontsValue());
    }
}

TEST_F(FontInstall, AFontWithoutExtensionGetsFotAppended) {
    ASSERT_EQ(1, Install("ZELKUT2"));
    EXPECT_TRUE(Exists(Installed("ZELKUT2")));
    if (IsWindowsNT()) {
        EXPECT_EQ("ZELKUT2.fot", FontsValue());
    }
}

TEST_F(FontInstall, AFontAsNewAsTheSourceStaysUntouched) {
    ASSERT_EQ(1, Install("ZELKUT1.TTF"));
    // Mark the installed state so that any further work would show.
    std::string installed = Installed("ZELKUT1.TTF");
    std::string contents = ReadAll(installed);
    RemoveFile(Installed("ZELKUT1.fot"));
    SetValue(HKEY_LOCAL_MACHINE, kFontsKey, kValueName, "marker");
    for (ULONGLONG sourceTime : {kTime, kTime - kDay}) {
        ASSERT_TRUE(SetAllTimes(source_, sourceTime));
        EXPECT_EQ(1, Install("ZELKUT1.TTF"));
        EXPECT_EQ(contents, ReadAll(installed));
        EXPECT_FALSE(Exists(Installed("ZELKUT1.fot")));
        EXPECT_EQ("marker", FontsValue());
    }
}

TEST_F(FontInstall, ALaterSourceReplacesTheInstalledFont) {
    ASSERT_EQ(1, Install("ZELKUT1.TTF"));
    std::string newer = ReadAll(source_) + std::string(16, '\0');
    Write(source_, newer);
    ASSERT_TRUE(SetAllTimes(source_, kTime + kDay));
    EXPECT_EQ(1, Install("ZELKUT1.TTF"));
    EXPECT_EQ(newer, ReadAll(Installed("ZELKUT1.TTF")));
    if (IsWindowsNT()) {
        EXPECT_TRUE(Exists(Installed("ZELKUT1.fot")));
        EXPECT_EQ("ZELKUT1.fot", FontsValue());
    }
}

// A resource file of the font's name is replaced only when it names this font; another
// font's stays, and this font then fails. Removing the font leaves another font's too.
TEST_F(FontInstall, OnlyTheFontsOwnResourceFileIsReplacedOrDeleted) {
    if (!IsWindowsNT()) GTEST_SKIP() << "resource files are made on Windows NT only";
    const std::string fot = Installed("ZELKUT1.fot");
    const struct {
        const char* contents;
        int installed;
    } cases[] = {{"left behind for zelkut1.ttf", 1}, {"left behind for OTHER.TTF", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        Clean();
        Write(fot, c.contents);
        SetFileAttributesA(fot.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(c.installed, Install("ZELKUT1.TTF"));
        EXPECT_EQ(c.installed == 0, ReadAll(fot) == c.contents);
    }
    // The font is installed, its resource file then taken by another font.
    SetFileAttributesA(fot.c_str(), FILE_ATTRIBUTE_NORMAL);
    Clean();
    ASSERT_EQ(1, Install("ZELKUT1.TTF"));
    RemoveFontResourceA(fot.c_str());
    Write(fot, "another font: OTHER.TTF");
    BoxRecorder boxes(IDYES);
    RemoveFont(nullptr, "ZELKセットアップ", fontsDir_.c_str(), "ZELKUT1.TTF", kValueName);
    EXPECT_FALSE(Exists(Installed("ZELKUT1.TTF")));
    EXPECT_EQ("another font: OTHER.TTF", ReadAll(fot));
}

TEST_F(FontInstall, AMissingSourceWithAnInstalledFontFails) {
    ASSERT_EQ(1, Install("ZELKUT1.TTF"));
    RemoveFile(source_);
    EXPECT_EQ(0, Install("ZELKUT1.TTF"));
    // Nothing installed and no source: the copy is tried, and fails.
    Clean();
    EXPECT_EQ(0, Install("ZELKUT1.TTF"));
}

}  // namespace
