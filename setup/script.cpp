// Reading the setup script into the setup context (portable).
//
// Each line is classified on its first byte, split at "=" and dispatched on its keyword in
// a fixed order; lines without a keyword describe a file to install. Reading that stops on
// a bad line keeps what was read before it.
#include "script.h"

#include <stdlib.h>
#include <string.h>

#include "../common/linereader.h"
#include "../common/token.h"
#include "ids.h"

namespace {

// What a keyword line asks of the reader.
enum class LineResult { kGoOn, kStop };

// One reading of the script: the context being filled, where messages go, and what the
// current line turned out to be (told to a line handler, if the caller gave one).
struct ScriptReader {
    SetupContext& context;
    const ScriptReport& report;
    Tokenizer tokens;
    int lineNumber;
    ScriptLine event;

    void Show(int stringId) const { report.Show(stringId, lineNumber); }

    void BeginLine(int number, const char* text) {
        lineNumber = number;
        event = ScriptLine{number, text, ScriptLineKind::kSkipped, nullptr, -1, false, false};
    }
    void Mark(ScriptLineKind kind, const char* keyword) {
        event.kind = kind;
        event.keyword = keyword;
    }
    int Split(const char* text, const char* separators) {
        int fields = tokens.Split(text, separators);
        event.cut = event.cut || tokens.Dropped();
        return fields;
    }

    // Heap copy of field k of the last split; string 2 when memory runs out.
    char* Copy(int k) {
        char* copy = tokens.CopyField(k);
        if (copy == nullptr) Show(IDS_NO_MEMORY);
        return copy;
    }

    bool Assign(const char* keyword, char** target) {
        if (!tokens.AssignKeyword(keyword, target)) return false;
        if (*target == nullptr) Show(IDS_NO_MEMORY);
        return true;
    }

    LineResult Value(const char* keyword) {
        Mark(ScriptLineKind::kValue, keyword);
        return LineResult::kGoOn;
    }

