// The publisher's script check: reads a setup.dat with setup's own reader and reports,
// by line, everything that would stop setup, be ignored by it, or fail on the user's
// machine, and whether every file is on the medium.
#ifndef ZELK_TOOLS_CHECKER_H
#define ZELK_TOOLS_CHECKER_H

#include <string>
#include <vector>

struct CheckOptions {
    std::string script;                    // the setup.dat to read (Linux path)
    std::string label;                     // the file name messages carry (default: script)
    std::string folder;                    // the Linux folder setup runs from (default: the script's)
    std::string setupDir = "D:";           // the Windows folder that stands for
    std::string windowsDir = "C:\\WINDOWS";
    bool product = false;                  // folder holds the publisher's plain files, and script
                                           // is read as the medium gets it (MediumScript)
    std::string scriptOut;                 // product: where to write that script (default: a
                                           // temporary file)
};

struct Finding {
    enum Level { kError, kWarning, kIgnored };
    int line;  // 0 when it concerns the whole script
    Level level;
    std::string text;  // UTF-8
};

// A file the medium needs, as a medium builder takes it.
struct MediumFile {
    int line;               // 0 for setup's own files
    std::string mediumPath; // below the medium's root, "/"-separated, UTF-8
    std::string input;      // the Linux file it is made from (found or not)
    bool compressed;        // mediumPath is to be LZ-compressed from input
};

// One value of the uninstall entry as setup.exe would write it; a value known only when
// setup runs is described instead.
struct EntryValue {
    std::string name;
    std::string shown;  // UTF-8
};

struct CheckResult {
    std::vector<Finding> findings;  // in line order; whole-script findings last
    std::vector<MediumFile> files;
    std::string entryKey;           // empty when the script names no uninstall entry
    std::vector<EntryValue> entry;
    int errors = 0;
    int warnings = 0;
};

CheckResult CheckScript(const CheckOptions& options);

#endif
