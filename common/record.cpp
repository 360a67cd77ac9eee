// The uninstall record reader (portable).
//
// One reader serves both programs: the rules set the DLL and font limits and whether
// problems are reported (unZELK) or passed over in silence (setup). A line is a keyword
// line when it splits at "=" into two fields or more, else a file line cut at ",".
#include "record.h"

#include <stdlib.h>
#include <string.h>

#include "linereader.h"
#include "textsub.h"
#include "token.h"

UninstallRecord g_record;

int SplitFields(const char* text, const char* separators, char (&first)[260], char (&second)[260]) {
    return CutFields(text, separators, first, second, 3);
}

namespace {

enum class Flow { kGoOn, kEnd };

class RecordReader {
public:
    RecordReader(UninstallRecord& record, const RecordReaderRules& rules, const RecordSink& sink)
        : record_(record), rules_(rules), sink_(sink) {}

    Flow Line(const char* line);

private:
    // Heap copy of a field; null after the out-of-memory message.
    char* Duplicate(const char* field) const {
        char* copy = DuplicateString(field);
        if (copy == nullptr && sink_.outOfMemory) sink_.outOfMemory(sink_.user);
        return copy;
    }
    // Appends a copy of field to list when count is below limit; false when it is full.
    bool Append(char** list, int& count, int limit, const char* field) const {
        if (count >= limit) return false;
        // An entry whose copy failed is not counted: every counted entry is a string.
        if (char* copy = Duplicate(field)) list[count++] = copy;
        return true;
    }
    void NotAllRead() const {
        if (rules_.reportProblems && sink_.notAllRead) sink_.notAllRead(sink_.user);
    }
    void InvalidLine(const char* field) const {
        if (rules_.reportProblems && sink_.invalidLine) sink_.invalidLine(sink_.user, field);
    }
    bool SingleValue();
    void KeywordLine();
    void FontLine();
    Flow FileLine(const char* line);

    UninstallRecord& record_;
    const RecordReaderRules& rules_;
    const RecordSink& sink_;
    char key_[kPathSize];
    char value_[kPathSize];
};

bool RecordReader::SingleValue() {
    static const struct {
        const char* keyword;
        char* UninstallRecord::*field;
    } kSingles[] = {
        {"TITLE", &UninstallRecord::title},
        {"MENUGROUP", &UninstallRecord::menuGroup},
        {"UNREGISTRY", &UninstallRecord::unRegistry},
        {"APPREGISTRY", &UninstallRecord::appRegistry},
        {"APPVERSION", &UninstallRecord::appVersion},
    };
    for (const auto& single : kSingles) {
        if (SameTextAnyCase(key_, single.keyword)) {
            free(record_.*single.field);
            record_.*single.field = Duplicate(value_);
            return true;
        }
    }
    return false;
}

// "file,value name"; the value name ends at a second comma.
void RecordReader::FontLine() {
    char file[kPathSize];
    char name[kPathSize];
    if (SplitFields(value_, ",", file, name) < 2) {
        InvalidLine(file);
        return;
    }
    int limit = rules_.maxFonts < kRecordFontSlots ? rules_.maxFonts : kRecordFontSlots;
    if (record_.fontCount >= limit) return;
    char* fileCopy = Duplicate(file);
    char* nameCopy = fileCopy ? Duplicate(name) : nullptr;
    if (nameCopy == nullptr) {
        free(fileCopy);
        return;
    }
    record_.fontFiles[record_.fontCount] = fileCopy;
    record_.fontNames[record_.fontCount] = nameCopy;
    ++record_.fontCount;
}

void RecordReader::KeywordLine() {
    if (SingleValue()) return;
    if (SameTextAnyCase(key_, "DIRDEPTH")) {
        record_.dirDepth = ParseDecimal(value_);
    } else if (SameTextAnyCase(key_, "DIRECTORY")) {
        if (EndsWithSeparator(value_)) value_[strlen(value_) - 1] = '\0';
        if (!Append(record_.directories, record_.directoryCount, kRecordMaxDirectories, value_)) {
            NotAllRead();
        }
    } else if (SameTextAnyCase(key_, "MENUITEM")) {
        Append(record_.menuItems, record_.menuItemCount, kRecordMaxMenuItems, value_);
    } else if (SameTextAnyCase(key_, "DLL")) {
        int limit = rules_.maxDlls < kRecordFontSlots ? rules_.maxDlls : kRecordFontSlots;
        Append(record_.dlls, record_.dllCount, limit, value_);
    } else if (SameTextAnyCase(key_, "FONT")) {
        FontLine();
    } else {
        InvalidLine(key_);
    }
}

// A full path; whatever follows a comma is dropped. The 512th path ends the reading.
Flow RecordReader::FileLine(const char* line) {
    char path[kPathSize];
    char rest[kPathSize];
    if (SplitFields(line, ",", path, rest) == 0) return Flow::kGoOn;
    if (!Append(record_.files, record_.fileCount, kRecordMaxFiles, path)) {
        NotAllRead();
        return Flow::kEnd;
    }
    return Flow::kGoOn;
}

Flow RecordReader::Line(const char* line) {
    if (line[0] == '\0' || line[0] == ';' || line[0] == '[') return Flow::kGoOn;
    if (SplitFields(line, "=", key_, value_) >= 2) {
        KeywordLine();
        return Flow::kGoOn;
    }
    return FileLine(line);
}

}  // namespace

