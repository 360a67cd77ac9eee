// The try-out's shared pieces: the report, the state folder, facts of the machine and
// Program Manager's bookkeeping as the stand-in recorded it.
#include <windows.h>
#include <shlobj.h>

#include <stdio.h>

#include <gtest/gtest.h>

#include "driver.h"
#include "tests/tools/progman_command.h"
#include "tryout.h"

namespace tryout {

Options g_options;

void Say(const std::string& text) {
    printf("%s\n", e2e::Utf8(text).c_str());
    fflush(stdout);
}

void Heading(const std::string& text) { Say("\n== " + text); }

std::string Indent(const std::string& text, const std::string& prefix) {
    std::string out = prefix;
    for (char c : text) {
        out += c;
        if (c == '\n') out += prefix;
    }
    return out;
}

// ---- state folder ----

std::string StatePath(const std::string& name) { return g_options.state + "\\" + name; }

void WriteLines(const std::string& name, const std::vector<std::string>& lines) {
    FILE* file = fopen(StatePath(name).c_str(), "wb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot write " << e2e::Utf8(StatePath(name));
        return;
    }
    for (const std::string& line : lines) fprintf(file, "%s\n", line.c_str());
    fclose(file);
}

std::vector<std::string> ReadLines(const std::string& name) {
    std::vector<std::string> lines;
    FILE* file = fopen(StatePath(name).c_str(), "rb");
    if (file == nullptr) return lines;
    char line[4096];
    while (fgets(line, sizeof line, file) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        lines.push_back(text);
    }
    fclose(file);
    return lines;
}

// ---- machine facts ----

bool IsNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool UsesProgmanStandin() { return IsNT() && !g_options.progman.empty(); }

std::string WindowsFolder() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string SystemFolder() {
    if (IsNT()) return WindowsFolder() + "\\SYSTEM";
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

std::string FontsFolder() { return WindowsFolder() + (IsNT() ? "\\SYSTEM" : "\\FONTS"); }

std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

std::string CompanionCopy() { return WindowsFolder() + "\\~rmZELK.~"; }

bool StartsWithNoCase(const std::string& text, const std::string& head) {
    return text.size() >= head.size() && EqualNoCase(text.substr(0, head.size()), head);
}

bool EqualNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// ---- Program Manager ----

// Program Manager's own bookkeeping: AddItem and DeleteItem work on the group last created
// or shown.
std::vector<ProgmanGroup> ReplayProgman(const std::vector<std::string>& commands) {
    std::vector<ProgmanGroup> groups;
    int current = -1;
    auto find = [&](const std::string& name) {
        for (size_t i = 0; i < groups.size(); ++i) {
            if (EqualNoCase(groups[i].name, name)) return static_cast<int>(i);
        }
        return -1;
    };
    for (const std::string& text : commands) {
        ProgmanCommand command;
        if (!ParseProgmanCommand(text, &command)) continue;
        const std::string& name = command.name;
        const std::vector<std::string>& args = command.args;
        if (name == "CreateGroup") {
            current = find(args[0]);
            if (current < 0) {
                groups.push_back({args[0], {}});
                current = static_cast<int>(groups.size()) - 1;
            }
        } else if (name == "ShowGroup") {
            current = find(args[0]);
        } else if (name == "DeleteGroup") {
            int found = find(args[0]);
            if (found >= 0) groups.erase(groups.begin() + found);
            current = -1;
        } else if (name == "AddItem" && args.size() >= 2 && current >= 0) {
            groups[current].items.push_back(args[1] + "  (" + args[0] + ")");
        } else if (name == "DeleteItem" && current >= 0) {
            std::vector<std::string>& items = groups[current].items;
            for (size_t i = 0; i < items.size(); ++i) {
                if (StartsWithNoCase(items[i], args[0] + "  (")) {
                    items.erase(items.begin() + i);
                    break;
                }
            }
        }
    }
    return groups;
}

}  // namespace tryout
