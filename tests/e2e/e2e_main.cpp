// Entry point of the end-to-end driver. Run it under Wine through CTest, or alone:
//   tests/wine/run build/win/tests/e2e/zelk_e2e.exe --gtest_filter=Startup.*
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
