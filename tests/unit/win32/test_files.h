// Scratch folders and files for the Win32 unit tests.
#ifndef ZELK_TESTS_TEST_FILES_H
#define ZELK_TESTS_TEST_FILES_H

#include <windows.h>

#include <stdio.h>

#include <string>

#include "tests/support/files.h"

namespace testfiles {

using zelktest::IsFolder;
using zelktest::PathExists;
using zelktest::ReadWholeFile;
using zelktest::RemoveTree;
using zelktest::WinePath;

// The build folders, as Wine sees the Linux paths (drive Z:).
inline std::string SourceFolder() { return WinePath(ZELK_SOURCE_DIR); }
inline std::string BuildFolder() { return WinePath(ZELK_BUILD_DIR); }

inline void WriteWholeFile(const std::string& path, const std::string& contents) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    fwrite(contents.data(), 1, contents.size(), file);
    fclose(file);
}

// A fresh folder C:\zelk-unit\<name>, removed again when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : path_("C:\\zelk-unit\\" + name) {
        CreateDirectoryA("C:\\zelk-unit", nullptr);
        RemoveTree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(path_);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

}  // namespace testfiles

#endif
