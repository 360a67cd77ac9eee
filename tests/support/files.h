// File helpers shared by the Win32 unit tests and the end-to-end driver.
#ifndef ZELK_TESTS_SUPPORT_FILES_H
#define ZELK_TESTS_SUPPORT_FILES_H

#include <windows.h>
#include <shlobj.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

namespace zelktest {

// A Linux path as Wine shows it (the Linux root is drive Z:).
inline std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// Every name in a folder ("." and ".." left out).
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

// Records every entry below folder, keyed by its path: "<link>" for a reparse point (the user
// folders lead into the host's home, so they are named, not followed), "<folder>" for a folder
// (entered), and describe(data) for a file.
template <typename Describe>
void SnapshotTree(const std::string& folder, std::map<std::string, std::string>& snapshot, Describe describe) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            snapshot[path] = "<link>";
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            snapshot[path] = "<folder>";
            SnapshotTree(path, snapshot, describe);
        } else {
            snapshot[path] = describe(data);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

inline bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The whole file; empty when it is missing.
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

// Removes a file, or a folder and everything in it (read-only files too); nothing when missing.
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

// Holds a file open without sharing, so that nothing else can write or delete it. A readable
// one others may still read, as a DLL in use on Windows 95: renamed nor overwritten, only copied.
class HeldFile {
public:
    explicit HeldFile(const std::string& path, bool readable = false)
        : handle_(CreateFileA(path.c_str(), readable ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                              readable ? FILE_SHARE_READ : 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr)) {}
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

// What a shortcut file points at, read back through the shell's link object (COM must be
// initialised); all empty when it cannot be read.
struct LinkContents {
    std::string path, workingFolder, arguments;
};

inline LinkContents ReadLink(const std::string& file) {
    LinkContents contents;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return contents;
    }
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
            contents.path = text;
            text[0] = '\0';
            link->GetWorkingDirectory(text, sizeof text);
            contents.workingFolder = text;
            text[0] = '\0';
            link->GetArguments(text, sizeof text);
            contents.arguments = text;
        }
        persist->Release();
    }
    link->Release();
    return contents;
}

}  // namespace zelktest

#endif
