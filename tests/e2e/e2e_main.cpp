// Entry point of the end-to-end driver. Run it under Wine through CTest, or alone:
//   tests/wine/run build/win/tests/e2e/zelk_e2e.exe --gtest_filter=Startup.*
// "--desktop-ready" runs no test: it tells (exit code 0) whether the desktop's Program
// Manager service answers; tests/wine/desktop asks before it runs the tests.
#include <gtest/gtest.h>

#include <string.h>

#include "tests/tools/progman_standin.h"

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--desktop-ready") == 0) return WaitForProgramManager(20000) ? 0 : 1;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
