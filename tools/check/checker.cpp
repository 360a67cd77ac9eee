// The script check. The reading is setup's own (ReadSetupScript, CompleteSetupScript with
// the line handler of ScriptReport); what follows checks the setup context it filled the
// way the later steps of setup would use it, on an assumed machine: setup on drive D:
// (options.setupDir), Windows in C:\WINDOWS, the default destination.
#include "checker.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <memory>

#include "common/command.h"
#include "common/progman.h"
#include "common/textsub.h"
#include "ids.h"
#include "medium.h"
#include "names.h"
#include "setup/misc_path.h"
#include "setup/missing_file.h"
#include "setup/script.h"
#include "setup_strings.h"
#include "sjis.h"

namespace {

// The start menu's Programs folder of a typical Windows 95 machine; shortcut paths are
// measured against it.
const char kProgramsFolder[] = "C:\\WINDOWS\\Start Menu\\Programs";
// Where the uninstall entry lives (its key name must fit a path buffer with it).
const char kUninstallBranch[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string SetupText(int id) {
    for (const auto& entry : kSetupStrings) {
        if (entry.id == id) return entry.text;
    }
    return "?";
}

// " [setup.exe: <text>]": what the user would see.
std::string Shows(const std::string& text) { return " [setup.exe: " + text + "]"; }
std::string Shows(int id) { return Shows(SetupText(id)); }

std::string Q(const std::string& sjis) { return "\"" + ShowSjis(sjis) + "\""; }
std::string Q(const char* sjis) { return Q(std::string(sjis ? sjis : "")); }

std::string Number(int n) { return std::to_string(n); }

std::string Join(const char* folder, const char* name, bool* fits) {
    char path[kPathSize];
    *fits = JoinPath(path, folder ? folder : "", name ? name : "");
    return *fits ? std::string(path) : std::string(folder ? folder : "") + "\\" + (name ? name : "");
}

struct Event {
    int line;
    std::string text;
    ScriptLineKind kind;
    std::string keyword;
    int index;
    bool stopped;
    bool cut;
};

class ScriptChecker {
public:
    explicit ScriptChecker(const CheckOptions& options)
        : options_(options), context_(new SetupContext()), medium_(options.folder, options.setupDir) {
        CopyString(context_->sourceDir, options.setupDir.c_str());
        CopyString(context_->windowsDir, options.windowsDir.c_str());
    }

    CheckResult Run();

private:
    static void OnMessage(void* user, int stringId, int lineNumber) {
        static_cast<ScriptChecker*>(user)->messages_.emplace_back(stringId, lineNumber);
    }
    static void OnLine(void* user, const ScriptLine& line) {
        static_cast<ScriptChecker*>(user)->events_.push_back(Event{
            line.lineNumber, line.text, line.kind, line.keyword ? line.keyword : "", line.index,
            line.stopped, line.cut});
    }
    ScriptReport Report() { return ScriptReport{OnMessage, this, OnLine}; }

    void Add(int line, Finding::Level level, const std::string& text) {
        result_.findings.push_back(Finding{line, level, text});
        if (level == Finding::kError) ++result_.errors;
        if (level == Finding::kWarning) ++result_.warnings;
    }
    void Error(int line, const std::string& text) { Add(line, Finding::kError, text); }
    void Warning(int line, const std::string& text) { Add(line, Finding::kWarning, text); }
    // The SRCDIRECTORY line, or line when the source folder is the default.
    int SourceFolderLine(int line) const {
        int folderLine = KeywordLine("SRCDIRECTORY");
        return folderLine ? folderLine : line;
    }
    int KeywordLine(const char* keyword) const {
        auto found = keywordLines_.find(keyword);
        return found == keywordLines_.end() ? 0 : found->second;
    }

    void ReportReading();
    void ReportStop(int stringId, const Event& event);
    void Complete();
    void CheckDestination();
    void CheckFiles();
    void CheckList(const char* what, int count, char* const* sources, char* const* dests,
                   const std::vector<int>& lines, const char* folder95, const char* folderNT);
    void CheckAddFiles();
    void CheckMenu();
    void CheckRegistry();
    void CheckDuplicates();
    bool CheckInstalledName(int line, const char* what, const char* name, NameUse use,
                            const char* folder);
    bool CheckSource(int line, const char* what, const char* source, const char* dest,
                     bool needsDrive, const std::string& hint);
    void Missing(int line, const char* what, const std::string& windowsPath, const FoundFile& found,
                 const std::string& hint);

    const CheckOptions& options_;
    std::unique_ptr<SetupContext> context_;
    MediumFolder medium_;
    CheckResult result_;
    std::vector<std::pair<int, int>> messages_;  // string ID, line
    std::vector<Event> events_;
    std::map<std::string, int> keywordLines_;    // the line whose value a keyword holds
    std::vector<int> fileLines_ = std::vector<int>(kFileSlots, 0);
    std::vector<std::string> fileTexts_ = std::vector<std::string>(kFileSlots);
    std::vector<int> dllLines_ = std::vector<int>(kMaxDlls, 0);
    std::vector<int> fontLines_ = std::vector<int>(kMaxFonts, 0);
    std::vector<int> addFileLines_ = std::vector<int>(kMaxAddFiles, 0);
    bool destinationKnown_ = true;
    bool otherDriveReported_ = false;
    bool noDriveReported_ = false;
};

// ---- the reading ----

void ScriptChecker::ReportStop(int stringId, const Event& event) {
    std::string why;
    if (stringId == IDS_TOO_MANY_ITEMS) {
        switch (event.kind) {
        case ScriptLineKind::kFile: why = "more than " + Number(kMaxScriptFiles) + " file lines"; break;
        case ScriptLineKind::kAddFile: why = "more than " + Number(kMaxAddFiles) + " ADDFILE lines"; break;
        case ScriptLineKind::kDll: why = "more than " + Number(kMaxDlls) + " DLL lines"; break;
        default: why = "more than " + Number(kMaxFonts) + " FONT lines"; break;
        }
    } else if (stringId == IDS_SCRIPT_FORMAT && event.kind == ScriptLineKind::kFont) {
        why = "FONT needs the font's name after a comma (FONT=file.ttf,Name (TrueType))";
    } else if (stringId == IDS_SCRIPT_FORMAT && event.keyword == "SRCDIRECTORY") {
        why = "SRCDIRECTORY joined to setup's folder is longer than 259 bytes";
    } else if (stringId == IDS_SCRIPT_FORMAT && event.text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        why = "the line begins with a UTF-8 byte-order mark, which makes its keyword unknown (save the file"
              " as Shift-JIS)";
    } else if (stringId == IDS_SCRIPT_FORMAT) {
        why = "unknown keyword in " + Q(event.text);
    } else {
        why = "setup.exe runs out of memory";
    }
    Error(event.line, why + "; setup.exe stops reading the script here" + Shows(stringId));
}

void ScriptChecker::ReportReading() {
    int stopLine = 0;
    int previousLine = 0;
    int pieceReported = 0;
    int notShiftJis = 0;
    int firstNotShiftJis = 0;
    for (const Event& event : events_) {
        bool piece = event.line == previousLine;
        previousLine = event.line;
        std::string utf8;
        if (!SjisToUtf8(event.text, &utf8) && notShiftJis++ == 0) firstNotShiftJis = event.line;
        if (piece && event.kind != ScriptLineKind::kSkipped && pieceReported != event.line) {
            pieceReported = event.line;
            Error(event.line, "line longer than 259 bytes: setup.exe reads the rest, " + Q(event.text) +
                                  ", as a line of its own");
        }
        if (event.kind == ScriptLineKind::kIgnored) {
            Add(event.line, Finding::kIgnored,
                Q(event.text) + " is never read: setup.exe stopped at line " + Number(stopLine));
            continue;
        }
        if (event.cut && !event.stopped) {
            Warning(event.line, "setup.exe drops part of " + Q(event.text) +
                                    ": a value ends at a second \"=\", a file line at a second \",\","
                                    " a name at a second \">\"");
        }
        if (event.stopped) stopLine = event.line;
        if (!event.keyword.empty() && event.kind == ScriptLineKind::kValue) {
            keywordLines_[event.keyword] = event.line;
        }
        if (event.index < 0) continue;
        switch (event.kind) {
        case ScriptLineKind::kFile:
            fileLines_[event.index] = event.line;
            fileTexts_[event.index] = event.text;
            break;
        case ScriptLineKind::kDll: dllLines_[event.index] = event.line; break;
        case ScriptLineKind::kFont: fontLines_[event.index] = event.line; break;
        case ScriptLineKind::kAddFile: addFileLines_[event.index] = event.line; break;
        default: break;
        }
    }
    for (const auto& message : messages_) {
        for (const Event& event : events_) {
            if (event.line == message.second && event.stopped) {
                ReportStop(message.first, event);
                break;
            }
        }
    }
    if (notShiftJis > 0) {
        Warning(firstNotShiftJis, "not Shift-JIS text (" + Number(notShiftJis) +
                                      " line(s)); setup.exe reads the bytes as Shift-JIS, so texts and "
                                      "names come out garbled (is the file UTF-8?)");
    }
}

// CompleteSetupScript stops at the first missing keyword. Each one found is reported and
// stood in for, and the completion runs again, so that all of them are reported.
void ScriptChecker::Complete() {
    static const struct {
        int stringId;
        const char* keyword;
        char* SetupContext::*field;
    } kRequired[] = {
        {IDS_NO_TITLE, "TITLE", &SetupContext::title},
        {IDS_NO_LOGO, "LOGO", &SetupContext::logo},
        {IDS_NO_UNREGISTRY, "UNREGISTRY", &SetupContext::unRegistry},
        {IDS_NO_UNREGDISPLAY, "UNREGDISPLAY", &SetupContext::unRegDisplay},
        {IDS_NO_APPREGISTRY, "APPREGISTRY", &SetupContext::appRegistry},
        {IDS_NO_APPVERSION, "APPVERSION", &SetupContext::appVersion},
        {IDS_NO_BASENAME, "BASENAME", nullptr},
    };
    for (size_t round = 0; round <= sizeof kRequired / sizeof kRequired[0]; ++round) {
        messages_.clear();
        if (CompleteSetupScript(*context_, Report()) == 0) return;
        int stringId = messages_.empty() ? 0 : messages_.back().first;
        bool known = false;
        for (const auto& required : kRequired) {
            if (required.stringId != stringId) continue;
            known = true;
            Error(0, std::string("no ") + required.keyword + " line; setup.exe needs one and ends" +
                         Shows(stringId));
            if (required.field != nullptr) {
                (*context_).*required.field = DuplicateString("?");
            } else {
                CopyString(context_->baseName, "?");
                destinationKnown_ = false;
            }
        }
        if (known) continue;
        destinationKnown_ = false;
        if (stringId == IDS_SCRIPT_FORMAT) {
            int line = std::max(KeywordLine("DIRECTORY"), KeywordLine("BASENAME"));
            Error(line, "DIRECTORY and BASENAME together, " + Q(context_->directory) + " and " +
                            Q(context_->baseName) + ", are longer than 259 bytes; setup.exe ends" +
                            Shows(stringId));
        } else {
            Error(0, "setup.exe cannot complete the script" + Shows(stringId));
        }
        return;
    }
}

// ---- what setup does with the values ----

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
        char shown[3 * kPathSize + 64];
        snprintf(shown, sizeof shown, ZELK_MISSING_FILE_FORMAT, ShowSjis(windowsPath).c_str());
        text += Shows(shown);
    }
    Error(line, text);
}

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
    if (found.status != FoundFile::kFound) Missing(line, what, path, found, hint);
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
    if (!destinationKnown_ || c.unZelkName == nullptr) return;
    char command[kPathSize];
    if (!FormatUninstallCommand(command, sizeof command, c.destination, c.unZelkName)) {
        Error(std::max(KeywordLine("DIRECTORY"), KeywordLine("BASENAME")),
              "the uninstall command for " + Q(c.destination) +
                  " is longer than 259 bytes; setup.exe cannot register the uninstaller" +
                  Shows(IDS_REGISTRY_FAILED));
    }
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

