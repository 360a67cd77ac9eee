// A Program Manager stand-in for the tests: a DDE server for service and topic "PROGMAN".
//
//   progman_standin.exe <record file> [--pad N] [--silent] [--delay MS] [--group NAME,ITEM]
//
// Every EXECUTE transaction's data is appended to the record file exactly as received
// (terminating zero included), so a test sees the bytes the client sent. The commands also
// drive a small model of groups and items, from which a REQUEST for a group is answered the
// way Program Manager does: a first line "name,file,count" followed by one line per item.
// A REQUEST for an unknown group gets no data. --pad N appends N blanks to every answer;
// --silent answers no REQUEST at all, as the system's own Program Manager service does;
// --delay MS answers each EXECUTE that much later (a slow Program Manager); --group puts a
// group with one item of the user's into the model at the start. The model is written
// after every change to the record file's name with ".groups" appended, one line per group
// and one per item below it.
//
// Started before the program under test, the stand-in is the server that clients reach
// (Wine's own desktop runs a "PROGMAN" server too). It signals the named event
// "ZELKProgmanStandinReady" once it is registered, and ends when its process is ended.
#include <windows.h>
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

HDDEDATA Execute(HDDEDATA data) {
    DWORD length = DdeGetData(data, nullptr, 0, 0);
    std::vector<BYTE> bytes(length);
    if (length > 0) DdeGetData(data, bytes.data(), length, 0);
    Record(bytes.data(), length);
    bool done = Apply(std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0)));
    WriteModel();
    if (g_delay > 0) Sleep(g_delay);
    return reinterpret_cast<HDDEDATA>(done ? DDE_FACK : DDE_FNOTPROCESSED);
}

HDDEDATA Request(HSZ item, UINT format) {
    char name[1024] = "";
    DdeQueryStringA(g_instance, item, name, sizeof name, CP_WINANSI);
    auto found = g_groups.find(name);
    if (g_silent || format != CF_TEXT || found == g_groups.end()) return nullptr;
    std::string text = found->first + "," + found->first + ".GRP," +
                       std::to_string(found->second.items.size()) + "\r\n";
    for (const std::string& entry : found->second.items) text += "\"" + entry + "\"\r\n";
    text.append(g_pad, ' ');
    return DdeCreateDataHandle(g_instance, reinterpret_cast<BYTE*>(&text[0]),
                               static_cast<DWORD>(text.size() + 1), 0, item, CF_TEXT, 0);
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA data,
                           ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT: {
        char name[64] = "";
        DdeQueryStringA(g_instance, topic, name, sizeof name, CP_WINANSI);
        return reinterpret_cast<HDDEDATA>(lstrcmpiA(name, "PROGMAN") == 0 ? TRUE : FALSE);
    }
    case XTYP_EXECUTE: return Execute(data);
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
    if (DdeInitializeA(&g_instance, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS |
                       CBF_SKIP_UNREGISTRATIONS, 0) != DMLERR_NO_ERROR) {
        return 1;
    }
    HSZ service = DdeCreateStringHandleA(g_instance, "PROGMAN", CP_WINANSI);
    if (DdeNameService(g_instance, service, nullptr, DNS_REGISTER) == nullptr) return 1;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "ZELKProgmanStandinReady");
    SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
    DdeUninitialize(g_instance);
    CloseHandle(ready);
    return 0;
}
