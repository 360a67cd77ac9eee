// A Program Manager stand-in for the tests: a DDE server for service and topic "PROGMAN".
//
//   progman_standin.exe <record file> [--pad N] [--silent] [--delay MS] [--group NAME,ITEM]
//
// It is a Unicode DDE server, as the shell's own Program Manager service is, and takes each
// command as the client sent it: UTF-16 from a Unicode client, text of the system's code page
// from an ANSI one. Every EXECUTE command is appended to the record file converted to
// Shift-JIS (terminating zero included), so that a test compares the same bytes whichever
// way the client sent them, and sees a character lost on the way as the '?' it became. The
// commands also drive a small model of groups and items, from which a REQUEST for a group is
// answered the way Program Manager does: a first line "name,file,count" followed by one line
// per item, as text of the system's own code page (CF_TEXT). A REQUEST for an unknown group
// gets no data. --pad N appends N blanks to every answer; --silent answers no REQUEST at all,
// as the system's own Program Manager service does; --delay MS answers each EXECUTE that much
// later (a slow Program Manager); --group puts a group with one item of the user's into the
// model at the start. The model is written after every change to the record file's name with
// ".groups" appended, one line per group and one per item below it.
//
// Started before the program under test, the stand-in is the server that clients reach
// (Wine's own desktop runs a "PROGMAN" server too). It signals the named event
// "ZELKProgmanStandinReady" once it is registered, and ends when its process is ended.
#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <stdio.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "progman_command.h"

namespace {

DWORD g_instance = 0;
std::string g_recordPath;
size_t g_pad = 0;
bool g_silent = false;
DWORD g_delay = 0;

struct Group {
    std::vector<std::string> items;
};
std::map<std::string, Group> g_groups;
std::string g_current;  // the group that AddItem and DeleteItem work on

void Record(const BYTE* data, DWORD length) {
    FILE* file = fopen(g_recordPath.c_str(), "ab");
    if (file == nullptr) return;
    fwrite(data, 1, length, file);
    fclose(file);
}

// Applies one "[Name(arguments)]" command to the model, as Program Manager does: a group
// may hold several items of one name, DeleteItem deletes one, and a command on a group that
// is not there is refused (false).
bool Apply(const std::string& text) {
    ProgmanCommand command;
    if (!ParseProgmanCommand(text, &command)) return false;
    const std::string& name = command.name;
    const std::vector<std::string>& args = command.args;
    if (name == "CreateGroup") {
        g_groups[args[0]];
        g_current = args[0];
    } else if (name == "ShowGroup") {
        if (!g_groups.count(args[0])) return false;
        g_current = args[0];
    } else if (name == "DeleteGroup") {
        if (!g_groups.erase(args[0])) return false;
        if (g_current == args[0]) g_current.clear();
    } else if (name == "AddItem" && args.size() >= 2 && g_groups.count(g_current)) {
        g_groups[g_current].items.push_back(args[1]);
    } else if (name == "DeleteItem" && g_groups.count(g_current)) {
        std::vector<std::string>& items = g_groups[g_current].items;
        auto found = std::find(items.begin(), items.end(), args[0]);
        if (found == items.end()) return false;
        items.erase(found);
    } else {
        return false;
    }
    return true;
}

void WriteModel() {
    FILE* file = fopen((g_recordPath + ".groups").c_str(), "wb");
    if (file == nullptr) return;
    for (const auto& [name, group] : g_groups) {
        fprintf(file, "%s\r\n", name.c_str());
        for (const std::string& item : group.items) fprintf(file, "  %s\r\n", item.c_str());
    }
    fclose(file);
}

// UTF-16 (units of it) as Shift-JIS; a character Shift-JIS lacks becomes '?'.
std::string ShiftJis(const WCHAR* text, int units) {
    int size = WideCharToMultiByte(932, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0) WideCharToMultiByte(932, 0, text, units, &bytes[0], size, nullptr, nullptr);
    return bytes;
}

// A string handle's text as Shift-JIS.
std::string ShiftJis(HSZ name) {
    WCHAR text[256] = L"";
    DWORD units = DdeQueryStringW(g_instance, name, text, 256, CP_WINUNICODE);
    return ShiftJis(text, static_cast<int>(units));
}

// The command of a WM_DDE_EXECUTE message as Shift-JIS, up to its first terminating zero.
// Windows hands a Unicode server the command as the client sent it. Wine's DDE library
// instead takes UTF-16 holding a character above U+00FF for ANSI text and cuts it at its
// first zero byte before the server sees it, so the stand-in reads the message itself.
std::string SentCommand(const MSG& message) {
    HGLOBAL memory = reinterpret_cast<HGLOBAL>(message.lParam);
    const char* data = static_cast<const char*>(GlobalLock(memory));
    if (data == nullptr) return std::string();
    size_t size = GlobalSize(memory);
    std::vector<WCHAR> text;
    if (IsWindowUnicode(reinterpret_cast<HWND>(message.wParam))) {
        text.assign(reinterpret_cast<const WCHAR*>(data), reinterpret_cast<const WCHAR*>(data) + size / sizeof(WCHAR));
    } else {
        text.resize(size);
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, data, static_cast<int>(size), text.data(),
                                                            static_cast<int>(size))));
    }
    GlobalUnlock(memory);
    auto end = std::find(text.begin(), text.end(), L'\0');
    if (end != text.end()) ++end;
    return ShiftJis(text.data(), static_cast<int>(end - text.begin()));
}