    bool SplitNames(char* value, char** source, char** dest);
    LineResult KeywordLine();
    LineResult AddFileLine();
    LineResult DllLine();
    LineResult FontLine();
    LineResult SourceDirectoryLine();
    LineResult FileLine(const char* line);
};

// The drive letter that "#" stands for: that of the Windows directory.
char WindowsDrive(const SetupContext& context) {
    return context.windowsDir[0] != '\0' ? context.windowsDir[0] : 'C';
}

// "source>dest" or "source": takes ownership of value. False (all freed) when memory runs
// out, so that no list entry is ever counted without its names.
bool ScriptReader::SplitNames(char* value, char** source, char** dest) {
    if (value == nullptr) return false;
    if (Split(value, ">") < 2) {
        *source = value;
        *dest = nullptr;
        return true;
    }
    free(value);
    *source = Copy(0);
    *dest = *source ? Copy(1) : nullptr;
    if (*source != nullptr && *dest != nullptr) return true;
    free(*source);
    free(*dest);
    return false;
}

LineResult ScriptReader::AddFileLine() {
    Mark(ScriptLineKind::kAddFile, "ADDFILE");
    if (context.addFileCount == kMaxAddFiles) {
        Show(IDS_TOO_MANY_ITEMS);
        return LineResult::kStop;
    }
    char* name = Copy(1);
    if (name != nullptr) {
        event.index = context.addFileCount;
        context.addFile[context.addFileCount++] = name;
    }
    return LineResult::kGoOn;
}

LineResult ScriptReader::DllLine() {
    Mark(ScriptLineKind::kDll, "DLL");
    if (context.dllCount == kMaxDlls) {
        Show(IDS_TOO_MANY_ITEMS);
        return LineResult::kStop;
    }
    int i = context.dllCount;
    if (SplitNames(Copy(1), &context.dllSource[i], &context.dllDest[i])) {
        event.index = i;
        ++context.dllCount;
    }
    return LineResult::kGoOn;
}

// "source[>dest],value name". A value without a comma is a format error.
LineResult ScriptReader::FontLine() {
    Mark(ScriptLineKind::kFont, "FONT");
    if (context.fontCount == kMaxFonts) {
        Show(IDS_TOO_MANY_ITEMS);
        return LineResult::kStop;
    }
    char* value = Copy(1);
    if (value == nullptr) return LineResult::kGoOn;
    bool hasName = Split(value, ",") >= 2;
    free(value);
    if (!hasName) {
        Show(IDS_SCRIPT_FORMAT);
        return LineResult::kStop;
    }
    int i = context.fontCount;
    char* name = Copy(1);
    if (name == nullptr) return LineResult::kGoOn;
    if (!SplitNames(Copy(0), &context.fontSource[i], &context.fontDest[i])) {
        free(name);
        return LineResult::kGoOn;
    }
    context.fontName[i] = name;
    event.index = i;
    ++context.fontCount;
    return LineResult::kGoOn;
}

// An absolute value ("\..." or "X:...") is taken as it is; anything else is relative to
// the folder of setup. A joined path that cannot fit a path buffer stops the reading.
LineResult ScriptReader::SourceDirectoryLine() {
    const char* value = tokens.FieldText(1);
    bool absolute = value[0] == '\\' || (value[0] != '\0' && value[1] == ':');
    char joined[kPathSize];
    if (absolute) {
        CopyString(joined, value);
    } else if (!JoinPath(joined, context.sourceDir, value)) {
        Show(IDS_SCRIPT_FORMAT);
        return LineResult::kStop;
    }
    char* copy = DuplicateString(joined);
    if (copy == nullptr) {
        Show(IDS_NO_MEMORY);
        return LineResult::kStop;
    }
    free(context.srcDirectory);
    context.srcDirectory = copy;
    return LineResult::kGoOn;
}

LineResult ScriptReader::KeywordLine() {
    static const struct {
        const char* keyword;
        char* SetupContext::*field;
    } kTexts[] = {
        {"TITLE", &SetupContext::title},           {"LOGO", &SetupContext::logo},
        {"CAPTION", &SetupContext::caption},       {"MENUGROUP", &SetupContext::menuGroup},
        {"UNREGISTRY", &SetupContext::unRegistry}, {"UNREGDISPLAY", &SetupContext::unRegDisplay},
        {"UNZELKNAME", &SetupContext::unZelkName}, {"APPREGISTRY", &SetupContext::appRegistry},
        {"APPVERSION", &SetupContext::appVersion},
    };
    for (const auto& text : kTexts) {
        if (Assign(text.keyword, &(context.*text.field))) return Value(text.keyword);
    }
    if (Assign("DIRECTORY", &context.directory)) {
        if (context.directory != nullptr && context.directory[0] == '#') {
            context.directory[0] = WindowsDrive(context);
        }
        return Value("DIRECTORY");
    }
    if (tokens.CopyKeyword("BASENAME", context.baseName, sizeof context.baseName)) {
        return Value("BASENAME");
    }
    if (tokens.IsKeyword("ADDFILE")) return AddFileLine();
    if (tokens.IsKeyword("DLL")) return DllLine();
    if (tokens.IsKeyword("FONT")) return FontLine();
    if (Assign("MENUUNINST", &context.menuUninst)) return Value("MENUUNINST");
    if (tokens.IsKeyword("ADDSIZE")) {
        context.addSize = ParseDecimal(tokens.FieldText(1));
        return Value("ADDSIZE");
    }
    if (tokens.IsKeyword("SRCDIRECTORY")) {
        Value("SRCDIRECTORY");
        return SourceDirectoryLine();
    }
    Mark(ScriptLineKind::kUnknown, nullptr);
    Show(IDS_SCRIPT_FORMAT);
    return LineResult::kStop;
}

// "source[>dest][,shortcut]". A line of commas only gives no field and is skipped.
LineResult ScriptReader::FileLine(const char* line) {
    int fields = Split(line, ",");
    if (fields == 0) return LineResult::kGoOn;
    Mark(ScriptLineKind::kFile, nullptr);
    if (context.fileCount == kMaxScriptFiles) {
        Show(IDS_TOO_MANY_ITEMS);
        return LineResult::kStop;
    }
    char* menuItem = nullptr;
    if (fields == 2 && (menuItem = Copy(1)) == nullptr) return LineResult::kGoOn;
    int i = context.fileCount;
    if (!SplitNames(Copy(0), &context.fileSource[i], &context.fileDest[i])) {
        free(menuItem);
        return LineResult::kGoOn;
    }
    context.fileMenuItem[i] = menuItem;
    event.index = i;
    ++context.fileCount;
    return LineResult::kGoOn;
}

bool IsIgnoredLine(const char* line) {
    return line[0] == '\0' || line[0] == ';' || line[0] == '[';
}

// The two files every installation carries behind the script's list; never counted and
// never freed.
void AddBuiltInFiles(SetupContext& context) {
    const char* names[] = {kUninstallerName, kCompanionName};
    for (int k = 0; k < 2; ++k) {
        int i = context.fileCount + k;
        context.fileSource[i] = const_cast<char*>(names[k]);
        context.fileDest[i] = nullptr;
        context.fileMenuItem[i] = nullptr;
    }
}

// After a stop: the lines the reading leaves unread, for a caller that asked to be told.
// Nothing is stored.
void TellIgnoredLines(LineReader& reader, const ScriptReport& report) {
    Tokenizer tokens;
    char line[kPathSize];
    while (reader.Next(line)) {
        StripLineEnd(line);
        bool skipped = IsIgnoredLine(line) ||
                       (tokens.Split(line, "=") < 2 && tokens.Split(line, ",") == 0);
        report.Tell(ScriptLine{reader.LineNumber(), line,
                               skipped ? ScriptLineKind::kSkipped : ScriptLineKind::kIgnored,
                               nullptr, -1, false, false});
    }
}

}  // namespace

