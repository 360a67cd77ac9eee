// The benchmark's floor: the least work that installing or removing a payload can take, done
// with the system's own calls and nothing else. Prints the elapsed milliseconds.
//   floor copy   LIST SOURCE_DIR DEST_DIR   CopyFileA each name of LIST
//   floor expand LIST SOURCE_DIR DEST_DIR   LZ-expand each "compressed>plain" pair of LIST
//   floor delete LIST DEST_DIR              DeleteFileA each name of LIST
//   floor run    "COMMAND LINE"             start a program, wait for its end (the peer)
//   floor desktop                           hold the session's desktop until ended (below)
//   floor launch "COMMAND LINE" MUTEX       the same while holding the named mutex, which a
//                                           single-instance program tests first: what its
//                                           start (loading it and its DLLs) and end cost
// and the calls that an installation and a removal cannot do without, item by item:
//   floor install LIST SOURCE_DIR DEST_DIR  copy (or expand a name ending in "_"), set the
//                                           attributes, tell the shell; a name marked "!"
//                                           (a built-in) is made read-only afterwards
//   floor remove  LIST DEST_DIR COMPANION   copy COMPANION into the Windows folder, then for
//                                           each name set the attributes and delete it, then
//                                           start the copy on DEST_DIR\unZELK.exe and wait
//                                           for its end
#include <windows.h>
#include <lzexpand.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

static std::vector<std::string> ReadList(const char* path) {
    std::vector<std::string> names;
    FILE* file = fopen(path, "rb");
    if (!file) return names;
    char line[1024];
    while (fgets(line, sizeof line, file)) {
        size_t length = strcspn(line, "\r\n");
        line[length] = '\0';
        if (length) names.push_back(line);
    }
    fclose(file);
    return names;
}

static bool Expand(const std::string& from, const std::string& to) {
    OFSTRUCT info;
    INT source = LZOpenFileA(const_cast<char*>(from.c_str()), &info, OF_READ);
    if (source < 0) return false;
    INT dest = LZOpenFileA(const_cast<char*>(to.c_str()), &info, OF_CREATE);
    bool ok = dest >= 0 && LZCopy(source, dest) >= 0;
    if (dest >= 0) LZClose(dest);
    LZClose(source);
    return ok;
}

static double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// Starts the command line as it is (no quoting added) and waits for the program's end.
static int Run(const char* commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "cannot start %s (%lu)\n", commandLine, GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    double end = Now();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("%.1f\n", end - start);
    return static_cast<int>(code);
}

// The expansion the installation makes: both files opened by CreateFile, the result given
// the source's creation time as all three of its times.
static bool ExpandStamped(const std::string& from, const std::string& to) {
    HANDLE input = CreateFileA(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (input == INVALID_HANDLE_VALUE) return false;
    HANDLE output = CreateFileA(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    INT expander = LZInit(static_cast<INT>(HandleToLong(input)));
    bool ok = output != INVALID_HANDLE_VALUE && expander >= 0 &&
              LZCopy(expander, static_cast<INT>(HandleToLong(output))) >= 0;
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (expander >= 0) LZClose(expander); else CloseHandle(input);
    FILETIME created;
    HANDLE file = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ok = ok && file != INVALID_HANDLE_VALUE && GetFileTime(file, &created, nullptr, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    file = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, &created, &created, &created);
        CloseHandle(file);
    }
    return ok;
}

static bool InstallOne(const std::string& sourceDir, const std::string& destDir, std::string name) {
    bool builtIn = name[0] == '!';
    if (builtIn) name.erase(0, 1);
    size_t split = name.find('>');
    std::string from = sourceDir + "\\" + name.substr(0, split);
    std::string to = destDir + "\\" + (split == std::string::npos ? name : name.substr(split + 1));
    bool ok = from.back() == '_' ? ExpandStamped(from, to)
                                 : CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA, to.c_str(), nullptr);
    if (builtIn) SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    return ok;
}

// The companion copied into the Windows folder, started on DEST_DIR\unZELK.exe with one
// folder level, and waited for: it deletes that file and the folder.
static std::string CopyCompanion(const char* companion) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string copy = std::string(windows) + "\\~bench.~";
    CopyFileA(companion, copy.c_str(), FALSE);
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    return copy;
}

static bool RunCompanion(const std::string& copy, const std::string& destDir) {
    std::string line = copy + " 1 " + destDir + "\\unZELK.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    if (!CreateProcessA(copy.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, windows,
                        &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

static bool RemoveOne(const std::string& destDir, const std::string& name) {
    std::string path = destDir + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}

// A Windows session has its desktop and shell running before any program starts. Wine
// starts its desktop process with the session's first window and ends it after the last,
// so without a holder every program measured would also pay for starting the desktop (about
// 200 ms under Wine) as its first window appears. A window of its own, never shown, holds
// it; "up" is printed once the desktop process has had time to finish its own start. Its
// messages are answered, as any program's, so that nothing sent to every window waits on it.
static int HoldDesktop() {
    CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Sleep(500);
    printf("up\n");
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "desktop") == 0) return HoldDesktop();
    if (argc == 3 && strcmp(argv[1], "run") == 0) return Run(argv[2]);
    if (argc == 4 && strcmp(argv[1], "launch") == 0) {
        HANDLE held = CreateMutexA(nullptr, FALSE, argv[3]);
        int code = Run(argv[2]);
        CloseHandle(held);
        return code;
    }
    if (argc == 5 && strcmp(argv[1], "remove") == 0) {
        std::vector<std::string> names = ReadList(argv[2]);
        double start = Now();
        std::string copy = CopyCompanion(argv[4]);
        bool ok = true;
        for (const std::string& name : names) ok &= RemoveOne(argv[3], name);
        ok &= RunCompanion(copy, argv[3]);
        double end = Now();
        DeleteFileA(copy.c_str());
        printf("%.1f\n", end - start);
        return ok ? 0 : 1;
    }
    if (argc < 4) return 2;
    std::string mode = argv[1];
    std::vector<std::string> names = ReadList(argv[2]);
    double start = Now();
    bool ok = true;
    for (const std::string& name : names) {
        if (mode == "copy") {
            ok &= CopyFileA((std::string(argv[3]) + "\\" + name).c_str(),
                            (std::string(argv[4]) + "\\" + name).c_str(), FALSE) != 0;
        } else if (mode == "expand") {
            size_t split = name.find('>');
            ok &= Expand(std::string(argv[3]) + "\\" + name.substr(0, split),
                         std::string(argv[4]) + "\\" + name.substr(split + 1));
        } else if (mode == "install") {
            ok &= InstallOne(argv[3], argv[4], name);
        } else if (mode == "delete") {
            ok &= DeleteFileA((std::string(argv[3]) + "\\" + name).c_str()) != 0;
        }
    }
    printf("%.1f\n", Now() - start);
    return ok ? 0 : 1;
}
