// The setup script reader: how each kind of line lands in the setup context, the limits,
// and the completion of the defaults.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ids.h"
#include "setup/entry_values.h"
#include "setup/script.h"
#include "temp_file.h"

namespace {

using Reports = std::vector<std::pair<int, int>>;  // string ID, line number

void Record(void* user, int stringId, int lineNumber) {
    static_cast<Reports*>(user)->emplace_back(stringId, lineNumber);
}

const char kRequired[] =
    "TITLE=T\nLOGO=L\nUNREGISTRY=U\nUNREGDISPLAY=D\nAPPREGISTRY=A\nAPPVERSION=1\nBASENAME=B\n";

struct Script {
    std::unique_ptr<SetupContext> context = std::make_unique<SetupContext>();
    Reports reports;
    ScriptReport report{Record, &reports};

    explicit Script(const char* windowsDir = "D:\\WINDOWS", const char* sourceDir = "E:") {
        CopyString(context->windowsDir, windowsDir);
        CopyString(context->sourceDir, sourceDir);
    }
    int Read(const std::string& text) {
        TempFile file(text, "zelk_setup.dat");
        return ReadSetupScript(*context, file.path(), report);
    }
    std::string File(int i) const {
        const SetupContext& c = *context;
        return std::string(c.fileSource[i] ? c.fileSource[i] : "(null)") + ">" +
               (c.fileDest[i] ? c.fileDest[i] : "(null)") + "," +
               (c.fileMenuItem[i] ? c.fileMenuItem[i] : "(null)");
    }
};

std::string Text(const char* s) { return s ? s : "(null)"; }

struct LineCase {
    const char* name;
    const char* script;
    Reports reports;
    std::function<void(const SetupContext&, const Script&)> check;
};

const LineCase kLineCases[] = {
    {"blanks around = and lower-case keyword", "title = My Game\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.title), "My Game"); }},
    {"second = cuts the value", "TITLE=A=B\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.title), "A"); }},
    {"nothing after = makes a file line", "TITLE=\n", {},
     [](const SetupContext& c, const Script& s) {
         EXPECT_EQ(c.title, nullptr);
         ASSERT_EQ(c.fileCount, 1);
         EXPECT_EQ(s.File(0), "TITLE=>(null),(null)");
     }},
    {"a blank after = gives an empty value", "TITLE= \n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.title), ""); }},
    {"a later value replaces the earlier", "LOGO=a\nlogo=b\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.logo), "b"); }},
    {"blank-only line is a file with an empty name", "   \n", {},
     [](const SetupContext& c, const Script& s) {
         ASSERT_EQ(c.fileCount, 1);
         EXPECT_EQ(s.File(0), ">(null),(null)");
     }},
    {"comma-only line is skipped", ",,,\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(c.fileCount, 0); }},
    {"file lines", "readme.txt\na.ex_>game.exe,Game\na.txt,Read me,extra\n", {},
     [](const SetupContext& c, const Script& s) {
         ASSERT_EQ(c.fileCount, 3);
         EXPECT_EQ(s.File(0), "readme.txt>(null),(null)");
         EXPECT_EQ(s.File(1), "a.ex_>game.exe,Game");
         EXPECT_EQ(s.File(2), "a.txt>(null),Read me");
     }},
    {"comments and sections; an indented comment is a file", "[Files]\n;note\n ;note\n", {},
     [](const SetupContext& c, const Script& s) {
         ASSERT_EQ(c.fileCount, 1);
         EXPECT_EQ(s.File(0), ";note>(null),(null)");
     }},
    {"DLL with and without a new name", "DLL=x.dl_>x.dll\nDLL=y.dll\n", {},
     [](const SetupContext& c, const Script&) {
         ASSERT_EQ(c.dllCount, 2);
         EXPECT_EQ(Text(c.dllSource[0]) + ">" + Text(c.dllDest[0]), "x.dl_>x.dll");
         EXPECT_EQ(Text(c.dllSource[1]) + ">" + Text(c.dllDest[1]), "y.dll>(null)");
     }},
    {"FONT with value name", "FONT=abc.ttf,ABC Font (TrueType)\nFONT=a.tt_ > b.ttf , B\n", {},
     [](const SetupContext& c, const Script&) {
         ASSERT_EQ(c.fontCount, 2);
         EXPECT_EQ(Text(c.fontSource[0]) + ">" + Text(c.fontDest[0]), "abc.ttf>(null)");
         EXPECT_EQ(Text(c.fontName[0]), "ABC Font (TrueType)");
         EXPECT_EQ(Text(c.fontSource[1]) + ">" + Text(c.fontDest[1]) + "," + c.fontName[1],
                   "a.tt_>b.ttf,B");
     }},
    {"FONT without comma stops the reading", "LOGO=x\nFONT=abc.ttf\nTITLE=late\n",
     {{IDS_SCRIPT_FORMAT, 2}},
     [](const SetupContext& c, const Script&) {
         EXPECT_EQ(c.fontCount, 0);
         EXPECT_EQ(Text(c.logo), "x");
         EXPECT_EQ(c.title, nullptr);
     }},
    {"FONT naming a later keyword is still an error", "FONT=MENUUNINST\n",
     {{IDS_SCRIPT_FORMAT, 1}},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(c.menuUninst, nullptr); }},
    {"unknown keyword stops the reading", "TITLE=t\nCOLOR=red\nLOGO=late\n",
     {{IDS_SCRIPT_FORMAT, 2}},
     [](const SetupContext& c, const Script&) {
         EXPECT_EQ(Text(c.title), "t");
         EXPECT_EQ(c.logo, nullptr);
         EXPECT_EQ(Text(c.fileSource[0]), "unZELK.exe");
     }},
    {"ADDSIZE as atoi", "ADDSIZE= 12kb\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(c.addSize, 12); }},
    {"ADDSIZE negative", "ADDSIZE=-5\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(c.addSize, -5); }},
    {"ADDSIZE without digits", "ADDSIZE=abc\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(c.addSize, 0); }},
    {"# is the Windows drive", "DIRECTORY=#:\\Games\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.directory), "D:\\Games"); }},
    {"relative SRCDIRECTORY", "SRCDIRECTORY=DATA\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.srcDirectory), "E:\\DATA"); }},
    {"SRCDIRECTORY from the root", "SRCDIRECTORY=\\DATA\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.srcDirectory), "\\DATA"); }},
    {"SRCDIRECTORY with a drive", "SRCDIRECTORY=F:DATA\nSRCDIRECTORY=F:\\DATA\n", {},
     [](const SetupContext& c, const Script&) { EXPECT_EQ(Text(c.srcDirectory), "F:\\DATA"); }},
    {"CR LF and Ctrl-Z", "TITLE=t\r\nLOGO=l\r\n\x1A" "CAPTION=c\r\n", {},
     [](const SetupContext& c, const Script&) {
         EXPECT_EQ(Text(c.title), "t");
         EXPECT_EQ(Text(c.logo), "l");
         EXPECT_EQ(c.caption, nullptr);
     }},
    {"Shift-JIS values are kept byte for byte", "TITLE=ソフト表\nソフト\\表.txt>表.txt,表\n", {},
     [](const SetupContext& c, const Script& s) {
         EXPECT_EQ(Text(c.title), "ソフト表");
         EXPECT_EQ(s.File(0), "ソフト\\表.txt>表.txt,表");
     }},
};

TEST(SetupScript, Lines) {
    for (const LineCase& test : kLineCases) {
        SCOPED_TRACE(test.name);
        Script script;
        ASSERT_EQ(script.Read(test.script), 0);
        EXPECT_EQ(script.reports, test.reports);
        test.check(*script.context, script);
    }
}

TEST(SetupScript, MissingFileIsReported) {
    Script script;
    EXPECT_EQ(ReadSetupScript(*script.context, "no-such-folder/setup.dat", script.report), -1);
    EXPECT_EQ(script.reports, (Reports{{IDS_SCRIPT_OPEN, 0}}));
}

TEST(SetupScript, LongLineIsReadInPieces) {
    Script script;
    std::string line(259, 'a');
    line += std::string(41, 'b');
    ASSERT_EQ(script.Read("x\n" + line + "\ny\n"), 0);
    ASSERT_EQ(script.context->fileCount, 4);
    EXPECT_EQ(script.context->fileSource[1], std::string(259, 'a'));
    EXPECT_EQ(script.context->fileSource[2], std::string(41, 'b'));
    EXPECT_STREQ(script.context->fileSource[3], "y");
}

TEST(SetupScript, BuiltInFilesFollowTheList) {
    Script script;
    ASSERT_EQ(script.Read("a\nb\n"), 0);
    const SetupContext& c = *script.context;
    EXPECT_EQ(c.fileCount, 2);
    EXPECT_STREQ(c.fileSource[2], "unZELK.exe");
    EXPECT_STREQ(c.fileSource[3], "rmZELK.bin");
    EXPECT_EQ(c.fileDest[3], nullptr);
    EXPECT_EQ(c.fileMenuItem[3], nullptr);
}

// Each list stops the reading at the entry beyond its limit; what was read stays.
struct LimitCase {
    const char* line;
    int limit;
    int SetupContext::*count;
};

TEST(SetupScript, ListLimits) {
    const LimitCase cases[] = {
        {"f.txt", kMaxScriptFiles, &SetupContext::fileCount},
        {"ADDFILE=save.dat", kMaxAddFiles, &SetupContext::addFileCount},
        {"DLL=a.dll", kMaxDlls, &SetupContext::dllCount},
        {"FONT=a.ttf,A", kMaxFonts, &SetupContext::fontCount},
    };
    for (const LimitCase& test : cases) {
        SCOPED_TRACE(test.line);
        std::string text;
        for (int i = 0; i <= test.limit; ++i) text += std::string(test.line) + "\n";
        text += "TITLE=late\n";
        Script script;
        ASSERT_EQ(script.Read(text), 0);
        EXPECT_EQ(script.context.get()->*test.count, test.limit);
        EXPECT_EQ(script.reports, (Reports{{IDS_TOO_MANY_ITEMS, test.limit + 1}}));
        EXPECT_EQ(script.context->title, nullptr);
    }
    Script full;
    std::string text;
    for (int i = 0; i < kMaxScriptFiles; ++i) text += "f" + std::to_string(i) + "\n";
    ASSERT_EQ(full.Read(text), 0);
    EXPECT_STREQ(full.context->fileSource[252], "f252");
    EXPECT_STREQ(full.context->fileSource[253], "unZELK.exe");
    EXPECT_STREQ(full.context->fileSource[254], "rmZELK.bin");
}

TEST(SetupScript, LineNumbersCountPhysicalLines) {
    Script script;
    ASSERT_EQ(script.Read(std::string(300, 'a') + "\r\n\r\n;c\nBAD=1\n"), 0);
    EXPECT_EQ(script.reports, (Reports{{IDS_SCRIPT_FORMAT, 4}}));
}

TEST(SetupScript, OverlongRelativeSourceFolderStops) {
    Script script("C:\\WINDOWS", ("E:\\" + std::string(200, 's')).c_str());
    ASSERT_EQ(script.Read("SRCDIRECTORY=" + std::string(100, 'd') + "\nTITLE=late\n"), 0);
    EXPECT_EQ(script.context->srcDirectory, nullptr);
    EXPECT_EQ(script.reports, (Reports{{IDS_SCRIPT_FORMAT, 1}}));
}

TEST(CompleteScript, Defaults) {
    Script script;
    ASSERT_EQ(script.Read(std::string(kRequired)), 0);
    ASSERT_EQ(CompleteSetupScript(*script.context, script.report), 0);
    const SetupContext& c = *script.context;
    EXPECT_TRUE(script.reports.empty());
    EXPECT_STREQ(c.caption, "T");
    EXPECT_NE(c.caption, c.title);
    EXPECT_STREQ(c.unZelkName, "unZELK.dat");
    EXPECT_STREQ(c.srcDirectory, "E:");
    EXPECT_STREQ(c.directory, "D:\\Program Files\\ZELK");
    EXPECT_STREQ(c.destination, "D:\\Program Files\\ZELK\\B");
    EXPECT_EQ(c.menuGroup, nullptr);
    EXPECT_EQ(c.menuUninst, nullptr);
}

TEST(CompleteScript, DestinationUnderRootDirectory) {
    Script script;
    ASSERT_EQ(script.Read(std::string(kRequired) + "DIRECTORY=C:\\\n"), 0);
    ASSERT_EQ(CompleteSetupScript(*script.context, script.report), 0);
    EXPECT_STREQ(script.context->destination, "C:\\B");
}

// Each required keyword, removed or blank in turn, gives its own message; the first missing
// one wins.
TEST(CompleteScript, RequiredKeywords) {
    const struct {
        const char* keyword;
        int stringId;
    } cases[] = {
        {"TITLE", IDS_NO_TITLE},           {"LOGO", IDS_NO_LOGO},
        {"UNREGISTRY", IDS_NO_UNREGISTRY}, {"UNREGDISPLAY", IDS_NO_UNREGDISPLAY},
        {"APPREGISTRY", IDS_NO_APPREGISTRY}, {"APPVERSION", IDS_NO_APPVERSION},
        {"BASENAME", IDS_NO_BASENAME},
    };
    // Removed, or given a value of blanks alone: both count as missing.
    for (const char* replacement : {"", "= \t\n"}) {
        for (const auto& test : cases) {
            SCOPED_TRACE(std::string(test.keyword) + replacement);
            std::string text = kRequired;
            size_t at = text.find(std::string(test.keyword) + "=");
            size_t end = text.find('\n', at) + 1;
            text.replace(at, end - at, *replacement ? test.keyword + std::string(replacement) : "");
            Script script;
            ASSERT_EQ(script.Read(text), 0);
            EXPECT_EQ(CompleteSetupScript(*script.context, script.report), -1);
            EXPECT_EQ(script.reports, (Reports{{test.stringId, 0}}));
        }
    }
    Script empty;
    ASSERT_EQ(empty.Read(""), 0);
    EXPECT_EQ(CompleteSetupScript(*empty.context, empty.report), -1);
    EXPECT_EQ(empty.reports, (Reports{{IDS_NO_TITLE, 0}}));
}

TEST(CompleteScript, OverlongDestinationIsRefused) {
    Script script;
    std::string text = std::string(kRequired) + "DIRECTORY=C:\\" + std::string(200, 'd') +
                       "\nBASENAME=" + std::string(100, 'b') + "\n";
    ASSERT_EQ(script.Read(text), 0);
    EXPECT_EQ(CompleteSetupScript(*script.context, script.report), -1);
    EXPECT_EQ(script.reports, (Reports{{IDS_SCRIPT_FORMAT, 0}}));
    EXPECT_STREQ(script.context->destination, "");
}

// The uninstall entry's icon is the first installed name ending in ".exe", in any case;
// a compressed source counts by its destination name; without one, the uninstaller.
TEST(UninstallEntry, IconIsTheFirstInstalledProgram) {
    const struct {
        const char* files;
        const char* icon;
    } cases[] = {
        {"readme.txt\nstage1.da_>stage1.dat\n", "unZELK.exe"},
        {"readme.txt\ngame.ex_>GAME.EXE,Game\ntool.exe\n", "GAME.EXE"},
        {"game.ex_\nnotes.exe.txt\nexe\ntool.Exe\n", "tool.Exe"},
        {"\x83\x51\x81\x5b\x83\x80.exe\n", "\x83\x51\x81\x5b\x83\x80.exe"},
    };
    for (const auto& test : cases) {
        Script script;
        ASSERT_EQ(script.Read(std::string(kRequired) + test.files), 0);
        ASSERT_EQ(CompleteSetupScript(*script.context, script.report), 0);
        EXPECT_STREQ(ProgramIconName(*script.context), test.icon) << test.files;
    }
}

// The installed files and setup's own two, rounded up to whole kilobytes, beyond 4 GiB too.
TEST(UninstallEntry, SizeIsInKilobytesRoundedUp) {
    const struct {
        std::vector<uint32_t> sizes;  // the script's files, then setup's own two
        uint32_t kilobytes;
    } cases[] = {
        {{0, 0}, 0},
        {{1, 0}, 1},
        {{1024, 1024}, 2},
        {{1, 1024, 1024}, 3},
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 2}, 8388608},
    };
    for (const auto& test : cases) {
        SetupContext context;
        context.fileCount = static_cast<int32_t>(test.sizes.size()) - 2;
        for (size_t i = 0; i < test.sizes.size(); ++i) context.fileSize[i] = test.sizes[i];
        EXPECT_EQ(InstalledKilobytes(context), test.kilobytes) << test.sizes.size() << " files";
    }
}

TEST(UninstallEntry, DateIsEightDigits) {
    char date[9];
    FormatInstallDate(date, 2026, 12, 7);
    EXPECT_STREQ(date, "20261207");
    FormatInstallDate(date, 1999, 1, 31);
    EXPECT_STREQ(date, "19990131");
}

}  // namespace
