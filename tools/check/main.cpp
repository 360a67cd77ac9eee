// zelk-check: checks setup scripts ("setup.dat") before they go on a medium.
//
//   zelk-check [options] SETUP.DAT|FOLDER...
//
// A folder stands for the setup.dat in it. Every finding is printed as FILE:LINE: LEVEL:
// text, in English, with the Japanese text setup.exe would show. The exit code is 0 only
// when setup.exe would accept every script and find every file it names; 1 when a script
// has an error; 2 on a usage error.
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "checker.h"

namespace {

const char kUsage[] =
    "usage: zelk-check [options] SETUP.DAT|FOLDER...\n"
    "  --medium DIR       the folder setup.exe runs from (default: the script's folder)\n"
    "  --product          DIR is a publisher's folder of plain files: its script is read as the\n"
    "                     medium gets it (UTF-8 in Shift-JIS, lines ending in CR LF), and a\n"
    "                     compressed source (name ending in \"_\") is looked for as the file of\n"
    "                     its destination name\n"
    "  --write-script FILE  with --product: write the script as the medium gets it\n"
    "  --setup-dir PATH   the Windows folder setup.exe runs from (default D:)\n"
    "  --windows-dir PATH the Windows folder of the user's machine (default C:\\WINDOWS)\n"
    "  --label NAME       the file name to print instead of the script's path\n"
    "  --list FILE        write the files the medium needs (for zelk-medium):\n"
    "                     line<TAB>medium path<TAB>input file<TAB>compress (0 or 1)\n"
    "  --quiet            print errors and warnings only, no summary\n";

const char* LevelName(Finding::Level level) {
    switch (level) {
    case Finding::kError: return "error";
    case Finding::kWarning: return "warning";
    default: return "ignored";
    }
}

bool WriteList(const char* path, const CheckResult& result) {
    FILE* file = fopen(path, "w");
    if (file == nullptr) return false;
    for (const MediumFile& entry : result.files) {
        fprintf(file, "%d\t%s\t%s\t%d\n", entry.line, entry.mediumPath.c_str(), entry.input.c_str(),
                entry.compressed ? 1 : 0);
    }
    return fclose(file) == 0;
}

int Usage(const char* problem) {
    if (problem != nullptr) fprintf(stderr, "zelk-check: %s\n", problem);
    fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CheckOptions options;
    const char* listPath = nullptr;
    bool quiet = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] == '-'; ++first) {
        std::string option = argv[first];
        if (option == "--product") {
            options.product = true;
            continue;
        }
        if (option == "--quiet") {
            quiet = true;
            continue;
        }
        if (option == "--help") return Usage(nullptr), 0;
        if (first + 1 >= argc) return Usage(("missing value after " + option).c_str());
        const char* value = argv[++first];
        if (option == "--medium") options.folder = value;
        else if (option == "--setup-dir") options.setupDir = value;
        else if (option == "--windows-dir") options.windowsDir = value;
        else if (option == "--label") options.label = value;
        else if (option == "--list") listPath = value;
        else if (option == "--write-script") options.scriptOut = value;
        else return Usage(("unknown option " + option).c_str());
    }
    if (first >= argc) return Usage("no script given");
    if ((listPath != nullptr || !options.scriptOut.empty()) && argc - first > 1) {
        return Usage("--list and --write-script take one script");
    }
    if (!options.scriptOut.empty() && !options.product) return Usage("--write-script goes with --product");

    bool failed = false;
    for (int i = first; i < argc; ++i) {
        CheckOptions one = options;
        one.script = argv[i];
        struct stat status;
        if (stat(argv[i], &status) == 0 && S_ISDIR(status.st_mode)) one.script += "/setup.dat";
        CheckResult result = CheckScript(one);
        const std::string& label = one.label.empty() ? one.script : one.label;
        for (const Finding& finding : result.findings) {
            if (finding.line > 0) {
                printf("%s:%d: %s: %s\n", label.c_str(), finding.line, LevelName(finding.level), finding.text.c_str());
            } else {
                printf("%s: %s: %s\n", label.c_str(), LevelName(finding.level), finding.text.c_str());
            }
        }
        if (!quiet && !result.entryKey.empty()) {
            printf("%s: the uninstall entry %s, for the proposed folder:\n", label.c_str(), result.entryKey.c_str());
            for (const EntryValue& value : result.entry) printf("  %s = %s\n", value.name.c_str(), value.shown.c_str());
        }
        if (!quiet) {
            printf("%s: %s (%d error(s), %d warning(s))\n", label.c_str(),
                   result.errors ? "setup.exe would fail" : "ok", result.errors, result.warnings);
        }
        if (listPath != nullptr && !WriteList(listPath, result)) {
            fprintf(stderr, "zelk-check: cannot write %s\n", listPath);
            return 2;
        }
        failed = failed || result.errors > 0;
    }
    return failed ? 1 : 0;
}
