// Starting and reading the Program Manager stand-in (progman_standin.exe) from a test.
#ifndef ZELK_TESTS_TOOLS_PROGMAN_STANDIN_H
#define ZELK_TESTS_TOOLS_PROGMAN_STANDIN_H

#include <windows.h>
#include <ddeml.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The EXECUTE strings a stand-in recorded, each as sent (the terminating zero taken off);
// a command that arrived without its terminator is marked with "<unterminated>".
inline std::vector<std::string> ReadProgmanRecord(const std::string& recordPath) {
    std::ifstream file(recordPath, std::ios::binary);
    std::stringstream all;
    all << file.rdbuf();
    std::string bytes = all.str();
    std::vector<std::string> commands;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\0', start);
        if (end == std::string::npos) {
            commands.push_back(bytes.substr(start) + "<unterminated>");
            break;
        }
        commands.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return commands;
}

inline HDDEDATA CALLBACK IgnoreDdeTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// Waits until a "PROGMAN" DDE service takes a conversation: the desktop's own service starts
// on its own time after the first program of a prefix. False when none came in time.
inline bool WaitForProgramManager(DWORD timeout) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreDdeTransaction, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    bool serves = false;
    for (DWORD start = GetTickCount(); !serves && GetTickCount() - start < timeout; Sleep(200)) {
        HCONV conversation = DdeConnect(instance, name, name, nullptr);
        serves = conversation != nullptr;
        if (serves) DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return serves;
}

class ProgmanStandin {
public:
    // Starts the stand-in from program, recording into recordPath (emptied first); extra
    // arguments such as "--pad 2000" follow. Waits until it serves.
    bool Start(const std::string& program, const std::string& recordPath, const std::string& extra = "") {
        Stop();
        record_ = recordPath;
        SetFileAttributesA(record_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(record_.c_str());
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "ZELKProgmanStandinReady");
        ResetEvent(ready);
        std::string commandLine = "\"" + program + "\" \"" + recordPath + "\" " + extra;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info)) {
            CloseHandle(ready);
            return false;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        HANDLE waits[2] = {ready, process_};
        DWORD result = WaitForMultipleObjects(2, waits, FALSE, 10000);
        CloseHandle(ready);
        if (result != WAIT_OBJECT_0) {
            Stop();
            return false;
        }
        return true;
    }

    void Stop() {
        if (process_ == nullptr) return;
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
        process_ = nullptr;
    }

    ~ProgmanStandin() { Stop(); }

    // The EXECUTE strings received so far.
    std::vector<std::string> Commands() const { return ReadProgmanRecord(record_); }

    // The groups and their items as the stand-in holds them now.
    std::string Groups() const {
        std::ifstream file(record_ + ".groups", std::ios::binary);
        std::stringstream all;
        all << file.rdbuf();
        return all.str();
    }

private:
    HANDLE process_ = nullptr;
    std::string record_;
};

#endif
