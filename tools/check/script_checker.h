// The script check's working state, shared by its two halves: checker.cpp reads the script
// with setup's reader, checker_install.cpp checks what setup would do with it.
#ifndef ZELK_TOOLS_SCRIPT_CHECKER_H
#define ZELK_TOOLS_SCRIPT_CHECKER_H

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "checker.h"
#include "medium.h"
#include "names.h"
#include "common/textsub.h"
#include "setup/script.h"

namespace checker {

// " [setup.exe: <text>]": what the user would see, by string ID or as a text.
std::string Shows(int stringId);
// A text of setup's string table (UTF-8).
std::string SetupText(int id);
std::string Shows(const std::string& text);
// A script's Shift-JIS text quoted for a message.
std::string Q(const std::string& sjis);
std::string Q(const char* sjis);
std::string Number(int n);
// folder + "\\" + name; *fits false when the result exceeds a path buffer.
std::string Join(const char* folder, const char* name, bool* fits);

// What the reader told about one line.
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

    bool WriteMediumScript(const std::string& path);
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
    void DescribeEntry(const char* key);
    bool MeasureInstalledSizes();
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

}  // namespace checker

#endif
