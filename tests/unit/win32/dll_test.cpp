// Shared DLLs: every row of the replacement rule, with test DLLs built with chosen file
// versions, product versions and file dates.
#include <gtest/gtest.h>

#include "actions_support.h"

using namespace unit;

namespace {

const std::string kSource = "C:\\zelk-unit\\dll-source";
const std::string kSystem = "C:\\zelk-unit\\dll-system";

// Puts test DLL `file` into folder as ZELKTEST.DLL; returns its path.
std::string Place(const std::string& folder, const std::string& file) {
    std::string path = folder + "\\ZELKTEST.DLL";
    RemoveFile(path);
    EXPECT_TRUE(CopyFileA(TestDataPath(file + ".dll").c_str(), path.c_str(), FALSE)) << file;
    return path;
}

TEST(SharedDll, FollowsTheReplacementRule) {
    struct Case {
        const char* source;
        const char* installed;  // null: none installed yet
        bool replaced;
    } cases[] = {
        {"dll_base", nullptr, true},
        {"dll_noversion", "dll_base", true},
        {"dll_base", "dll_noversion", true},
        {"dll_file_higher", "dll_base", true},
        {"dll_file_lower", "dll_base", false},      // even with a higher product version
        {"dll_product_higher", "dll_base", true},
        {"dll_product_lower", "dll_base", false},
        {"dll_date_later", "dll_base", true},
        {"dll_date_earlier", "dll_base", true},     // a different date replaces either way
        {"dll_same", "dll_base", false},
        {"dll_high_bit", "dll_base", true},         // versions compare unsigned
        {"dll_base", "dll_high_bit", false},
    };
    FreshFolder(kSource);
    FreshFolder(kSystem);
    for (const Case& c : cases) {
        std::string what = std::string(c.source) + " over " + (c.installed ? c.installed : "nothing");
        std::string source = Place(kSource, c.source);
        std::string dest = kSystem + "\\ZELKTEST.DLL";
        RemoveFile(dest);
        if (c.installed) Place(kSystem, c.installed);
        std::string before = ReadAll(dest);
        // Files on a CD-ROM are read-only; an installed copy must not stay so.
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);

        EXPECT_EQ(1, InstallDll(source.c_str(), dest.c_str())) << what;
        EXPECT_EQ(c.replaced ? ReadAll(source) : before, ReadAll(dest)) << what;
        if (c.replaced) {
            EXPECT_EQ(0u, GetFileAttributesA(dest.c_str()) & FILE_ATTRIBUTE_READONLY) << what;
        }
    }
}

// A compressed DLL on the medium is compared by the version of its expanded form.
TEST(SharedDll, ACompressedDllIsComparedByItsExpandedVersion) {
    FreshFolder(kSource);
    FreshFolder(kSystem);
    for (bool newer : {false, true}) {
        const char* name = newer ? "dll_file_higher" : "dll_file_lower";
        std::string source = kSource + "\\ZELKTEST.DL_";
        ASSERT_TRUE(CopyFileA(TestDataPath(std::string(name) + ".dl_").c_str(), source.c_str(), FALSE));
        std::string dest = kSystem + "\\ZELKTEST.DLL";
        Place(kSystem, "dll_base");
        EXPECT_EQ(1, InstallDll(source.c_str(), dest.c_str())) << name;
        std::string expected = ReadAll(newer ? TestDataPath("dll_file_higher.dll") : TestDataPath("dll_base.dll"));
        EXPECT_EQ(expected, ReadAll(dest)) << name;
    }
}

TEST(SharedDll, ReadsTheFixedVersionBlock) {
    FixedFileInfo block = {};
    ASSERT_EQ(1, ReadFixedFileInfo(TestDataPath("dll_product_higher.dll").c_str(), &block));
    EXPECT_EQ(0xFEEF04BDu, block.signature);
    EXPECT_EQ(0x00010000u, block.fileVersionMS);
    EXPECT_EQ(0u, block.fileVersionLS);
    EXPECT_EQ(0x00010000u, block.productVersionMS);
    EXPECT_EQ(1u, block.productVersionLS);
    EXPECT_EQ(1u, block.fileDateMS);
    EXPECT_EQ(0x100u, block.fileDateLS);
    EXPECT_EQ(0, ReadFixedFileInfo(TestDataPath("dll_noversion.dll").c_str(), &block));
    EXPECT_EQ(0, ReadFixedFileInfo("C:\\zelk-unit\\no such file.dll", &block));
}

TEST(SharedDll, AFailedCopyIsAFailure) {
    FreshFolder(kSource);
    std::string source = Place(kSource, "dll_file_higher");
    // The destination's folder does not exist, so the copy cannot be made.
    EXPECT_EQ(0, InstallDll(source.c_str(), "C:\\zelk-unit\\no such folder\\ZELKTEST.DLL"));
}

}  // namespace
