// Running some of this program's tests as Windows 95 or Windows NT 4.0 would see them.
//
// Wine presents a program with the version named under
// HKCU\Software\Wine\AppDefaults\<program file name>\Version. RunUnder copies the test program
// under a name of its own, sets that value for the copy and runs the chosen tests there, so
// the prefix-wide setting (and every other test) stays as it is.
#ifndef ZELK_TESTS_UNIT_WIN32_PLATFORM_CHILD_H
#define ZELK_TESTS_UNIT_WIN32_PLATFORM_CHILD_H

#include <string>

namespace unit {

// True inside a copy started by RunUnder.
bool InPlatformChild();

// Runs the tests matching filter in a copy presented as version ("win95", "nt40").
// Returns the copy's exit code; its output goes into *log.
int RunUnder(const char* version, const std::string& filter, std::string* log);

// Folder of the original test program (also inside a copy), and its test files.
std::string TestProgramFolder();
std::string TestDataPath(const std::string& name);

}  // namespace unit

// Tests that only make sense under a chosen version: skipped in the ordinary run.
#define PLATFORM_CHILD_ONLY()                                                  \
    do {                                                                       \
        if (!unit::InPlatformChild()) GTEST_SKIP() << "runs in Platforms.*";   \
    } while (0)

#endif
