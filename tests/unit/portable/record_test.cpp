// The uninstall record: both readers on the awkward lines a record may hold, the limits of
// each list, and the writer's output read back by both.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/record.h"
#include "setup/record_writer.h"
#include "temp_file.h"

namespace {

const RecordReaderRules kSetupRules{16, 16, false};
const RecordReaderRules kUnzelkRules{64, 64, true};

using Messages = std::vector<std::string>;

RecordSink MessageSink(Messages* messages) {
    RecordSink sink{};
    sink.user = messages;
    sink.cannotOpen = [](void* user, const char* path) {
        static_cast<Messages*>(user)->push_back(std::string("cannot open ") + path);
    };
    sink.notAllRead = [](void* user) { static_cast<Messages*>(user)->push_back("not all read"); };
    sink.invalidLine = [](void* user, const char* field) {
        static_cast<Messages*>(user)->push_back(std::string("invalid ") + field);
    };
    sink.outOfMemory = [](void* user) { static_cast<Messages*>(user)->push_back("no memory"); };
    return sink;
}

std::string List(char* const* entries, int count) {
    std::string text = "[";
    for (int i = 0; i < count; ++i) text += (i ? "|" : "") + std::string(entries[i]);
    return text + "]";
}

// The record in one line, only what is set.
std::string Describe(const UninstallRecord& r) {
    std::string text;
    const struct {
        const char* name;
        const char* value;
    } singles[] = {{"title", r.title}, {"group", r.menuGroup}, {"unreg", r.unRegistry},
                   {"app", r.appRegistry}, {"version", r.appVersion}};
    for (const auto& single : singles) {
        if (single.value) text += std::string(single.name) + "=" + single.value + " ";
    }
    if (r.dirDepth) text += "depth=" + std::to_string(r.dirDepth) + " ";
    if (r.fileCount) text += "files=" + List(r.files, r.fileCount) + " ";
    if (r.directoryCount) text += "dirs=" + List(r.directories, r.directoryCount) + " ";
    if (r.menuItemCount) text += "menu=" + List(r.menuItems, r.menuItemCount) + " ";
    if (r.dllCount) text += "dlls=" + List(r.dlls, r.dllCount) + " ";
    for (int i = 0; i < r.fontCount; ++i) {
        text += "font=" + std::string(r.fontFiles[i]) + "," + r.fontNames[i] + " ";
    }
    if (!text.empty()) text.pop_back();
    return text;
}

struct Read {
    std::unique_ptr<UninstallRecord> record = std::make_unique<UninstallRecord>();
    Messages messages;
    int result;
    Read(const std::string& text, const RecordReaderRules& rules) {
        TempFile file(text, "zelk_record.dat");
        result = ReadRecordFile(*record, file.path(), rules, MessageSink(&messages));
    }
    ~Read() { FreeUninstallRecord(*record); }
};

struct ReaderCase {
    const char* text;
    const char* expected;
    Messages unzelkMessages;  // setup's reader is always silent
};

const ReaderCase kReaderCases[] = {
    {"dirdepth=3\n", "depth=3", {}},
    {"DirDepth=3\r\n", "depth=3", {}},
    {"DirDepth=abc\n", "", {}},
    {"DirDepth=-1\n", "depth=-1", {}},
    {"Title =  Sample \n", "title=Sample", {}},
    {"TITLE=A=B\n", "title=A", {}},
    {"Title=   \n", "title=", {}},
    {"Title=old\ntitle=new\n", "title=new", {}},
    {"Title=\n", "files=[Title=]", {}},
    {"C:\\App\\a,b.txt\n", "files=[C:\\App\\a]", {}},
    {"C:\\App\\a=b.txt\n", "", {"invalid C:\\App\\a"}},
    {"Font=a.ttf,A Font,extra\n", "font=a.ttf,A Font", {}},
    {"Font=a.ttf\n", "", {"invalid a.ttf"}},
    {"Colour=red\n", "", {"invalid Colour"}},
    {"  ;not a comment\n;comment\n[section]\n", "files=[;not a comment]", {}},
    {"   \n", "files=[]", {}},
    {",,,\n\n", "", {}},
    {"", "", {}},
    {"Directory=C:\\App\\Data\\\nDirectory=C:\\表\n", "dirs=[C:\\App\\Data|C:\\表]", {}},
    {"MenuGroup=G\nMenuItem=A\nmenuitem=B\nDll=x.dll\nUnRegistry=U\nAppRegistry=P\nAppVersion=1\n",
     "group=G unreg=U app=P version=1 menu=[A|B] dlls=[x.dll]", {}},
    {"C:\\a\x1A" "C:\\b\n", "files=[C:\\a]", {}},
};

TEST(RecordReader, Lines) {
    for (const ReaderCase& test : kReaderCases) {
        SCOPED_TRACE(test.text);
        Read setup(test.text, kSetupRules);
        EXPECT_EQ(setup.result, 1);
        // A blank-only line is a file with an empty path, shown here as "[]".
        EXPECT_EQ(Describe(*setup.record), test.expected);
        EXPECT_TRUE(setup.messages.empty());
        Read unzelk(test.text, kUnzelkRules);
        EXPECT_EQ(Describe(*unzelk.record), test.expected);
        EXPECT_EQ(unzelk.messages, test.unzelkMessages);
    }
}

TEST(RecordReader, LongLineIsReadInPieces) {
    Read read(std::string(259, 'a') + std::string(41, 'b') + "\r\n", kSetupRules);
    ASSERT_EQ(read.record->fileCount, 2);
    EXPECT_EQ(read.record->files[0], std::string(259, 'a'));
    EXPECT_EQ(read.record->files[1], std::string(41, 'b'));
}

TEST(RecordReader, MissingFile) {
    for (const RecordReaderRules* rules : {&kSetupRules, &kUnzelkRules}) {
        UninstallRecord record{};
        Messages messages;
        EXPECT_EQ(ReadRecordFile(record, "no-such-folder/x.dat", *rules, MessageSink(&messages)), 0);
        EXPECT_EQ(messages.size(), rules->reportProblems ? 1u : 0u);
    }
}

std::string Lines(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + std::to_string(i) + "\n";
    return text;
}

// Each list's limit in each reader, and what the line beyond it does.
TEST(RecordReader, ListLimits) {
    const struct {
        std::string text;
        const RecordReaderRules* rules;
        int UninstallRecord::*count;
        int expected;
        size_t messages;
    } cases[] = {
        {Lines("C:\\f", 600), &kSetupRules, &UninstallRecord::fileCount, 511, 0},
        {Lines("C:\\f", 600), &kUnzelkRules, &UninstallRecord::fileCount, 511, 1},
        {Lines("C:\\f", 511) + "Title=late\n", &kUnzelkRules, &UninstallRecord::fileCount, 511, 0},
        {Lines("Directory=C:\\d", 520), &kSetupRules, &UninstallRecord::directoryCount, 511, 0},
        {Lines("Directory=C:\\d", 520), &kUnzelkRules, &UninstallRecord::directoryCount, 511, 9},
        {Lines("MenuItem=m", 520), &kUnzelkRules, &UninstallRecord::menuItemCount, 512, 0},
        {Lines("Dll=d", 20), &kSetupRules, &UninstallRecord::dllCount, 16, 0},
        {Lines("Dll=d", 70), &kUnzelkRules, &UninstallRecord::dllCount, 64, 0},
        {Lines("Font=f,n", 20), &kSetupRules, &UninstallRecord::fontCount, 16, 0},
        {Lines("Font=f,n", 70), &kUnzelkRules, &UninstallRecord::fontCount, 64, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text.substr(0, 12) + (test.rules->reportProblems ? " unZELK" : " setup"));
        Read read(test.text, *test.rules);
        EXPECT_EQ(read.result, 1);
        EXPECT_EQ(read.record.get()->*test.count, test.expected);
        EXPECT_EQ(read.messages.size(), test.messages);
    }
    // The 512th file line ends the reading: what follows it is not read.
    Read ended(Lines("C:\\f", 512) + "Title=late\n", kUnzelkRules);
    EXPECT_EQ(ended.record->title, nullptr);
    EXPECT_EQ(ended.messages, (Messages{"not all read"}));
}

TEST(RecordReader, SplitFieldsCountsThree) {
    char first[260], second[260];
    EXPECT_EQ(SplitFields("a, b ,c,d", ",", first, second), 3);
    EXPECT_STREQ(first, "a");
    EXPECT_STREQ(second, "b");
    EXPECT_EQ(SplitFields(",,", ",", first, second), 0);
    EXPECT_STREQ(first, "");
    EXPECT_EQ(SplitFields(" ", ",", first, second), 1);
}

// A context with every kind of entry, as setup holds it after the copy.
std::unique_ptr<SetupContext> SampleContext() {
    auto c = std::make_unique<SetupContext>();
    c->title = DuplicateString("Sample");
    c->menuGroup = DuplicateString("Sample");
    c->unRegistry = DuplicateString("Sample");
    c->appRegistry = DuplicateString("Sample");
    c->appVersion = DuplicateString("1.0");
    c->unZelkName = DuplicateString("unZELK.dat");
    c->menuUninst = DuplicateString("Remove Sample");
    CopyString(c->destination, "C:\\Program Files\\ZELK\\Sample");
    c->dirDepth = 2;
    c->fileSource[0] = DuplicateString("SAMPLE.EX_");
    c->fileDest[0] = DuplicateString("SAMPLE.EXE");
    c->fileMenuItem[0] = DuplicateString("Sample");
    c->fileCount = 1;
    c->dllSource[0] = DuplicateString("SAMPLE.DLL");
    c->dllCount = 1;
    c->fontSource[0] = DuplicateString("SAMPLE.TT_");
    c->fontDest[0] = DuplicateString("SAMPLE.TTF");
    c->fontName[0] = DuplicateString("Sample Font (TrueType)");
    c->fontCount = 1;
    return c;
}

std::string Write(const SetupContext& context, bool* ok) {
    TempFile file("", "zelk_written.dat");
    ByteFile out;
    out.CreateForWriting(file.path());
    *ok = WriteRecordLines(context, out);
    out.Close();
    return file.Read();
}

TEST(RecordWriter, LinesInOrder) {
    auto context = SampleContext();
    bool ok = false;
    EXPECT_EQ(Write(*context, &ok),
              "Title=Sample\r\nMenuGroup=Sample\r\nUnRegistry=Sample\r\nAppRegistry=Sample\r\n"
              "AppVersion=1.0\r\nDirDepth=2\r\n"
              "C:\\Program Files\\ZELK\\Sample\\unZELK.dat\r\n"
              "C:\\Program Files\\ZELK\\Sample\\SAMPLE.EXE\r\n"
              "MenuItem=Sample\r\nMenuItem=Remove Sample\r\nDll=SAMPLE.DLL\r\n"
              "Font=SAMPLE.TTF,Sample Font (TrueType)\r\n");
    EXPECT_TRUE(ok);
}

// A line the readers could not take whole fails the writing.
TEST(RecordWriter, OverlongLineFails) {
    auto context = SampleContext();
    free(context->fileMenuItem[0]);
    context->fileMenuItem[0] = DuplicateString(std::string(251, 'm').c_str());  // 9 + 251 = 260
    bool ok = true;
    std::string written = Write(*context, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(written.find("MenuItem=mmm"), std::string::npos);
    free(context->fileMenuItem[0]);
    context->fileMenuItem[0] = DuplicateString(std::string(250, 'm').c_str());
    Write(*context, &ok);
    EXPECT_TRUE(ok);
}

// A context at every limit of setup, with long names, comes back whole from both readers.
TEST(RecordWriter, RoundTripAtTheLimits) {
    auto c = SampleContext();
    CopyString(c->destination, ("D:\\" + std::string(180, 'd') + "\\表").c_str());
    auto name = [](const char* kind, int i) {
        return std::string(kind) + std::to_string(i) + std::string(60, 'x');
    };
    free(c->fileSource[0]);
    free(c->fileDest[0]);
    free(c->fileMenuItem[0]);
    for (int i = 0; i < kMaxScriptFiles; ++i) {
        c->fileSource[i] = DuplicateString(name("s", i).c_str());
        c->fileDest[i] = i % 2 ? DuplicateString(name("d", i).c_str()) : nullptr;
        c->fileMenuItem[i] = i % 3 ? DuplicateString(name("m", i).c_str()) : nullptr;
    }
    c->fileCount = kMaxScriptFiles;
    for (int i = 0; i < kMaxAddFiles; ++i) c->addFile[i] = DuplicateString(name("a", i).c_str());
    c->addFileCount = kMaxAddFiles;
    for (int i = 1; i < kMaxDlls; ++i) c->dllSource[i] = DuplicateString(name("l", i).c_str());
    c->dllCount = kMaxDlls;
    for (int i = 1; i < kMaxFonts; ++i) {
        c->fontSource[i] = DuplicateString(name("f", i).c_str());
        c->fontName[i] = DuplicateString(name("n", i).c_str());
    }
    c->fontCount = kMaxFonts;

    bool ok = false;
    std::string text = Write(*c, &ok);
    ASSERT_TRUE(ok);
    for (const RecordReaderRules* rules : {&kSetupRules, &kUnzelkRules}) {
        Read read(text, *rules);
        const UninstallRecord& r = *read.record;
        EXPECT_TRUE(read.messages.empty());
        EXPECT_STREQ(r.title, "Sample");
        EXPECT_EQ(r.dirDepth, 2);
        ASSERT_EQ(r.fileCount, 1 + kMaxScriptFiles + kMaxAddFiles);
        char path[kPathSize];
        JoinPath(path, c->destination, "unZELK.dat");
        EXPECT_STREQ(r.files[0], path);
        for (int i = 0; i < kMaxScriptFiles; ++i) {
            JoinPath(path, c->destination, InstalledFileName(*c, i));
            EXPECT_STREQ(r.files[1 + i], path);
        }
        JoinPath(path, c->destination, c->addFile[63]);
        EXPECT_STREQ(r.files[r.fileCount - 1], path);
        int menuItems = 0;
        for (int i = 0; i < kMaxScriptFiles; ++i) {
            if (c->fileMenuItem[i]) {
                EXPECT_STREQ(r.menuItems[menuItems++], c->fileMenuItem[i]);
            }
        }
        ASSERT_EQ(r.menuItemCount, menuItems + 1);
        EXPECT_STREQ(r.menuItems[menuItems], "Remove Sample");
        ASSERT_EQ(r.dllCount, kMaxDlls);
        EXPECT_STREQ(r.dlls[15], c->dllSource[15]);
        ASSERT_EQ(r.fontCount, kMaxFonts);
        EXPECT_STREQ(r.fontFiles[0], "SAMPLE.TTF");
        EXPECT_STREQ(r.fontFiles[15], c->fontSource[15]);
        EXPECT_STREQ(r.fontNames[15], c->fontName[15]);
        // Every line setup writes is the product's own: the removal acts on all of them.
        char folder[kPathSize];
        JoinPath(path, c->destination, "unZELK.dat");
        GetRecordFolder(folder, path);
        EXPECT_STREQ(folder, c->destination);
        EXPECT_EQ(FormatForeignLines(r, folder, "heading"), nullptr);
    }
}

// The lines a changed record could steer the removal outside the product with, as the user
// is told about them.
TEST(RecordScope, ForeignLinesAreNamed) {
    const struct {
        std::string text;
        std::string listed;  // what follows the heading and its blank line; "" for no notice
    } cases[] = {
        {"C:\\Game\\a.exe\nDirectory=C:\\Game\\data\\\nDirectory=C:\\Game\nMenuGroup=ZELK\\Game\n"
         "MenuItem=Game\nDll=A.DLL\nFont=A.TTF,A (TrueType)\n   \n",
         ""},
        {"MenuGroup=..\\Startup\nC:\\Windows\\win.ini\nc:\\game\\A.EXE\nC:\\Game2\\a.exe\n"
         "Directory=C:\\Game\\..\nMenuItem=..\\..\\x\nDll=..\\system32\\a.dll\nDll=C:\\a.dll\n"
         "Font=sub\\a.ttf,A (TrueType)\nFont=b.ttf,..\\B\n",
         "MenuGroup=..\\Startup\nC:\\Windows\\win.ini\nC:\\Game2\\a.exe\nDirectory=C:\\Game\\..\n"
         "MenuItem=..\\..\\x\nDll=..\\system32\\a.dll\nDll=C:\\a.dll\nFont=sub\\a.ttf,A (TrueType)\n"},
        {Lines("C:\\Other\\f", 20), Lines("C:\\Other\\f", 16) + "ほか4行\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text.substr(0, 24));
        Read read(test.text, kUnzelkRules);
        char* text = FormatForeignLines(*read.record, "C:\\Game", "heading");
        EXPECT_EQ(text ? std::string(text) : "", test.listed.empty() ? "" : "heading\n\n" + test.listed);
        free(text);
    }
    char folder[kPathSize];
    for (const char* relative : {"unZELK.dat", "Game\\unZELK.dat", ""}) {
        GetRecordFolder(folder, relative);
        EXPECT_STREQ(folder, "") << relative;
    }
    GetRecordFolder(folder, "\\\\server\\share\\unZELK.dat");
    EXPECT_STREQ(folder, "\\\\server\\share");
}

}  // namespace
