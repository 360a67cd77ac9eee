// The benchmark's floor: the least work that installing or removing a payload can take, done
// with the system's own calls and nothing else. Prints the elapsed milliseconds.
//   floor copy   LIST SOURCE_DIR DEST_DIR   CopyFileA each name of LIST
//   floor expand LIST SOURCE_DIR DEST_DIR   LZ-expand each "compressed>plain" pair of LIST
//   floor delete LIST DEST_DIR              DeleteFileA each name of LIST
//   floor run    "COMMAND LINE"             start a program, wait for its end (the peer)
#include <windows.h>
#include <lzexpand.h>

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

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "run") == 0) return Run(argv[2]);
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
        } else if (mode == "delete") {
            ok &= DeleteFileA((std::string(argv[3]) + "\\" + name).c_str()) != 0;
        }
    }
    printf("%.1f\n", Now() - start);
    return ok ? 0 : 1;
}
