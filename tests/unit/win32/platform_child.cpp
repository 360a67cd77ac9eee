// Running tests in a copy of the test program that Wine presents as another Windows version.
#include "platform_child.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace unit {
namespace {

const char kChildVariable[] = "ZELK_PLATFORM_CHILD";
const char kHomeVariable[] = "ZELK_TEST_HOME";

std::string OwnFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string OwnPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

bool SetVersionFor(const std::string& program, const char* version) {
    std::string key = "Software\\Wine\\AppDefaults\\" + program;
    HKEY opened;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegSetValueExA(opened, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                                 lstrlenA(version) + 1);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

}  // namespace

bool InPlatformChild() { return GetEnvironmentVariableA(kChildVariable, nullptr, 0) > 0; }

std::string TestProgramFolder() {
    char home[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(kHomeVariable, home, sizeof home);
    if (length > 0 && length < sizeof home) return home;
    return OwnFolder();
}

std::string TestDataPath(const std::string& name) { return TestProgramFolder() + "\\testdata\\" + name; }

int RunUnder(const char* version, const std::string& filter, std::string* log) {
    CreateDirectoryA("C:\\zelk-unit", nullptr);
    std::string name = std::string("setup_tests_") + version + ".exe";
    std::string copy = "C:\\zelk-unit\\" + name;
    std::string output = "C:\\zelk-unit\\" + std::string(version) + ".log";
    if (!CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE) || !SetVersionFor(name, version)) return -1;

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    SetEnvironmentVariableA(kChildVariable, version);
    SetEnvironmentVariableA(kHomeVariable, TestProgramFolder().c_str());
    std::string commandLine = "\"" + copy + "\" --gtest_filter=" + filter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    BOOL started = CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  "C:\\zelk-unit", &startup, &info);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    CloseHandle(file);
    if (!started) return -1;
    DWORD exitCode = 1;
    if (WaitForSingleObject(info.hProcess, 300000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &exitCode);
    } else {
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    if (log != nullptr) {
        log->clear();
        FILE* in = fopen(output.c_str(), "rb");
        if (in != nullptr) {
            char buffer[4096];
            size_t got;
            while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) log->append(buffer, got);
            fclose(in);
        }
    }
    return static_cast<int>(exitCode);
}

// The platform tests of every suite named Platform*, once as each system.
TEST(Platforms, Windows95) {
    if (InPlatformChild()) GTEST_SKIP();
    std::string log;
    EXPECT_EQ(0, RunUnder("win95", "Platform*", &log)) << log;
}

TEST(Platforms, WindowsNT40) {
    if (InPlatformChild()) GTEST_SKIP();
    std::string log;
    EXPECT_EQ(0, RunUnder("nt40", "Platform*", &log)) << log;
}

}  // namespace unit
