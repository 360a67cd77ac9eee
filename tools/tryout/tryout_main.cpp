// tryout_walk.exe: the try-out's hands inside Wine (tools/zelk-tryout runs it).
//
//   tryout_walk.exe walk MEDIUM STATE [--destination PATH] [--keep-fonts]
//                                     [--screenshots FOLDER] [--progman STANDIN]
//   tryout_walk.exe compare STATE
//
// walk installs from MEDIUM through the wizard, lists what was installed, removes it through
// the registered uninstall command and waits for the uninstaller's companion; compare, run
// after a restart of the prefix, names every difference from the machine before the
// installation. STATE is a folder that carries snapshots and findings from one to the other.
// The exit code is 0 when nothing unexpected happened or was left.
//
// The end-to-end driver does the clicking; its checks are gtest assertions, so the pass runs
// as one test whose failures are printed as problems.
#include <gtest/gtest.h>

#include <stdio.h>

#include "tryout.h"

namespace tryout {

// Failures of a pass are the try-out's problems: printed plainly, without gtest's frame.
class ProblemPrinter : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (!result.failed()) return;
        std::string message = result.message();
        if (message.compare(0, 7, "Failed\n") == 0) message.erase(0, 7);
        printf("%s\n", Indent("problem: " + message, "  !! ").c_str());
        fflush(stdout);
    }
};

}  // namespace tryout

using namespace tryout;

TEST(TryOut, Walk) { Walk(); }
TEST(TryOut, Compare) { CompareAfterRestart(); }

static bool ParseArguments(int argc, char** argv) {
    std::vector<std::string> plain;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        if (arg == "--destination") {
            if (!value(g_options.destination)) return false;
        } else if (arg == "--screenshots") {
            if (!value(g_options.screenshots)) return false;
        } else if (arg == "--progman") {
            if (!value(g_options.progman)) return false;
        } else if (arg == "--keep-fonts") {
            g_options.keepFonts = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            return false;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() == 3 && plain[0] == "walk") {
        g_options.mode = plain[0];
        g_options.medium = plain[1];
        g_options.state = plain[2];
        while (g_options.medium.size() > 3 && g_options.medium.back() == '\\') g_options.medium.pop_back();
        return true;
    }
    if (plain.size() == 2 && plain[0] == "compare") {
        g_options.mode = plain[0];
        g_options.state = plain[1];
        return true;
    }
    return false;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!ParseArguments(argc, argv)) {
        fprintf(stderr,
                "usage: tryout_walk walk MEDIUM STATE [--destination PATH] [--keep-fonts]\n"
                "                        [--screenshots FOLDER] [--progman STANDIN]\n"
                "       tryout_walk compare STATE\n");
        return 2;
    }
    testing::GTEST_FLAG(filter) = g_options.mode == "walk" ? "TryOut.Walk" : "TryOut.Compare";
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new ProblemPrinter);
    return RUN_ALL_TESTS();
}
