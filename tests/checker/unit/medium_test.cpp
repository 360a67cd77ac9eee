// How zelk-check finds the files setup would open: Windows paths looked up in a Linux
// folder, letters matched without regard to case, Shift-JIS names as UTF-8 file names.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "medium.h"

namespace {

class MediumLookup : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelk-medium-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        mkdir((root_ + "/CD").c_str(), 0755);
        mkdir((root_ + "/CD/Data").c_str(), 0755);
        for (const char* name : {"/CD/README.TXT", "/CD/Data/stage.da_", "/CD/\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf.txt",
                                 "/top.txt"}) {
            FILE* file = fopen((root_ + name).c_str(), "w");
            ASSERT_NE(file, nullptr);
            fclose(file);
        }
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + root_).c_str()), 0); }
    std::string root_;
};

TEST_F(MediumLookup, WindowsPathsOnTheMedium) {
    MediumFolder medium(root_ + "/CD", "D:\\CD");
    const struct {
        const char* path;
        FoundFile::Status status;
        const char* relative;
    } cases[] = {
        {"D:\\CD\\readme.txt", FoundFile::kFound, "CD/readme.txt"},
        {"readme.txt", FoundFile::kFound, "CD/readme.txt"},
        {"D:readme.txt", FoundFile::kFound, "CD/readme.txt"},
        {"DATA\\STAGE.DA_", FoundFile::kFound, "CD/DATA/STAGE.DA_"},
        {"D:\\CD\\data\\..\\Data\\.\\stage.da_", FoundFile::kFound, "CD/Data/stage.da_"},
        {"\\top.txt", FoundFile::kFound, "top.txt"},
        {"..\\top.txt", FoundFile::kFound, "top.txt"},
        {"\x83\x66\x81\x5B\x83\x5E.txt", FoundFile::kFound, "CD/\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf.txt"},
        {"readme.txt.", FoundFile::kFound, "CD/readme.txt"},
        {"stage.dat", FoundFile::kMissing, "CD/stage.dat"},
        {"Data", FoundFile::kFolder, "CD/Data"},
        {"E:\\CD\\readme.txt", FoundFile::kOtherDrive, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.path);
        FoundFile found = medium.Find(test.path);
        EXPECT_EQ(found.status, test.status);
        EXPECT_EQ(found.relative, test.relative);
    }
    EXPECT_EQ(medium.Find("e:\\x").drive, 'E');
    EXPECT_EQ(medium.Find("readme.txt").linuxPath.substr(root_.size()), "/CD/README.TXT");
}

}  // namespace
