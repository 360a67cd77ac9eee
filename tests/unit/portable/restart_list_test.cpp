// Taking one replacement off the system's restart list: the pairs of the move-file list and
// the lines of WININIT.INI's [rename] section, both strings one after another.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/restart.h"

namespace {

// "|" stands for each string's zero.
std::string Zeroed(std::string text) {
    for (char& c : text) {
        if (c == '|') c = '\0';
    }
    return text;
}

TEST(RestartList, RemovesExactlyThePair) {
    const char kPair[] = "\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL";
    const struct {
        const char* what;
        const char* items;
        const char* list;
        const char* expected;
    } cases[] = {
        {"alone, in either case", kPair, "\\??\\c:\\s\\~zk1.rpl|!\\??\\C:\\S\\a.dll||", "|"},
        {"among others", kPair, "\\??\\X|!\\??\\Y|\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL|\\??\\Z|||",
         "\\??\\X|!\\??\\Y|\\??\\Z|||"},
        {"after a deletion, whose target is empty", kPair, "\\??\\D||\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL||",
         "\\??\\D|||"},
        {"the first of two alike", kPair, "\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL|\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL||",
         "\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL||"},
        {"across two pairs", kPair, "\\??\\Q|\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL|\\??\\R||", nullptr},
        {"a move that does not replace", kPair, "\\??\\C:\\S\\~ZK1.RPL|\\??\\C:\\S\\A.DLL||", nullptr},
        {"after the list's end", kPair, "\\??\\X|!\\??\\Y||\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL||", nullptr},
        {"not ended", kPair, "\\??\\C:\\S\\~ZK1.RPL|!\\??\\C:\\S\\A.DLL", nullptr},
        {"a trail byte is no letter", "\\??\\C:\\\x82\x61|!\\??\\A", "\\??\\C:\\\x82\x41|!\\??\\A||", nullptr},
        {"a line of the section", "C:\\S\\A.DLL=C:\\S\\~ZK1.RPL",
         "NUL=C:\\X|C:\\S\\A.DLL=C:\\S\\~ZK1.RPL|C:\\S\\A.DLL=C:\\T||", "NUL=C:\\X|C:\\S\\A.DLL=C:\\T||"},
    };
    for (const auto& test : cases) {
        std::string items = Zeroed(test.items);
        std::vector<const char*> pointers;
        for (const char* p = items.c_str(); p <= items.c_str() + items.size(); p += strlen(p) + 1) {
            pointers.push_back(p);
        }
        std::string list = Zeroed(test.list);
        std::string expected = test.expected ? Zeroed(test.expected) : list;
        std::vector<char> bytes(list.begin(), list.end());
        size_t size = RemoveStringRun(bytes.data(), bytes.size(), pointers.data(), pointers.size());
        EXPECT_EQ(expected, std::string(bytes.data(), size)) << test.what;
    }
}

}  // namespace
