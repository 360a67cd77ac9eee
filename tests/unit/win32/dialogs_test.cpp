// The message dialogs and wait windows of setup, answered from a second thread.
#include <gtest/gtest.h>

#include "dialog_answerer.h"
#include "setup/setup.h"

namespace {

class Dialogs : public testing::Test {
protected:
    void SetUp() override {
        saved_ = g_setup.title;
        g_setup.title = DuplicateString("ZELKサンプル");
        CopyString(savedDestination_, g_setup.destination);
    }
    void TearDown() override {
        free(g_setup.title);
        g_setup.title = saved_;
        CopyString(g_setup.destination, savedDestination_);
        restartRequired = 0;
    }
    char* saved_ = nullptr;
    char savedDestination_[kPathSize] = "";
};

DialogAnswerer::Choice Answer(int id) {
    return [id](const SeenDialog&) { return id; };
}

// Escape arrives as command 2 first; then the button is pressed. A dialog without a
// button 2 ignores the Escape, so the button decides.
DialogAnswerer::Choice EscapeThenAnswer(int id) {
    return [id](const SeenDialog& seen) {
        PostMessageA(seen.window, WM_COMMAND, IDCANCEL, 0);
        return id;
    };
}

TEST_F(Dialogs, ConfirmCancelAsksWithTheTitle) {
    {
        DialogAnswerer answerer(Answer(IDB_ABANDON));
        EXPECT_TRUE(ConfirmCancel(nullptr));
        std::vector<SeenDialog> seen = answerer.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("ZELKセットアップ", seen[0].caption);
        EXPECT_EQ("セットアップは完了していません。今セットアップを終了すると「ZELKサンプル」は正しく"
                  "セットアップされません。\n\nセットアップを中止しますか？", seen[0].text);
    }
    {
        DialogAnswerer keep(Answer(IDB_DO_NOT_ABANDON));
        EXPECT_FALSE(ConfirmCancel(nullptr));
    }
    DialogAnswerer escape(EscapeThenAnswer(IDB_ABANDON));
    EXPECT_TRUE(ConfirmCancel(nullptr));
}

TEST_F(Dialogs, ConfirmLowSpace) {
    {
        DialogAnswerer answerer(Answer(IDB_CONTINUE));
        EXPECT_TRUE(ConfirmLowSpace(nullptr));
    }
    {
        DialogAnswerer answerer(Answer(IDB_GO_BACK));
        EXPECT_FALSE(ConfirmLowSpace(nullptr));
    }
    DialogAnswerer escape(EscapeThenAnswer(IDB_CONTINUE));
    EXPECT_TRUE(ConfirmLowSpace(nullptr));
}

TEST_F(Dialogs, ConfirmCreateFolderNamesTheDestinationTwice) {
    CopyString(g_setup.destination, "C:\\Program Files\\ZELK\\SampleGame");
    {
        DialogAnswerer answerer(Answer(IDB_CREATE_FOLDER));
        EXPECT_EQ(IDB_CREATE_FOLDER, ConfirmCreateFolder(nullptr));
        std::vector<SeenDialog> seen = answerer.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("フォルダ「C:\\Program Files\\ZELK\\SampleGame」は存在しません。\n\nフォルダ"
                  "「C:\\Program Files\\ZELK\\SampleGame」を作成します。\n\nよろしいですか。",
                  seen[0].text);
    }
    // The longest destination still gives a text that fits, naming the folder's start.
    std::string deep = "C:\\" + std::string(255, 'd');
    CopyString(g_setup.destination, deep.c_str());
    DialogAnswerer answerer(Answer(IDCANCEL));
    EXPECT_EQ(IDCANCEL, ConfirmCreateFolder(nullptr));
    std::string text = answerer.Seen().at(0).text;
    EXPECT_LE(text.size(), 511u);
    EXPECT_EQ(0u, text.find("フォルダ「C:\\ddd"));
}

TEST_F(Dialogs, AskCopyRetryReturnsTheButton) {
    for (int id : {IDB_COPY_AGAIN, IDCANCEL}) {
        DialogAnswerer answerer(Answer(id));
        EXPECT_EQ(id, AskCopyRetry(nullptr));
    }
}

TEST_F(Dialogs, FinishedNoticeIsTopmostAndAbortedIsNot) {
    {
        DialogAnswerer answerer;
        ShowFinishedDialog();
        std::vector<SeenDialog> seen = answerer.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("「ZELKサンプル」のセットアップが完了しました。", seen[0].text);
        EXPECT_TRUE(seen[0].topmost);
    }
    DialogAnswerer answerer;
    ShowAbortedDialog();
    std::vector<SeenDialog> seen = answerer.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("「ZELKサンプル」のセットアップを中止しました。", seen[0].text);
    EXPECT_FALSE(seen[0].topmost);
}

// With a restart pending the notices offer it; Cancel (2) takes it back.
TEST_F(Dialogs, RestartVariantsOfTheFinalNotices) {
    struct Case { void (*show)(); int answer; const char* text; int restartAfter; };
    const Case cases[] = {
        {ShowFinishedDialog, IDOK, "「ZELKサンプル」のセットアップが完了しました。\nシステムを再起動します。", 1},
        {ShowFinishedDialog, IDCANCEL, "「ZELKサンプル」のセットアップが完了しました。\nシステムを再起動します。", 0},
        {ShowAbortedDialog, IDOK, "「ZELKサンプル」のセットアップを中止しました。システムの構成が変更されたので再起動します。", 1},
        {ShowAbortedDialog, IDCANCEL, "「ZELKサンプル」のセットアップを中止しました。システムの構成が変更されたので再起動します。", 0},
    };
    for (const Case& c : cases) {
        restartRequired = 1;
        DialogAnswerer answerer(Answer(c.answer));
        c.show();
        std::vector<SeenDialog> seen = answerer.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.text, seen[0].text);
        EXPECT_EQ((std::vector<int>{1, 2}), seen[0].buttons);
        EXPECT_EQ(c.restartAfter, restartRequired);
    }
    // Escape closes the plain notices as well.
    restartRequired = 0;
    DialogAnswerer answerer(Answer(IDCANCEL));
    ShowFinishedDialog();
    ShowAbortedDialog();
    EXPECT_EQ(2u, answerer.Seen().size());
}

TEST_F(Dialogs, WaitWindowsShowTheHourglassWhileTheyExist) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    HWND window = ShowInitWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), GetCursor());
    DestroyWindow(window);
    EXPECT_EQ(arrow, GetCursor());

    window = ShowMenuWaitWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), GetCursor());
    DestroyWindow(window);
}

}  // namespace
