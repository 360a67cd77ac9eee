// After the removal and a restart: every difference from the machine as it was before the
// installation, each either kept on purpose (with the reason) or left behind.
#include <gtest/gtest.h>

#include "driver.h"
#include "tryout.h"

namespace tryout {
namespace {

std::string Describe(const Difference& difference) {
    switch (difference.kind) {
    case '+': return "added    " + difference.name + "   " + difference.after;
    case '-': return "removed  " + difference.name + "   (was " + difference.before + ")";
    default: return "changed  " + difference.name + "   " + difference.before + "  ->  " + difference.after;
    }
}

// Why a leftover is there when the design explains it; empty otherwise. The walk wrote the
// names it expects to stay (shared DLLs, fonts the user kept).
std::string Reason(const Difference& difference, const std::vector<std::string>& expected) {
    for (const std::string& line : expected) {
        size_t tab = line.find('\t');
        if (tab != std::string::npos && EqualNoCase(line.substr(0, tab), difference.name)) return line.substr(tab + 1);
    }
    return "";
}

// A hint for a leftover whose cause is known.
std::string Hint(const Difference& difference) {
    if (EqualNoCase(difference.name, CompanionCopy())) {
        return "the uninstaller's companion: the restart should have deleted it";
    }
    return "";
}

}  // namespace

void CompareAfterRestart() {
    Snapshot before;
    ASSERT_TRUE(LoadSnapshot(StatePath("before.snap"), before)) << "no snapshot from before the installation";
    const std::vector<std::string> expected = ReadLines("expected.txt");
    const std::vector<Difference> differences = Compare(before, TakeSnapshot());

    Heading("What is left after the removal and a restart");
    int unexpected = 0;
    for (const Difference& difference : differences) {
        std::string reason = Reason(difference, expected);
        if (!reason.empty()) {
            Say("  expected:    " + Describe(difference));
            Say("               (" + reason + ")");
            continue;
        }
        ++unexpected;
        Say("  UNEXPECTED:  " + Describe(difference));
        std::string hint = Hint(difference);
        if (!hint.empty()) Say("               (" + hint + ")");
    }
    for (const std::string& line : ReadLines("progman-left.txt")) {
        if (line.compare(0, 6, "group ") == 0) ++unexpected;
        Say("  UNEXPECTED:  left in Program Manager: " + line);
    }
    if (differences.empty() && unexpected == 0) {
        Say("  nothing: drive C: and the registry are as they were before the installation");
    }
    if (unexpected == 0) {
        Say("  => nothing unexpected is left");
    } else {
        Say("  => " + std::to_string(unexpected) + " unexpected difference(s)");
        ADD_FAILURE() << unexpected << " unexpected difference(s) after the removal";
    }
}

}  // namespace tryout
