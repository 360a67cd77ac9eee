// The script reader's line handler: what it tells about each line, the lines it tells as
// ignored after a stop, and that a handler changes nothing the reader stores or shows.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ids.h"
#include "setup/script.h"
#include "temp_file.h"

namespace {

using Reports = std::vector<std::pair<int, int>>;

struct Told {
    int line;
    ScriptLineKind kind;
    std::string keyword;
    int index;
    bool stopped;
    bool cut;
    std::string text;
    bool operator==(const Told& o) const {
        return std::tie(line, kind, keyword, index, stopped, cut, text) ==
               std::tie(o.line, o.kind, o.keyword, o.index, o.stopped, o.cut, o.text);
    }
};

std::ostream& operator<<(std::ostream& out, const Told& t) {
    return out << "{line " << t.line << ", kind " << static_cast<int>(t.kind) << ", " << t.keyword << ", index "
               << t.index << (t.stopped ? ", stopped" : "") << (t.cut ? ", cut" : "") << ", \"" << t.text << "\"}";
}

struct Reading {
    std::unique_ptr<SetupContext> context = std::make_unique<SetupContext>();
    Reports reports;
    std::vector<Told> told;

    static void Message(void* user, int id, int line) { static_cast<Reading*>(user)->reports.emplace_back(id, line); }
    static void Line(void* user, const ScriptLine& l) {
        static_cast<Reading*>(user)->told.push_back(
            Told{l.lineNumber, l.kind, l.keyword ? l.keyword : "", l.index, l.stopped, l.cut, l.text});
    }

    Reading(const std::string& text, bool withHandler) {
        CopyString(context->windowsDir, "C:\\WINDOWS");
        CopyString(context->sourceDir, "D:");
        TempFile file(text, "zelk_lines.dat");
        ScriptReport report{Message, this, withHandler ? Line : nullptr};
        EXPECT_EQ(ReadSetupScript(*context, file.path(), report), 0);
    }

