// Snapshots of drive C: and of the registry keys an installation touches.
#include "snapshot.h"

#include <windows.h>

#include <stdio.h>

#include "tests/support/files.h"

namespace tryout {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string FileContent(const WIN32_FIND_DATAA& data) {
    unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    SYSTEMTIME time = {};
    FileTimeToSystemTime(&data.ftLastWriteTime, &time);
    char text[96];
    snprintf(text, sizeof text, "%llu bytes, %04u-%02u-%02u %02u:%02u:%02u", size, time.wYear, time.wMonth,
             time.wDay, time.wHour, time.wMinute, time.wSecond);
    std::string content = text;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) content += ", read-only";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) content += ", hidden";
    return content;
}

std::string Hex(const BYTE* data, DWORD size) {
    std::string text;
    char pair[4];
    for (DWORD i = 0; i < size; ++i) {
        snprintf(pair, sizeof pair, "%02x", data[i]);
        text += pair;
    }
    return text;
}

// A value as a reader would see it: text for the string types, numbers, else hex bytes.
std::string ValueContent(DWORD type, const BYTE* data, DWORD size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return (type == REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ") + bytes.substr(0, bytes.find('\0'));
    case REG_MULTI_SZ: {
        while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
        for (char& c : bytes) {
            if (c == '\0') c = '|';
        }
        return "REG_MULTI_SZ " + bytes;
    }
    case REG_DWORD:
        if (size == 4) return "REG_DWORD " + std::to_string(*reinterpret_cast<const DWORD*>(data));
        break;
    }
    return "type " + std::to_string(type) + " " + Hex(data, size);
}

std::string RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU"; }

// One value of a key, or every value when valueName is null; with subkeys when deep.
void AddKey(HKEY root, const std::string& key, Snapshot& snapshot, const char* onlyValue = nullptr,
            bool deep = true) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    std::string name = RootName(root) + "\\" + key;
    if (onlyValue == nullptr) snapshot[name] = "<key>";
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        char valueName[1024];
        DWORD nameLength = sizeof valueName;
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(opened, i, valueName, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        if (onlyValue != nullptr && lstrcmpiA(onlyValue, valueName) != 0) continue;
        snapshot[name + " : " + valueName] = ValueContent(type, data.data(), size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0; deep; ++i) {
        char subkey[260];
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(opened, i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(subkey);
    }
    RegCloseKey(opened);
    for (const std::string& subkey : subkeys) AddKey(root, key + "\\" + subkey, snapshot);
}

// Each entry is one line "name<TAB>content". A tab or line break inside a name or value
// is written as the byte 0x01 and a letter (0x01 itself doubled); Shift-JIS text never
// holds that byte.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t') out += "\x01t";
        else if (c == '\n') out += "\x01n";
        else if (c == '\r') out += "\x01r";
        else if (c == '\x01') out += "\x01\x01";
        else out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\x01' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace

Snapshot TakeSnapshot() {
    Snapshot snapshot;
    zelktest::SnapshotTree("C:", snapshot, FileContent);
    AddKey(HKEY_LOCAL_MACHINE, kUninstallKey, snapshot);
    AddKey(HKEY_LOCAL_MACHINE, "Software\\ZELK", snapshot);
    AddKey(HKEY_CURRENT_USER, "Software\\ZELK", snapshot);
    AddKey(HKEY_LOCAL_MACHINE, kFontsKey, snapshot);
    AddKey(HKEY_LOCAL_MACHINE, kSessionManager, snapshot, "PendingFileRenameOperations", false);
    return snapshot;
}

bool SaveSnapshot(const Snapshot& snapshot, const std::string& path) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    for (const auto& [name, content] : snapshot) {
        std::string line = Escape(name) + "\t" + Escape(content) + "\n";
        fwrite(line.data(), 1, line.size(), file);
    }
    return fclose(file) == 0;
}

bool LoadSnapshot(const std::string& path, Snapshot& snapshot) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::string all;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) all.append(buffer, got);
    fclose(file);
    snapshot.clear();
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(start, end - start);
        size_t tab = line.find('\t');
        if (tab != std::string::npos) snapshot[Unescape(line.substr(0, tab))] = Unescape(line.substr(tab + 1));
        start = end + 1;
    }
    return true;
}

std::vector<Difference> Compare(const Snapshot& before, const Snapshot& after) {
    std::vector<Difference> differences;
    for (const auto& [name, content] : before) {
        auto found = after.find(name);
        if (found == after.end()) {
            differences.push_back({'-', name, content, ""});
        } else if (found->second != content) {
            differences.push_back({'~', name, content, found->second});
        }
    }
    for (const auto& [name, content] : after) {
        if (before.find(name) == before.end()) differences.push_back({'+', name, "", content});
    }
    return differences;
}

bool IsRegistryName(const std::string& name) {
    return name.compare(0, 5, "HKLM\\") == 0 || name.compare(0, 5, "HKCU\\") == 0;
}

}  // namespace tryout
