// A medium made by the publisher's medium builder (tools/zelk-medium) from its test product
// (tests/medium/product): the files in a source folder of their own, two of them
// LZ-compressed by the builder (one with a Japanese name), a DLL and a font. setup installs
// it from where the build put it.
#include <gtest/gtest.h>

#include "driver.h"
#include "journey.h"
#include "media.h"

using namespace e2e;

namespace {

class PublisherMedium : public testing::Test {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(WindowsVersion::Win95);
        Clean();
    }
    void TearDown() override {
        Clean();
        ResetMachine();
    }

    static std::string SystemFolder() {
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        return system;
    }
    static std::string FontsFolder() {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        return std::string(windows) + "\\FONTS";
    }
    static void Clean() {
        RemoveTree(SystemFolder() + "\\ZELKPUB.DLL");
        RemoveTree(FontsFolder() + "\\ZELKPUB.TTF");
    }
    // The product's plain file, as the publisher made it.
    static std::string ProductFile(const std::string& name) {
        std::string path = std::string("Z:") + ZELK_SOURCE_DIR + "/tests/medium/product/FILES/";
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return ReadWholeFile(path + name);
    }
};

TEST_F(PublisherMedium, InstallsWhatTheBuilderMade) {
    const std::string medium = BuildFolder() + "\\testdata\\publisher-medium";
    ASSERT_TRUE(PathExists(medium + "\\setup.dat")) << "no publisher medium in the build";
    Process setup = Process::Start(medium + "\\setup.exe", "", medium);
    const std::string folder = InstallThroughWizard(setup);
    ASSERT_EQ("C:\\Program Files\\ZELK\\PublisherTest", folder);

    for (const char* name : {"manual.txt", "データ.dat", "plain.txt"}) {
        SCOPED_TRACE(Utf8(name));
        std::string expected = ProductFile(name);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(expected, ReadWholeFile(folder + "\\" + name));
    }
    EXPECT_TRUE(PathExists(folder + "\\unZELK.exe"));
    EXPECT_TRUE(PathExists(folder + "\\rmZELK.bin"));
    const std::string testdata = BuildFolder() + "\\testdata\\";
    EXPECT_EQ(ReadWholeFile(testdata + "dll_base.dll"), ReadWholeFile(SystemFolder() + "\\ZELKPUB.DLL"));
    EXPECT_EQ(ReadWholeFile(testdata + "ZELKTEST.TTF"), ReadWholeFile(FontsFolder() + "\\ZELKPUB.TTF"));

    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    EXPECT_TRUE(PathExists(std::string(programs) + "\\ZELK出版テスト\\マニュアル.lnk"));
    const std::string record = ReadWholeFile(folder + "\\unZELK.dat");
    EXPECT_NE(std::string::npos, record.find(folder + "\\データ.dat\r\n"));
    EXPECT_NE(std::string::npos, record.find("Dll=ZELKPUB.DLL\r\n"));
}

}  // namespace