int ReadSetupScript(SetupContext& context, const char* fileName, const ScriptReport& report) {
    LineReader reader;
    if (!reader.Open(fileName)) {
        report.Show(IDS_SCRIPT_OPEN, 0);
        return -1;
    }
    ScriptReader script{context, report, Tokenizer(), 0, {}};
    char line[kPathSize];
    bool stopped = false;
    while (!stopped && reader.Next(line)) {
        script.BeginLine(reader.LineNumber(), line);
        StripLineEnd(line);
        if (!IsIgnoredLine(line)) {
            LineResult result = script.Split(line, "=") == 2 ? script.KeywordLine()
                                                              : script.FileLine(line);
            stopped = result == LineResult::kStop;
        }
        script.event.stopped = stopped;
        report.Tell(script.event);
    }
    if (stopped && report.line != nullptr) TellIgnoredLines(reader, report);
    reader.Close();
    AddBuiltInFiles(context);
    return 0;
}

namespace {

// A heap default for an absent value; string 2 when memory runs out.
bool SetDefault(char** target, const char* value, const ScriptReport& report) {
    if (*target != nullptr) return true;
    *target = DuplicateString(value);
    if (*target != nullptr) return true;
    report.Show(IDS_NO_MEMORY, 0);
    return false;
}

// A required keyword's value; its message when the script had none. A value of blanks
// alone counts as none: an empty version, for one, would make every removal delete the
// whole application key with the keys of the product's other versions.
bool Require(const char* value, int stringId, const ScriptReport& report) {
    if (value != nullptr) {
        while (*value == ' ' || *value == '\t') ++value;
        if (*value != '\0') return true;
    }
    report.Show(stringId, 0);
    return false;
}

}  // namespace

int CompleteSetupScript(SetupContext& context, const ScriptReport& report) {
    char directory[] = "#:\\Program Files\\ZELK";
    directory[0] = WindowsDrive(context);
    bool complete = Require(context.title, IDS_NO_TITLE, report) &&
                    Require(context.logo, IDS_NO_LOGO, report) &&
                    SetDefault(&context.caption, context.title, report) &&
                    Require(context.unRegistry, IDS_NO_UNREGISTRY, report) &&
                    Require(context.unRegDisplay, IDS_NO_UNREGDISPLAY, report) &&
                    Require(context.appRegistry, IDS_NO_APPREGISTRY, report) &&
                    Require(context.appVersion, IDS_NO_APPVERSION, report) &&
                    SetDefault(&context.unZelkName, kDefaultRecordName, report) &&
                    SetDefault(&context.srcDirectory, context.sourceDir, report) &&
                    SetDefault(&context.directory, directory, report) &&
                    Require(context.baseName[0] ? context.baseName : nullptr, IDS_NO_BASENAME, report);
    if (!complete) return -1;
    // A destination that cannot be a path at all is refused rather than shortened.
    if (!JoinPath(context.destination, context.directory, context.baseName)) {
        report.Show(IDS_SCRIPT_FORMAT, 0);
        return -1;
    }
    return 0;
}
