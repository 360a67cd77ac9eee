// What a publisher's mistakes in setup.dat look like to the user at start-up.
#include <gtest/gtest.h>

#include "driver.h"
#include "ids.h"
#include "media.h"

using namespace e2e;

namespace {

const char kRequired[] =
    "TITLE=Script Test\r\n"
    "LOGO=Script Test\r\n"
    "UNREGISTRY=ZELKScriptTest\r\n"
    "UNREGDISPLAY=Script Test\r\n"
    "APPREGISTRY=ScriptTest\r\n"
    "APPVERSION=1.0\r\n"
    "BASENAME=ScriptTest\r\n";

class Script : public testing::Test {
protected:
    void SetUp() override {
        ResetMachine();
        SetWindowsVersion(WindowsVersion::Win95);
    }

    // Starts setup on the medium and expects one ownerless warning with text, then the end.
    void ExpectWarningAndEnd(const Medium& medium, const std::string& text) {
        Process setup = medium.StartSetup();
        Window box = WaitForWindow(setup, MessageBoxWithText(text, "ZELKセットアップ"));
        if (!box.Exists()) return;
        EXPECT_EQ(nullptr, GetWindow(box.handle(), GW_OWNER)) << "the box has an owner";
        box.Press(IDOK);
        EXPECT_NE(0, setup.WaitForExit());
        EXPECT_FALSE(PathExists("C:\\Program Files\\ZELK\\ScriptTest"));
    }
};

TEST_F(Script, AMediumWithoutSetupDatShowsTheOpenMessage) {
    Medium medium("script");
    medium.RemoveFile("setup.dat");
    ExpectWarningAndEnd(medium, "セットアップ情報ファイルを開くことができません。");
}

TEST_F(Script, EachMissingRequiredKeywordHasItsMessage) {
    struct Case {
        const char* keyword;
        const char* message;
    } cases[] = {
        {"TITLE", "情報ファイルに Title がありません。"},
        {"LOGO", "情報ファイルに Logo がありません。"},
        {"UNREGISTRY", "情報ファイルに UnRegistry がありません。"},
        {"UNREGDISPLAY", "情報ファイルに UnRegDisplay がありません。"},
        {"APPREGISTRY", "情報ファイルに AppRegistry がありません。"},
        {"APPVERSION", "情報ファイルに AppVersion がありません。"},
        {"BASENAME", "情報ファイルに BaseName がありません。"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.keyword);
        std::string script;
        std::string all = kRequired;
        for (size_t at = 0; at < all.size();) {
            size_t end = all.find("\r\n", at) + 2;
            std::string line = all.substr(at, end - at);
            if (line.compare(0, strlen(test.keyword) + 1, std::string(test.keyword) + "=") != 0) script += line;
            at = end;
        }
        Medium medium("script", script);
        ExpectWarningAndEnd(medium, test.message);
    }
}

TEST_F(Script, AFormatErrorStopsTheReadingAndTheRunGoesOn) {
    // The unknown keyword stops the reading: the file line after it is never read, so its
    // missing file does not stop the start-up.
    Medium medium("script", std::string(kRequired) + "COLOR=blue\r\nnot-on-the-medium.txt\r\n");
    Process setup = medium.StartSetup();
    Window box = WaitForWindow(setup, MessageBoxWithText("セットアップ情報ファイルの形式が不正です。", "ZELKセットアップ"));
    box.Press(IDOK);
    Window sheet = WaitForWindow(setup, WizardSheet());
    Window welcome = WaitForPage(sheet, IDD_WELCOME_PAGE);
    EXPECT_EQ("「Script Test」のセットアップへようこそ。", welcome.Text(IDC_MESSAGE));
}

TEST_F(Script, AMissingFileOrBuiltInEndsTheStartUp) {
    const char* missing[] = {"readme.txt", "unZELK.exe", "rmZELK.bin"};
    for (const char* name : missing) {
        SCOPED_TRACE(name);
        Medium medium("script", std::string(kRequired) + "readme.txt\r\n");
        medium.RemoveFile(name);
        Process setup = medium.StartSetup();
        std::string text = "ファイル\"" + medium.Path(name) + "\"がみつかりません。";
        Window box = WaitForWindow(setup, MessageBoxWithText(text, "ZELKセットアップ"));
        box.Press(IDOK);
        EXPECT_NE(0, setup.WaitForExit());
        EXPECT_FALSE(FindWindowOf(setup, WizardSheet()).Exists());
    }
}

}  // namespace