std::string g_command;  // the command of the WM_DDE_EXECUTE being dispatched

HDDEDATA Execute() {
    const std::string& bytes = g_command;
    Record(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    bool done = Apply(bytes.substr(0, bytes.find('\0')));
    WriteModel();
    if (g_delay > 0) Sleep(g_delay);
    return reinterpret_cast<HDDEDATA>(done ? DDE_FACK : DDE_FNOTPROCESSED);
}

// Shift-JIS text in the system's own code page, as CF_TEXT carries it.
std::string SystemText(const std::string& shiftJis) {
    int units = MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(units));
    if (units > 0) MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), wide.data(), units);
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    if (size > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), units, &text[0], size, nullptr, nullptr);
    return text;
}

HDDEDATA Request(HSZ item, UINT format) {
    auto found = g_groups.find(ShiftJis(item));
    if (g_silent || format != CF_TEXT || found == g_groups.end()) return nullptr;
    std::string text = found->first + "," + found->first + ".GRP," +
                       std::to_string(found->second.items.size()) + "\r\n";
    for (const std::string& entry : found->second.items) text += "\"" + entry + "\"\r\n";
    text = SystemText(text);
    text.append(g_pad, ' ');
    return DdeCreateDataHandle(g_instance, reinterpret_cast<BYTE*>(&text[0]),
                               static_cast<DWORD>(text.size() + 1), 0, item, CF_TEXT, 0);
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA,
                           ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT: {
        WCHAR name[64] = L"";
        DdeQueryStringW(g_instance, topic, name, 64, CP_WINUNICODE);
        return reinterpret_cast<HDDEDATA>(lstrcmpiW(name, L"PROGMAN") == 0 ? TRUE : FALSE);
    }
    case XTYP_EXECUTE: return Execute();
    case XTYP_REQUEST: return Request(item, format);
    default: return nullptr;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: progman_standin <record file> [--pad N] [--silent]\n");
        return 2;
    }
    g_recordPath = argv[1];
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--pad" && i + 1 < argc) g_pad = static_cast<size_t>(atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--silent") g_silent = true;
        if (std::string(argv[i]) == "--delay" && i + 1 < argc) g_delay = static_cast<DWORD>(atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--group" && i + 1 < argc) {
            std::string group = argv[i + 1];
            size_t comma = group.find(',');
            g_groups[group.substr(0, comma)].items.push_back(comma == std::string::npos ? "" : group.substr(comma + 1));
        }
    }
    WriteModel();
    if (DdeInitializeW(&g_instance, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS |
                       CBF_SKIP_UNREGISTRATIONS, 0) != DMLERR_NO_ERROR) {
        return 1;
    }
    HSZ service = DdeCreateStringHandleW(g_instance, L"PROGMAN", CP_WINUNICODE);
    if (DdeNameService(g_instance, service, nullptr, DNS_REGISTER) == nullptr) return 1;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "ZELKProgmanStandinReady");
    SetEvent(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_DDE_EXECUTE) g_command = SentCommand(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
    DdeUninitialize(g_instance);
    CloseHandle(ready);
    return 0;
}
