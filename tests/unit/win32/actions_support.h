// Helpers for the tests of the install actions: setup contexts, raw registry values and
// files.
#ifndef ZELK_TESTS_UNIT_WIN32_ACTIONS_SUPPORT_H
#define ZELK_TESTS_UNIT_WIN32_ACTIONS_SUPPORT_H

#include <windows.h>

#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "boxes.h"
#include "setup/setup.h"

namespace unit {

// A file the build made for the tests (the Program Manager stand-in, DLLs, a font).
inline std::string TestDataPath(const std::string& name) { return TestFolder() + "\\testdata\\" + name; }

// Replaces an owned string of the context by a heap copy of value (null stays null).
inline void Assign(char*& field, const char* value) {
    free(field);
    field = value ? DuplicateString(value) : nullptr;
}

inline void AddFile(SetupContext& context, const char* source, const char* dest, const char* menuItem) {
    int i = context.fileCount++;
    context.fileSource[i] = DuplicateString(source);
    context.fileDest[i] = dest ? DuplicateString(dest) : nullptr;
    context.fileMenuItem[i] = menuItem ? DuplicateString(menuItem) : nullptr;
}

// A context as the script reader leaves it for a small application.
inline std::unique_ptr<SetupContext> MakeContext(const char* destination, const char* appVersion = "1.0",
                                                 const char* unRegistry = "ZELKUnitTest") {
    auto context = std::make_unique<SetupContext>();
    CopyString(context->destination, destination);
    Assign(context->title, "ZELKテスト");
    Assign(context->unRegistry, unRegistry);
    Assign(context->unRegDisplay, "ZELKテスト表示");
    Assign(context->unZelkName, "unZELK.dat");
    Assign(context->appRegistry, "UnitTestApp");
    Assign(context->appVersion, appVersion);
    Assign(context->directory, "C:\\Program Files\\ZELK");
    return context;
}

// A registry value's bytes as stored (a string without its terminator), or "<missing>".
inline std::string RawValue(HKEY root, const std::string& key, const std::string& name, DWORD* type = nullptr) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<missing>";
    char data[2048];
    DWORD size = sizeof data;
    DWORD valueType = 0;
    LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (type != nullptr) *type = valueType;
    if (result != ERROR_SUCCESS) return "<missing>";
    // The system adds a terminator to a string stored without one, and may count it.
    if (size > 0 && (valueType == REG_SZ || valueType == REG_EXPAND_SZ) && data[size - 1] == '\0') --size;
    return std::string(data, size);
}

inline bool KeyExists(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

inline void CreateKeyPath(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) ==
        ERROR_SUCCESS) {
        RegCloseKey(opened);
    }
}

inline void SetValue(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
    HKEY opened;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(opened);
}

// Deletes a key with everything below it (test clean-up, on any system).
inline void DeleteTree(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
        char name[260];
        while (RegEnumKeyA(opened, 0, name, sizeof name) == ERROR_SUCCESS) {
            DeleteTree(opened, name);
            if (KeyExists(opened, name)) break;
        }
        RegCloseKey(opened);
    }
    RegDeleteKeyA(root, key.c_str());
}

// ---- files ----

inline std::string ReadAll(const std::string& path) {
    std::string contents;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    char buffer[8192];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    fclose(file);
    return contents;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// Sets creation, access and write time alike (Wine reports the write time as creation time).
inline bool SetAllTimes(const std::string& path, ULONGLONG time) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME value;
    value.dwLowDateTime = static_cast<DWORD>(time);
    value.dwHighDateTime = static_cast<DWORD>(time >> 32);
    BOOL done = SetFileTime(file, &value, &value, &value);
    CloseHandle(file);
    return done != FALSE;
}

// A fresh, empty folder for one test.
inline std::string FreshFolder(const std::string& path) {
    CreateDirectoryA("C:\\zelk-unit", nullptr);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do RemoveFile(path + "\\" + data.cFileName);
        while (FindNextFileA(search, &data));
        FindClose(search);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

}  // namespace unit

#endif
