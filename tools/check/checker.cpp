// The script check. The reading is setup's own (ReadSetupScript, CompleteSetupScript with
// the line handler of ScriptReport); checker_install.cpp then checks the setup context it
// filled the way the later steps of setup would use it, on an assumed machine: setup on
// drive D: (options.setupDir), Windows in C:\\WINDOWS, the default destination.
#include "script_checker.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/textsub.h"
#include "ids.h"
#include "setup_strings.h"
#include "sjis.h"

namespace checker {

std::string SetupText(int id) {
    for (const auto& entry : kSetupStrings) {
        if (entry.id == id) return entry.text;
    }
    return "?";
}

std::string Shows(const std::string& text) { return " [setup.exe: " + text + "]"; }
std::string Shows(int stringId) { return Shows(SetupText(stringId)); }

std::string Q(const std::string& sjis) { return "\"" + ShowSjis(sjis) + "\""; }
std::string Q(const char* sjis) { return Q(std::string(sjis ? sjis : "")); }

std::string Number(int n) { return std::to_string(n); }

std::string Join(const char* folder, const char* name, bool* fits) {
    char path[kPathSize];
    *fits = JoinPath(path, folder ? folder : "", name ? name : "");
    return *fits ? std::string(path) : std::string(folder ? folder : "") + "\\" + (name ? name : "");
}

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
            // A BASENAME line with only blanks after "=" leaves the name empty.
            int line = KeywordLine(required.keyword);
            std::string what = line ? std::string(required.keyword) + " is empty"
                                    : std::string("no ") + required.keyword + " line";
            Error(line, what + "; setup.exe needs one and ends" + Shows(stringId));
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

// A product folder's script as the medium builder puts it on the medium, for setup to
// read: UTF-8 text in Shift-JIS (a character Shift-JIS lacks is an error), a UTF-8
// byte-order mark dropped, every line ending in CR LF. Written to path.
bool ScriptChecker::WriteMediumScript(const std::string& path) {
    std::ifstream in(options_.script, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in) return false;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    bool utf8 = IsUtf8(text) && std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
    std::istringstream lines(text);
    std::string script, line, converted;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t at;
        if (utf8 && !Utf8ToSjis(line, &converted, &at)) {
            size_t length = 1;
            while (at + length < line.size() && (line[at + length] & 0xC0) == 0x80) ++length;
            Error(number, "\"" + line.substr(at, length) + "\" has no Shift-JIS form, which the medium's script needs");
        }
        script += utf8 ? converted : line;
        if (!lines.eof()) script += "\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << script);
}

namespace {

// A file of our own in /tmp, removed with its owner.
struct TemporaryFile {
    std::string path;
    TemporaryFile() {
        char name[] = "/tmp/zelk-check-XXXXXX";
        int descriptor = mkstemp(name);
        if (descriptor >= 0) close(descriptor), path = name;
    }
    ~TemporaryFile() {
        if (!path.empty()) unlink(path.c_str());
    }
};

}  // namespace

CheckResult ScriptChecker::Run() {
    messages_.clear();
    std::string script = options_.script;
    std::unique_ptr<TemporaryFile> temporary;
    if (options_.product) {
        if (options_.scriptOut.empty()) temporary.reset(new TemporaryFile);
        script = temporary ? temporary->path : options_.scriptOut;
        if (!WriteMediumScript(script)) {
            Error(0, "cannot be read, or its form for the medium cannot be written to " + script);
            return result_;
        }
    }
    if (ReadSetupScript(*context_, script.c_str(), Report()) != 0) {
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

}  // namespace checker

CheckResult CheckScript(const CheckOptions& options) {
    CheckOptions complete = options;
    if (complete.label.empty()) complete.label = complete.script;
    if (complete.folder.empty()) {
        size_t slash = complete.script.find_last_of('/');
        complete.folder = slash == std::string::npos ? "." : complete.script.substr(0, slash + 1);
    }
    checker::ScriptChecker check(complete);
    return check.Run();
}
