// The syntax check of the destination folder typed or browsed in the wizard.
#include <gtest/gtest.h>

#include "setup/destination_path.h"

namespace {

TEST(IsValidPath, Cases) {
    const struct {
        const char* path;
        bool valid;
    } cases[] = {
        {"C:\\", true},
        {"C:\\Games\\", true},
        {"C:\\Program Files\\ZELK", true},
        {"z:\\a\\b", true},
        {"C:", false},
        {"C:Games", false},
        {"1:\\Games", false},
        {"", false},
        {"C:\\Ga|mes", false},
        {"C:\\\\Games", false},
        {"C:\\Games\\\\App", false},
        {"C:\\Games\\App\\\\", false},
        {"C:\\a*b", false}, {"C:\\a/b", false}, {"C:\\a:b", false}, {"C:\\a<b", false},
        {"C:\\a>b", false}, {"C:\\a?b", false}, {"C:\\a\"b", false},
        {"C:\\a,b", false},  // would be cut at the comma in the uninstall record
        {"C:\\a=b", false},  // would read back as a keyword line
        {"C:\\ソフト\\表", true},     // both end in the byte 0x5C
        {"C:\\ソ\\表\\", true},
        {"C:\\表\\\\x", false},
        {"C:\\\x83|", true},          // "|" as a second byte belongs to the character
        {"C:\\\x83", false},          // a character cut in half
    };
    for (const auto& test : cases) {
        EXPECT_EQ(IsValidPath(test.path), test.valid) << test.path;
    }
    EXPECT_FALSE(IsValidPath(nullptr));
}

}  // namespace