    // Everything the reading stored, as text.
    std::string Stored() const {
        const SetupContext& c = *context;
        auto s = [](const char* p) { return std::string(p ? p : "(null)"); };
        std::string out = s(c.title) + "|" + s(c.logo) + "|" + s(c.caption) + "|" + s(c.menuGroup) + "|" +
                          s(c.unRegistry) + "|" + s(c.unRegDisplay) + "|" + s(c.unZelkName) + "|" +
                          s(c.srcDirectory) + "|" + s(c.directory) + "|" + c.baseName + "|" + s(c.appRegistry) +
                          "|" + s(c.appVersion) + "|" + std::to_string(c.addSize) + "|" + s(c.menuUninst);
        for (int i = 0; i < c.fileCount + 2; ++i) {
            out += "\nfile " + s(c.fileSource[i]) + ">" + s(c.fileDest[i]) + "," + s(c.fileMenuItem[i]);
        }
        for (int i = 0; i < c.addFileCount; ++i) out += "\nadd " + s(c.addFile[i]);
        for (int i = 0; i < c.dllCount; ++i) out += "\ndll " + s(c.dllSource[i]) + ">" + s(c.dllDest[i]);
        for (int i = 0; i < c.fontCount; ++i) {
            out += "\nfont " + s(c.fontSource[i]) + ">" + s(c.fontDest[i]) + "," + s(c.fontName[i]);
        }
        return out;
    }
};

using K = ScriptLineKind;

TEST(ScriptLines, EachLineIsToldWhatItBecame) {
    Reading r("[Setup]\n;note\n\nTITLE=T\ntitle = A=B\n,,,\nreadme.txt\na.ex_>a.exe,A\nDLL=x.dll\n"
              "FONT=f.ttf>g.ttf,F\nADDFILE=save.dat\nSRCDIRECTORY=DATA\na,b,c\n",
              true);
    std::vector<Told> expected = {
        {1, K::kSkipped, "", -1, false, false, "[Setup]"},
        {2, K::kSkipped, "", -1, false, false, ";note"},
        {3, K::kSkipped, "", -1, false, false, ""},
        {4, K::kValue, "TITLE", -1, false, false, "TITLE=T"},
        {5, K::kValue, "TITLE", -1, false, true, "title = A=B"},
        {6, K::kSkipped, "", -1, false, false, ",,,"},
        {7, K::kFile, "", 0, false, false, "readme.txt"},
        {8, K::kFile, "", 1, false, false, "a.ex_>a.exe,A"},
        {9, K::kDll, "DLL", 0, false, false, "DLL=x.dll"},
        {10, K::kFont, "FONT", 0, false, false, "FONT=f.ttf>g.ttf,F"},
        {11, K::kAddFile, "ADDFILE", 0, false, false, "ADDFILE=save.dat"},
        {12, K::kValue, "SRCDIRECTORY", -1, false, false, "SRCDIRECTORY=DATA"},
        {13, K::kFile, "", 2, false, true, "a,b,c"},
    };
    EXPECT_EQ(r.told, expected);
    EXPECT_TRUE(r.reports.empty());
}

// A third field is dropped by every split: the keyword line's, the file line's and a name's.
TEST(ScriptLines, DroppedTextIsTold) {
    const struct {
        const char* line;
        bool cut;
    } cases[] = {
        {"TITLE=A", false}, {"TITLE==A", false}, {"TITLE=A=B", true}, {"a>b", false},
        {"a>b>c", true},    {"a,b,c", true},     {"DLL=a>b>c", true}, {"FONT=a,b,c", true},
        {"FONT=a>b,N", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.line);
        Reading r(std::string(test.line) + "\n", true);
        ASSERT_EQ(r.told.size(), 1u);
        EXPECT_EQ(r.told[0].cut, test.cut);
    }
}

TEST(ScriptLines, AfterAStopTheRestIsToldAsIgnored) {
    Reading r("TITLE=t\nCOLOR=red\nx.txt\n;c\n\n,,\nLOGO=l\n", true);
    std::vector<Told> expected = {
        {1, K::kValue, "TITLE", -1, false, false, "TITLE=t"},
        {2, K::kUnknown, "", -1, true, false, "COLOR=red"},
        {3, K::kIgnored, "", -1, false, false, "x.txt"},
        {4, K::kSkipped, "", -1, false, false, ";c"},
        {5, K::kSkipped, "", -1, false, false, ""},
        {6, K::kSkipped, "", -1, false, false, ",,"},
        {7, K::kIgnored, "", -1, false, false, "LOGO=l"},
    };
    EXPECT_EQ(r.told, expected);
    EXPECT_EQ(r.reports, (Reports{{IDS_SCRIPT_FORMAT, 2}}));
}

TEST(ScriptLines, StopsCarryTheirKind) {
    std::string dlls;
    for (int i = 0; i <= kMaxDlls; ++i) dlls += "DLL=a.dll\n";
    const struct {
        std::string script;
        Told last;
    } cases[] = {
        {"FONT=abc.ttf\n", {1, K::kFont, "FONT", -1, true, false, "FONT=abc.ttf"}},
        {dlls, {kMaxDlls + 1, K::kDll, "DLL", -1, true, false, "DLL=a.dll"}},
    };
    for (const auto& test : cases) {
        Reading r(test.script, true);
        ASSERT_FALSE(r.told.empty());
        EXPECT_EQ(r.told.back(), test.last);
    }
}

TEST(ScriptLines, PiecesOfALongLineShareItsNumber) {
    Reading r(std::string(259, 'a') + "bb\nc\n", true);
    ASSERT_EQ(r.told.size(), 3u);
    EXPECT_EQ(r.told[0].line, 1);
    EXPECT_EQ(r.told[1].line, 1);
    EXPECT_EQ(r.told[1].text, "bb");
    EXPECT_EQ(r.told[2].line, 2);
}

// setup reads without a handler: with one, the same values, lists and messages result.
TEST(ScriptLines, AHandlerChangesNothing) {
    std::string manyFiles;
    for (int i = 0; i <= kMaxScriptFiles; ++i) manyFiles += "f" + std::to_string(i) + "\n";
    const std::string scripts[] = {
        "TITLE=t\nLOGO=l\nCAPTION=c\nMENUGROUP=g\nUNREGISTRY=u\nUNREGDISPLAY=d\nUNZELKNAME=r.dat\n"
        "APPREGISTRY=a\nAPPVERSION=1\nDIRECTORY=#:\\G\nBASENAME=B\nADDFILE=s\nDLL=x>y\nFONT=f,F\n"
        "MENUUNINST=m\nADDSIZE=12\nSRCDIRECTORY=S\nreadme.txt>r.txt,R\n",
        "TITLE=t\nCOLOR=red\nLOGO=late\nx.txt\n",
        "FONT=nocomma\nTITLE=late\n",
        manyFiles + "TITLE=late\n",
        std::string(300, 'x') + "\nTITLE=A=B\n a,b,c\n",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script.substr(0, 40));
        Reading plain(script, false);
        Reading told(script, true);
        EXPECT_EQ(plain.Stored(), told.Stored());
        EXPECT_EQ(plain.reports, told.reports);
        EXPECT_TRUE(plain.told.empty());
    }
}

}  // namespace
