// Scratch folders and files for the Win32 unit tests.
#ifndef ZELK_TESTS_TEST_FILES_H
#define ZELK_TESTS_TEST_FILES_H

#include <windows.h>

#include <stdio.h>

#include <string>

namespace testfiles {

// The build folders, as Wine sees the Linux paths (drive Z:).
inline std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}
inline std::string SourceFolder() { return WinePath(ZELK_SOURCE_DIR); }
inline std::string BuildFolder() { return WinePath(ZELK_BUILD_DIR); }

inline void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

inline bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string contents;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return contents;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    fclose(file);
    return contents;
}

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