CheckResult ScriptChecker::Run() {
    messages_.clear();
    if (ReadSetupScript(*context_, options_.script.c_str(), Report()) != 0) {
        Error(0, "cannot be opened" + Shows(IDS_SCRIPT_OPEN));
        return result_;
    }
    ReportReading();
    Complete();
    CheckDestination();
    CheckFiles();
    char system95[kPathSize], fonts95[kPathSize], systemNT[kPathSize];
    const char* windows = context_->windowsDir;
    bool folders = JoinPath(system95, windows, "SYSTEM") && JoinPath(fonts95, windows, "FONTS") &&
                   JoinPath(systemNT, windows, "SYSTEM");
    if (folders) {
        CheckList("DLL", context_->dllCount, context_->dllSource, context_->dllDest, dllLines_, system95,
                  systemNT);
        CheckList("font", context_->fontCount, context_->fontSource, context_->fontDest, fontLines_, fonts95,
                  systemNT);
    }
    for (int i = 0; i < context_->fontCount; ++i) {
        if (context_->fontName[i] != nullptr && context_->fontName[i][0] == '\0') {
            Warning(fontLines_[i], "font " + Q(context_->fontSource[i]) + " has an empty name after \",\"");
        }
    }
    CheckAddFiles();
    CheckMenu();
    CheckRegistry();
    CheckDuplicates();
    std::stable_sort(result_.findings.begin(), result_.findings.end(), [](const Finding& a, const Finding& b) {
        int left = a.line == 0 ? 1 << 30 : a.line;
        int right = b.line == 0 ? 1 << 30 : b.line;
        return left < right;
    });
    return result_;
}

}  // namespace

CheckResult CheckScript(const CheckOptions& options) {
    CheckOptions complete = options;
    if (complete.label.empty()) complete.label = complete.script;
    if (complete.folder.empty()) {
        size_t slash = complete.script.find_last_of('/');
        complete.folder = slash == std::string::npos ? "." : complete.script.substr(0, slash + 1);
    }
    ScriptChecker checker(complete);
    return checker.Run();
}
