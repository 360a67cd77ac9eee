// Distribution media for the scenarios, and checks of what is on the machine.
#include "media.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <stdio.h>

#include "tests/support/files.h"

namespace e2e {

std::string BuildFolder() { return zelktest::WinePath(ZELK_BUILD_DIR); }

std::string DriverFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string SampleFolder() { return BuildFolder() + "\\sample-medium"; }

std::string SampleScript() { return ReadWholeFile(SampleFolder() + "\\setup.dat"); }

// ---- files ----

bool PathExists(const std::string& path) { return zelktest::PathExists(path); }

bool IsFolder(const std::string& path) { return zelktest::IsFolder(path); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

std::string ReadWholeFile(const std::string& path) { return zelktest::ReadWholeFile(path); }

void WriteWholeFile(const std::string& path, const std::string& contents) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << "cannot write " << Utf8(path);
    fwrite(contents.data(), 1, contents.size(), file);
    fclose(file);
}

void RemoveTree(const std::string& path) { zelktest::RemoveTree(path); }

static void CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << "no folder " << Utf8(from);
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyFolder(from + "\\" + name, to + "\\" + name);
        } else {
            ASSERT_TRUE(CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE))
                << "cannot copy " << Utf8(name);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

// ---- Medium ----

Medium::Medium(const std::string& name, const std::string& script) {
    CreateDirectoryA("C:\\zelk-media", nullptr);
    folder_ = "C:\\zelk-media\\" + name;
    RemoveTree(folder_);
    CopyFolder(SampleFolder(), folder_);
    WriteScript(script);
}

void Medium::WriteScript(const std::string& text) const { WriteWholeFile(Path("setup.dat"), text); }

void Medium::WriteFile(const std::string& name, const std::string& contents) const {
    WriteWholeFile(Path(name), contents);
}

void Medium::RemoveFile(const std::string& name) const {
    SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(Path(name).c_str());
}

Process Medium::StartSetup() const { return Process::Start(Path("setup.exe"), "", folder_); }

// ---- registry ----

bool RegistryKeyExists(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

std::string RegistryString(HKEY root, const std::string& key, const std::string& value) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<missing>";
    char data[1024];
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(opened, value.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return "<missing>";
    data[size] = '\0';
    return std::string(data);  // up to the first terminator, as the programs read it
}

long long RegistryDword(HKEY root, const std::string& key, const std::string& value) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return -1;
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExA(opened, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof data ? data : -1;
}

void DeleteRegistryTree(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
    char name[260];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(opened, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteRegistryTree(opened, name);
    }
    RegCloseKey(opened);
    RegDeleteKeyA(root, key.c_str());
}

static std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

void ResetMachine() {
    RemoveTree("C:\\Program Files\\ZELK");
    RemoveTree("C:\\zelk-test");
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\ZELK");
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\ZELK");
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
        // Every entry a scenario may have registered carries "ZELK" in its name.
        char name[260];
        for (DWORD index = 0;;) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(opened, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (strstr(name, "ZELK") != nullptr) {
                DeleteRegistryTree(opened, name);
            } else {
                ++index;
            }
        }
        RegCloseKey(opened);
    }
    // A journal an ended run left would be undone by the next scenario's setup.
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    WIN32_FIND_DATAA list;
    HANDLE lists = FindFirstFileA((std::string(windows) + "\\~ZK*.JNL").c_str(), &list);
    if (lists != INVALID_HANDLE_VALUE) {
        do DeleteFileA((std::string(windows) + "\\" + list.cFileName).c_str());
        while (FindNextFileA(lists, &list));
        FindClose(lists);
    }
    std::string programs = ProgramsFolder();
    if (!programs.empty()) {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((programs + "\\*ZELK*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do RemoveTree(programs + "\\" + data.cFileName);
            while (FindNextFileA(search, &data));
            FindClose(search);
        }
    }
}

}  // namespace e2e
