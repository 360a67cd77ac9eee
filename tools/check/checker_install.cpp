// The script check's second half: what setup would do with the values it read, on the
// assumed machine. Each check reports by the line the value came from.
#include "script_checker.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "common/command.h"
#include "common/progman.h"
#include "common/textsub.h"
#include "ids.h"
#include "setup/entry_values.h"
#include "setup/destination_path.h"
#include "sjis.h"

namespace checker {

namespace {

// The start menu's Programs folder of a typical Windows 95 machine; shortcut paths are
// measured against it.
const char kProgramsFolder[] = "C:\\WINDOWS\\Start Menu\\Programs";
// Where the uninstall entry lives (its key name must fit a path buffer with it).
const char kUninstallBranch[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Why a file line may not be meant as one; empty when it looks like a file line.
std::string MisreadHint(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "; a line of blanks is read as a file line with an empty name";
    if (text[first] == ';') return "; a comment must begin at the start of the line";
    if (text.find('=') != std::string::npos) {
        return "; a keyword line needs a value after \"=\", or it is read as a file line";
    }
    return std::string();
}

// True when the file begins as the LZ expander's files do.
bool IsLzFile(const std::string& path) {
    static const unsigned char kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    unsigned char head[8] = {};
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    size_t got = fread(head, 1, sizeof head, file);
    fclose(file);
    return got == sizeof head && memcmp(head, kMagic, sizeof head) == 0;
}

// The size a file has once installed: an LZ file's header holds its expanded size.
bool InstalledSize(const std::string& path, uint32_t* size) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char head[14] = {};
    size_t got = fread(head, 1, sizeof head, file);
    bool measured = fseek(file, 0, SEEK_END) == 0;
    long end = ftell(file);
    fclose(file);
    if (IsLzFile(path) && got == sizeof head) {
        *size = head[10] | head[11] << 8 | head[12] << 16 | static_cast<uint32_t>(head[13]) << 24;
        return true;
    }
    *size = static_cast<uint32_t>(end);
    return measured && end >= 0;
}

}  // namespace

void ScriptChecker::CheckDestination() {
    if (!destinationKnown_) return;
    int line = std::max(KeywordLine("DIRECTORY"), KeywordLine("BASENAME"));
    std::string problem = NameProblem(context_->baseName, NameUse::kFolder);
    if (!problem.empty()) {
        Error(KeywordLine("BASENAME"), "BASENAME " + Q(context_->baseName) + " has " + problem);
    } else if (!IsValidPath(context_->destination)) {
        Error(line, "the default folder " + Q(context_->destination) +
                        " is not one setup.exe accepts (a drive, \":\\\", then folder names without"
                        " \" * / : < > ? | , =); the folder page refuses it" + Shows(IDS_INVALID_FOLDER));
    }
}

// A name setup creates in folder; false when it has a problem (reported).
bool ScriptChecker::CheckInstalledName(int line, const char* what, const char* name, NameUse use,
                                       const char* folder) {
    std::string problem = NameProblem(name, use);
    if (!problem.empty()) {
        Error(line, std::string(what) + " " + Q(name) + " has " + problem);
        return false;
    }
    bool fits = true;
    std::string path = Join(folder, name, &fits);
    if (folder != nullptr && !fits) {
        Error(line, std::string(what) + " " + Q(path) + " is longer than 259 bytes; setup.exe cannot install it");
        return false;
    }
    return true;
}

void ScriptChecker::Missing(int line, const char* what, const std::string& windowsPath,
                            const FoundFile& found, const std::string& hint) {
    std::string where = options_.product ? " from the product folder" : " from the medium";
    std::string state = found.status == FoundFile::kFolder ? " is a folder, not a file" : " is missing";
    std::string text = std::string(what) + " " + Q(windowsPath) + state + where + " (" + found.linuxPath + ")" + hint;
    // A product's plain file is the builder's input; setup never looks for it.
    if (!options_.product) {
        std::string shown = SetupText(IDS_MISSING_FILE);
        size_t insert = shown.find("%s");
        if (insert != std::string::npos) shown.replace(insert, 2, ShowSjis(windowsPath));
        text += Shows(shown);
    }
    Error(line, text);
}


// Where setup looks for source (joined to srcDirectory): it must be a file on the medium,
// by its own name. From a product folder, a compressed source is made from the plain file
// of the destination name beside it. False when the source name itself is wrong.
bool ScriptChecker::CheckSource(int line, const char* what, const char* source, const char* dest,
                                bool needsDrive, const std::string& hint) {
    std::string problem = NameProblem(source, NameUse::kSource);
    if (!problem.empty()) {
        Error(line, std::string(what) + " source " + Q(source) + " has " + problem + hint);
        return false;
    }
    bool compressed = IsCompressedName(source);
    if (compressed && dest == nullptr) {
        Error(line, std::string("compressed source ") + Q(source) + " has no destination name (" +
                        Q(std::string(source) + ">name") + "): setup.exe would install it as " + Q(source));
    }
    bool fits = true;
    std::string path = Join(context_->srcDirectory, source, &fits);
    if (!fits) {
        Error(line, std::string(what) + " " + Q(path) + " is longer than 259 bytes; setup.exe cannot find it");
        return true;
    }
    if (needsDrive && !(path.size() >= 2 && path[1] == ':')) {
        if (!noDriveReported_) {
            Error(SourceFolderLine(line), "SRCDIRECTORY " + Q(context_->srcDirectory) +
                            " has no drive letter: setup.exe finds DLLs and fonts only on a path with one");
        }
        noDriveReported_ = true;
        return true;
    }
    FoundFile found = medium_.Find(path);
    if (found.status == FoundFile::kOtherDrive) {
        if (!otherDriveReported_) {
            Error(SourceFolderLine(line), std::string("the source folder ") + Q(context_->srcDirectory) + " is on drive " +
                            found.drive + ":, not on the medium (" + options_.setupDir.substr(0, 2) +
                            "); its files cannot be checked");
        }
        otherDriveReported_ = true;
        return true;
    }
    MediumFile file{line, found.relative, found.linuxPath, false};
    if (options_.product && compressed) {
        if (dest == nullptr) return true;
        // The plain file: the destination's name in the source's folder.
        std::string folder = path.substr(0, path.size() - LastComponent(path).size());
        std::string plainPath = folder + LastComponent(dest);
        FoundFile plain = medium_.Find(plainPath);
        file = MediumFile{line, found.relative, plain.linuxPath, true};
        if (plain.status != FoundFile::kFound) {
            Missing(line, "plain file", plainPath, plain, " to compress into " + Q(source));
        }
        result_.files.push_back(file);
        return true;
    }
    result_.files.push_back(file);
    if (found.status != FoundFile::kFound) {
        Missing(line, what, path, found, hint);
    } else if (compressed && !IsLzFile(found.linuxPath)) {
        Warning(line, std::string(what) + " " + Q(source) +
                          " is not LZ-compressed: setup.exe installs it as it is");
    }
    return true;
}

void ScriptChecker::CheckFiles() {
    const SetupContext& c = *context_;
    for (int i = 0; i < c.fileCount; ++i) {
        int line = fileLines_[i];
        if (c.fileSource[i] == nullptr) continue;
        // A line not meant as a file line gets one message, with the reason.
        std::string hint = MisreadHint(fileTexts_[i]);
        bool sourceOk = CheckSource(line, "file", c.fileSource[i], c.fileDest[i], false, hint);
        if (!hint.empty() || (!sourceOk && c.fileDest[i] == nullptr)) continue;
        const char* name = InstalledFileName(c, i);
        const char* folder = destinationKnown_ ? c.destination : nullptr;
        bool nameOk = CheckInstalledName(line, c.fileDest[i] ? "destination name" : "installed name", name,
                                         NameUse::kInstalledFile, folder);
        const char* item = c.fileMenuItem[i];
        if (item == nullptr) continue;
        std::string problem = NameProblem(item, NameUse::kShortcut);
        if (!problem.empty()) {
            Error(line, "shortcut name " + Q(item) + " has " + problem);
            continue;
        }
        if (c.menuGroup == nullptr || c.menuGroup[0] == '\0') {
            Warning(line, "shortcut " + Q(item) + " is not made: the script has no MENUGROUP");
            continue;
        }
        bool groupFits = true;
        bool fits = true;
        std::string link = Join(Join(kProgramsFolder, c.menuGroup, &groupFits).c_str(), item, &fits) + ".lnk";
        if (!groupFits || !fits || link.size() >= kPathSize) {
            Error(line, "shortcut " + Q(link) + " is longer than 259 bytes; on Windows 95 the start-menu step fails" +
                            Shows(IDS_MENU_FAILED));
        }
        if (!destinationKnown_ || !nameOk) continue;
        std::string command = "\"" + Join(c.destination, name, &fits) + "\"";
        char formed[kProgmanCommandSize];
        if (!FormatAddItem(formed, sizeof formed, command.c_str(), item, nullptr, 0)) {
            Error(line, "the Program Manager command for shortcut " + Q(item) +
                            " is longer than 255 bytes; on Windows NT the start-menu step fails" +
                            Shows(IDS_MENU_FAILED));
        }
    }
    // setup's own two files, from the same folder. A product folder need not hold them:
    // the medium builder takes them from the build (no input file in the list).
    for (int i = c.fileCount; i < c.fileCount + 2; ++i) {
        bool fits = true;
        std::string path = Join(c.srcDirectory, c.fileSource[i], &fits);
        FoundFile found = medium_.Find(path);
        if (!fits || found.status == FoundFile::kOtherDrive) continue;
        if (options_.product) {
            result_.files.push_back(MediumFile{0, found.relative, std::string(), false});
            continue;
        }
        result_.files.push_back(MediumFile{0, found.relative, found.linuxPath, false});
        if (found.status != FoundFile::kFound) Missing(0, "setup's own file", path, found, std::string());
    }
}

void ScriptChecker::CheckList(const char* what, int count, char* const* sources, char* const* dests,
                              const std::vector<int>& lines, const char* folder95, const char* folderNT) {
    for (int i = 0; i < count; ++i) {
        if (sources[i] == nullptr) continue;
        if (!CheckSource(lines[i], what, sources[i], dests[i], true, std::string()) && dests[i] == nullptr) continue;
        if (strcmp(what, "DLL") == 0 && IsCompressedName(sources[i])) {
            // The version resource of a compressed file cannot be read before it is expanded.
            Warning(lines[i], "DLL " + Q(sources[i]) +
                                  " is compressed: setup.exe cannot read its version and replaces the"
                                  " user's copy whatever its version");
        }
        const char* name = dests[i] ? dests[i] : sources[i];
        if (CheckInstalledName(lines[i], what, name, NameUse::kInstalledFile, folder95)) {
            CheckInstalledName(lines[i], what, name, NameUse::kInstalledFile, folderNT);
        }
    }
}

void ScriptChecker::CheckAddFiles() {
    const SetupContext& c = *context_;
    for (int i = 0; i < c.addFileCount; ++i) {
        CheckInstalledName(addFileLines_[i], "ADDFILE", c.addFile[i], NameUse::kRelativeFile,
                           destinationKnown_ ? c.destination : nullptr);
    }
    if (c.unZelkName != nullptr) {
        CheckInstalledName(KeywordLine("UNZELKNAME"), "UNZELKNAME", c.unZelkName, NameUse::kInstalledFile,
                           destinationKnown_ ? c.destination : nullptr);
    }
}

void ScriptChecker::CheckMenu() {
    const SetupContext& c = *context_;
    int groupLine = KeywordLine("MENUGROUP");
    bool hasGroup = c.menuGroup != nullptr && c.menuGroup[0] != '\0';
    if (hasGroup) {
        std::string problem = NameProblem(c.menuGroup, NameUse::kGroup);
        char formed[kProgmanCommandSize];
        bool fits = true;
        Join(kProgramsFolder, c.menuGroup, &fits);
        if (!problem.empty()) {
            Error(groupLine, "MENUGROUP " + Q(c.menuGroup) + " has " + problem);
        } else if (!fits || !FormatCreateGroup(formed, sizeof formed, c.menuGroup, nullptr)) {
            Error(groupLine, "MENUGROUP " + Q(c.menuGroup) + " is too long for a start-menu folder" +
                                 Shows(IDS_MENU_FAILED));
        } else if (strchr(c.menuGroup, ',') != nullptr) {
            Warning(groupLine, "MENUGROUP " + Q(c.menuGroup) +
                                   " holds \",\": on Windows NT Program Manager takes the text after it"
                                   " for the group's file");
        }
    }
    if (c.menuUninst == nullptr) return;
    int line = KeywordLine("MENUUNINST");
    if (!hasGroup) {
        Warning(line, "MENUUNINST " + Q(c.menuUninst) + " is not made: the script has no MENUGROUP");
        return;
    }
    std::string problem = NameProblem(c.menuUninst, NameUse::kShortcut);
    if (!problem.empty()) {
        Error(line, "MENUUNINST " + Q(c.menuUninst) + " has " + problem);
        return;
    }
    if (strchr(c.menuUninst, ',') != nullptr) {
        Warning(line, "MENUUNINST " + Q(c.menuUninst) +
                          " holds \",\": on Windows NT Program Manager takes the text after it for an icon");
    }
    if (!destinationKnown_ || c.unZelkName == nullptr) return;
    char command[kPathSize];
    char formed[kProgmanCommandSize];
    if (FormatUninstallCommand(command, sizeof command, c.destination, c.unZelkName) &&
        !FormatAddItem(formed, sizeof formed, command, c.menuUninst, nullptr, 0)) {
        Error(line, "the Program Manager command for MENUUNINST " + Q(c.menuUninst) +
                        " is longer than 255 bytes; on Windows NT the start-menu step fails" +
                        Shows(IDS_MENU_FAILED));
    }
}

void ScriptChecker::CheckRegistry() {
    const SetupContext& c = *context_;
    int line = KeywordLine("UNREGISTRY");
    char key[kPathSize];
    if (c.unRegistry != nullptr && c.unRegistry[0] == '\0') {
        Error(line, "UNREGISTRY is empty: setup.exe cannot register the uninstaller" + Shows(IDS_REGISTRY_FAILED));
    } else if (c.unRegistry != nullptr && !JoinPath(key, kUninstallBranch, c.unRegistry)) {
        Error(line, "UNREGISTRY " + Q(c.unRegistry) + " is too long for a registry key" +
                        Shows(IDS_REGISTRY_FAILED));
    }
    if (c.unRegistry != nullptr && c.unRegistry[0] != '\0' && key[0] != '\0') DescribeEntry(key);
    if (!destinationKnown_ || c.unZelkName == nullptr) return;
    char command[kPathSize];
    // The icon's path is an installed file's: one that does not fit is reported with it.
    if (!FormatUninstallCommand(command, sizeof command, c.destination, c.unZelkName)) {
        Error(std::max(KeywordLine("DIRECTORY"), KeywordLine("BASENAME")),
              "the uninstall command for " + Q(c.destination) +
                  " is longer than 259 bytes; setup.exe cannot register the uninstaller" +
                  Shows(IDS_REGISTRY_FAILED));
    }
}

// The entry under the proposed folder; what only the run decides is said in words.
void ScriptChecker::DescribeEntry(const char* key) {
    const SetupContext& c = *context_;
    const std::string chosen = "<the folder the user chooses>";
    const std::string folder = destinationKnown_ ? ShowSjis(c.destination) : chosen;
    auto inFolder = [&](const char* name) {
        bool fits = true;
        return destinationKnown_ ? ShowSjis(Join(c.destination, name, &fits)) : chosen + "\\" + ShowSjis(name);
    };
    char command[kPathSize];
    std::string shownCommand =
        destinationKnown_ && c.unZelkName != nullptr &&
                FormatUninstallCommand(command, sizeof command, c.destination, c.unZelkName)
            ? ShowSjis(command)
            : "the uninstaller's path, \" *\" and the uninstall record's path";
    std::string size = MeasureInstalledSizes()
                           ? std::to_string(InstalledKilobytes(c)) + " (REG_DWORD, kilobytes)"
                           : "the kilobytes of the installed files, unZELK.exe and rmZELK.bin (REG_DWORD; "
                             "measured from the medium when setup.exe starts)";
    result_.entryKey = "HKEY_LOCAL_MACHINE\\" + ShowSjis(key);
    result_.entry = {
        {"UninstallString", shownCommand},
        {"DisplayName", ShowSjis(c.unRegDisplay ? c.unRegDisplay : "")},
        {kIconValue, inFolder(ProgramIconName(c))},
        {kVersionValue, ShowSjis(c.appVersion ? c.appVersion : "")},
        {kLocationValue, folder},
        {kSizeValue, size},
        {kDateValue, "the day of the installation, as YYYYMMDD (the user's local date)"},
        {kNoModifyValue, "1 (REG_DWORD)"},
        {kNoRepairValue, "1 (REG_DWORD)"},
    };
}

// Fills fileSize as setup measures it at start-up; false when a file is not at hand (a
// product folder does not hold setup's own files).
bool ScriptChecker::MeasureInstalledSizes() {
    SetupContext& c = *context_;
    for (int i = 0; i < c.fileCount + 2; ++i) {
        if (c.fileSource[i] == nullptr) return false;
        bool fits = true;
        std::string path = Join(c.srcDirectory, c.fileSource[i], &fits);
        // From a product folder a compressed source is made from the plain file beside it.
        if (options_.product && i < c.fileCount && IsCompressedName(c.fileSource[i]) && c.fileDest[i] != nullptr) {
            path = path.substr(0, path.size() - LastComponent(path).size()) + LastComponent(c.fileDest[i]);
        }
        FoundFile found = medium_.Find(path);
        if (!fits || found.status != FoundFile::kFound || !InstalledSize(found.linuxPath, &c.fileSize[i])) return false;
    }
    return true;
}

// Two entries installed under one name: the later copy replaces the earlier one, and
// setup's own files replace any of the script's.
void ScriptChecker::CheckDuplicates() {
    const SetupContext& c = *context_;
    std::map<std::string, int> seen;
    auto upper = [](std::string s) {
        for (char& ch : s) {
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        }
        return s;
    };
    seen[upper(kUninstallerName)] = -1;
    seen[upper(kCompanionName)] = -1;
    if (c.unZelkName != nullptr) seen[upper(c.unZelkName)] = -2;
    for (int i = 0; i < c.fileCount; ++i) {
        if (c.fileSource[i] == nullptr) continue;
        const char* name = InstalledFileName(c, i);
        auto inserted = seen.emplace(upper(name), fileLines_[i]);
        if (inserted.second) continue;
        int other = inserted.first->second;
        std::string with = other == -1   ? "setup's own file of that name replaces it"
                           : other == -2 ? "the uninstall record (UNZELKNAME) replaces it"
                                         : "line " + Number(other) + " installs the same name";
        Warning(fileLines_[i], "installed name " + Q(name) + " is used twice: " + with);
    }
}

}  // namespace checker