int ReadRecordFile(UninstallRecord& record, const char* path, const RecordReaderRules& rules,
                   const RecordSink& sink) {
    LineReader reader;
    if (!reader.Open(path)) {
        if (rules.reportProblems && sink.cannotOpen) sink.cannotOpen(sink.user, path);
        return 0;
    }
    RecordReader lines(record, rules, sink);
    char line[kPathSize];
    while (reader.Next(line)) {
        StripLineEnd(line);
        if (lines.Line(line) == Flow::kEnd) break;
    }
    return 1;
}

void FreeUninstallRecord(UninstallRecord& record) {
    char** singles[] = {&record.title, &record.menuGroup, &record.unRegistry,
                        &record.appRegistry, &record.appVersion};
    for (char** single : singles) {
        free(*single);
        *single = nullptr;
    }
    struct List {
        char** entries;
        int count;
    } lists[] = {
        {record.files, record.fileCount},         {record.directories, record.directoryCount},
        {record.menuItems, record.menuItemCount}, {record.dlls, record.dllCount},
        {record.fontFiles, record.fontCount},     {record.fontNames, record.fontCount},
    };
    for (const List& list : lists) {
        for (int i = 0; i < list.count; ++i) {
            free(list.entries[i]);
            list.entries[i] = nullptr;
        }
    }
}

// ---- what the record may steer ----

namespace {

bool IsFullPath(const char* path) {
    if (path[0] == '\\') return path[1] == '\\';
    return path[0] != '\0' && path[1] == ':' && path[2] == '\\';
}

// One line that the removal leaves alone, as the record has it: key, value and, for a
// font, the value name after a comma.
struct ForeignLine {
    const char* key;
    const char* value;
    const char* extra;
};

// Collects the foreign lines: the first kForeignLinesListed of them, and how many there are.
class ForeignLines {
public:
    void Add(const char* key, const char* value, const char* extra = nullptr) {
        if (value == nullptr || value[0] == '\0') return;  // names nothing
        if (count_ < kForeignLinesListed) listed_[count_] = ForeignLine{key, value, extra};
        ++count_;
    }
    int Count() const { return count_; }
    int Listed() const { return count_ < kForeignLinesListed ? count_ : kForeignLinesListed; }
    const ForeignLine& operator[](int i) const { return listed_[i]; }

private:
    ForeignLine listed_[kForeignLinesListed];
    int count_ = 0;
};

void CollectForeignLines(const UninstallRecord& record, const char* folder, ForeignLines& lines) {
    if (!IsOwnMenuName(record.menuGroup)) lines.Add("MenuGroup=", record.menuGroup);
    for (int i = 0; i < record.fileCount; ++i) {
        if (!IsOwnPath(record.files[i], folder)) lines.Add("", record.files[i]);
    }
    for (int i = 0; i < record.directoryCount; ++i) {
        if (!IsOwnPath(record.directories[i], folder)) lines.Add("Directory=", record.directories[i]);
    }
    for (int i = 0; i < record.menuItemCount; ++i) {
        if (!IsOwnMenuName(record.menuItems[i])) lines.Add("MenuItem=", record.menuItems[i]);
    }
    for (int i = 0; i < record.dllCount; ++i) {
        if (!IsOwnFileName(record.dlls[i])) lines.Add("Dll=", record.dlls[i]);
    }
    for (int i = 0; i < record.fontCount; ++i) {
        if (!IsOwnFileName(record.fontFiles[i])) lines.Add("Font=", record.fontFiles[i], record.fontNames[i]);
    }
}

const char kForeignMoreHead[] = "ほか";
const char kForeignMoreTail[] = "行\n";

}  // namespace

void GetRecordFolder(char (&folder)[kPathSize], const char* recordPath) {
    char name[kPathSize];
    if (recordPath == nullptr || !IsFullPath(recordPath) || !SplitPath(folder, name, recordPath)) {
        folder[0] = '\0';
    }
}

char* FormatForeignLines(const UninstallRecord& record, const char* recordFolder, const char* heading) {
    ForeignLines lines;
    CollectForeignLines(record, recordFolder, lines);
    if (lines.Count() == 0) return nullptr;
    if (heading == nullptr) heading = "";
    char more[12];
    FormatDecimal(more, lines.Count() - lines.Listed());
    // The heading, a blank line, each listed line and its end, the count line, the terminator.
    size_t size = strlen(heading) + 2 + sizeof kForeignMoreHead + sizeof more + sizeof kForeignMoreTail + 1;
    for (int i = 0; i < lines.Listed(); ++i) {
        const ForeignLine& line = lines[i];
        size += strlen(line.key) + strlen(line.value) + (line.extra ? 1 + strlen(line.extra) : 0) + 1;
    }
    char* text = static_cast<char*>(malloc(size));
    if (text == nullptr) return nullptr;
    text[0] = '\0';
    bool fits = AppendString(text, size, heading) && AppendString(text, size, "\n\n");
    for (int i = 0; fits && i < lines.Listed(); ++i) {
        const ForeignLine& line = lines[i];
        fits = AppendString(text, size, line.key) && AppendString(text, size, line.value) &&
               (line.extra == nullptr ||
                (AppendString(text, size, ",") && AppendString(text, size, line.extra))) &&
               AppendString(text, size, "\n");
    }
    if (fits && lines.Count() > lines.Listed()) {
        fits = AppendString(text, size, kForeignMoreHead) && AppendString(text, size, more) &&
               AppendString(text, size, kForeignMoreTail);
    }
    if (!fits) {  // cannot happen with the size above; never show a cut list
        free(text);
        return nullptr;
    }
    return text;
}
