// The resources of setup as the program loads them: the string table byte for byte, and the
// dialog templates with their sizes, controls, positions and texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "common/wintext.h"
#include "ids.h"

namespace {

const std::map<int, std::string> kStrings = {
    {1, "ZELKセットアップ"},
    {2, "メモリが足りません"},
    {3, "セットアップ情報ファイルの形式が不正です。"},
    {4, "セットアップ情報項目が多すぎます。"},
    {5, "セットアップ情報ファイルを開くことができません。"},
    {6, "ディレクトリ作成に失敗しました。"},
    {7, "スタートメニューにショートカットを追加することに失敗しました。"},
    {8, "レジストリに項目を設定することに失敗しました。"},
    {9, "情報ファイルに Title がありません。"},
    {10, "情報ファイルに Logo がありません。"},
    {11, "情報ファイルに UnRegistry がありません。"},
    {12, "情報ファイルに UnRegDisplay がありません。"},
    {14, "情報ファイルに BaseName がありません。"},
    {18, "アンインストール情報を生成することができません。"},
    {19, "「%s」のセットアップが完了しました。"},
    {20, "「%s」のセットアップを中止しました。"},
    {21, "セットアップは完了していません。今セットアップを終了すると「%s」は正しくセットアップされません。\n\nセットアップを中止しますか？"},
    {22, "「%s」のセットアップへようこそ。"},
    {23, "「%s」を以下のフォルダにセットアップします。フォルダを変更するときは、直接編集するかまたは、[参照]ボタンをクリックしてください。"},
    {24, "セットアッププログラムは「%s」のセットアップを行います。\n\n\n「%s」のセットアップはスタートメニューにショートカットを追加します。"},
    {25, "「%s」をセットアップするフォルダを選んでください。"},
    {26, "このアプリケーションをセットアップするにはWindows 95 もしくは Windows NT 3.51 以上が必要です。"},
    {27, "ZELKセットアップ - エラー"},
    {28, "ファイル\"%s\"がみつかりません。"},
    {32, "API エラー"},
    {33, "次のファイルは他のZELKのアプリケーションが使用する可能性があります。削除しますか？\n\n%s\n"},
    {34, "フォントリソースの削除に失敗しました(Error #%u)"},
    {35, "フォントファイルの削除に失敗しました(Error #%u)"},
    {36, "次のファイルは他のアプリケーションが使用する可能性があるので削除しません。\n\n"},
    {38, "ほか%d個のファイル\n"},
    {37, "Windows のリブートに失敗しました。正しくセットアップをするために Windows をリブートしてください。"},
    {42, "フォルダ名が無効です。"},
    {43, "同じ名前のファイルが存在します。"},
    {44, "「%s」のセットアップが完了しました。\nシステムを再起動します。"},
    {45, "フォルダ「%s」は存在しません。\n\nフォルダ「%s」を作成します。\n\nよろしいですか。"},
    {46, "ネットワークドライブにはセットアップできません。"},
    {47, "CD-ROMにはセットアップできません。"},
    {48, "RAM ディスクにはセットアップできません。"},
    {49, "交換可能なドライブにはセットアップできません。"},
    {51, "指定されたフォルダには既にZELKのアプリケーションがセットアップされています。同じフォルダにZELKのアプリケーションを２つセットアップすることはできません。別のフォルダを選択してください。"},
    {52, "「%s」のセットアップを中止しました。システムの構成が変更されたので再起動します。"},
    {54, "「%s」は既にセットアップされています。セットアップを続行するには以前にセットアップされた「%s」を消去する必要があります。\n\n以前の「%s」を消去してセットアップを続行しますか？"},
    {58, "情報ファイルに AppRegistry がありません。"},
    {59, "情報ファイルに AppVersion がありません。"},
    {60, "前回の「%s」のセットアップは途中で終了しました。セットアップが行った変更をすべて元に戻しました。"},
    {61, "前回の「%s」のセットアップは途中で終了しました。セットアップが行った変更のうち、次のものは使用中のため元に戻せませんでした。"
         "使用しているプログラムを終了してから、もう一度セットアップを実行してください。"},
    {62, "アンインストール情報ファイルの次の行は、このアプリケーション以外のファイルやフォルダを指している可能性があるので処理しません。"},
};

TEST(StringTable, HoldsExactlyTheTextsOfSetup) {
    for (int id = 0; id < 1024; ++id) {
        char text[1024] = "";
        int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
        auto expected = kStrings.find(id);
        if (expected == kStrings.end()) {
            EXPECT_EQ(0, length) << "unexpected string " << id;
        } else {
            EXPECT_EQ(expected->second, text) << "string " << id;
        }
    }
}

// ---- dialog templates ----

struct Control {
    int id;
    std::string text;  // "#105" for a resource reference
    short x, y, cx, cy;
    DWORD style = 0;   // bits that must be set
    std::string className = "";  // only checked when given
};

struct Template {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption;
    std::string font;
    WORD points = 0;
    std::vector<Control> controls;
};

std::string Narrow(const WCHAR* text) {
    char out[1024] = "";
    WideCharToMultiByte(932, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// A name or ordinal field of a template; ordinals come back as "#n".
std::string ReadNameOrOrdinal(const WORD*& p) {
    if (*p == 0xFFFF) {
        std::string name = "#" + std::to_string(p[1]);
        p += 2;
        return name;
    }
    std::string name = Narrow(reinterpret_cast<const WCHAR*>(p));
    while (*p++ != 0) {}
    return name;
}

const WORD* AlignToDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
}

Template LoadTemplate(int dialogId) {
    Template result;
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(dialogId), RT_DIALOG);
    if (found == nullptr) return result;
    const auto* header = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
    result.style = header->style;
    result.cx = header->cx;
    result.cy = header->cy;
    const WORD* p = reinterpret_cast<const WORD*>(header + 1);
    ReadNameOrOrdinal(p);  // menu
    ReadNameOrOrdinal(p);  // class
    result.caption = ReadNameOrOrdinal(p);
    if (header->style & DS_SETFONT) {
        result.points = *p++;
        result.font = ReadNameOrOrdinal(p);
    }
    for (int i = 0; i < header->cdit; ++i) {
        p = AlignToDword(p);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Control control;
        control.id = static_cast<short>(item->id);
        control.x = item->x;
        control.y = item->y;
        control.cx = item->cx;
        control.cy = item->cy;
        control.style = item->style;
        p = reinterpret_cast<const WORD*>(item + 1);
        control.className = ReadNameOrOrdinal(p);
        control.text = ReadNameOrOrdinal(p);
        p += 1 + (*p + 1) / 2;  // creation data
        result.controls.push_back(control);
    }
    return result;
}

const DWORD kPicture = SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN;
const Control kSidePicture = {-1, "#105", 0, 0, 58, 145, kPicture};
Control Icon(short x, short y) { return {-1, "#106", x, y, 18, 20, SS_ICON}; }

struct Expected {
    int id;
    short cx, cy;
    std::string caption;
    DWORD style;  // bits that must be set
    std::vector<Control> controls;
};

const DWORD kPage = WS_CHILD | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
const DWORD kMessage = WS_POPUP | WS_CAPTION | DS_MODALFRAME;

const std::vector<Expected>& ExpectedDialogs() {
    static const std::vector<Expected> dialogs = {
        {109, 275, 147, "ZELKセットアップ", kPage, {
            kSidePicture,
            {1014, "セットアップへようこそ。", 70, 10, 204, 75},
            {1003, "[次へ]ボタンをクリックするとセットアップを開始します。[ｷｬﾝｾﾙ]ボタンをクリックするとセットアップを中止して Windows へ戻ります。", 65, 120, 204, 25}}},
        {102, 275, 147, "セットアップするフォルダの選択", kPage, {
            kSidePicture,
            {1014, "", 65, 10, 210, 70},
            {-1, "セットアップするフォルダ", 65, 85, 90, 8},
            {1005, "", 65, 95, 210, 14, WS_BORDER | ES_AUTOHSCROLL, "#129"},
            {-1, "利用可能な容量", 65, 115, 65, 8},
            {1003, "0Kb", 145, 115, 55, 8, SS_RIGHT},
            {-1, "必要なディスク容量", 65, 125, 65, 8},
            {1004, "0Kb", 145, 125, 55, 8, SS_RIGHT},
            {1002, "参照(&R)", 225, 115, 50, 14, 0, "#128"}}},
        {103, 275, 147, "ZELKセットアップ", kPage, {
            kSidePicture,
            {1014, "セットアップを開始します。", 70, 10, 204, 130}}},
        {107, 119, 29, "", WS_POPUP | WS_VISIBLE, {
            Icon(10, 5),
            {-1, "ZELKセットアップ", 40, 5, 73, 8},
            {-1, "初期化中です．．．", 40, 15, 73, 8}}},
        {111, 119, 29, "", WS_POPUP | WS_VISIBLE, {
            Icon(10, 5),
            {-1, "ZELKセットアップ", 35, 5, 78, 8},
            {-1, "メニュー登録中です．．．", 35, 15, 78, 8}}},
        {110, 223, 71, "ファイルのコピー中です", WS_POPUP | WS_VISIBLE | WS_CAPTION, {
            {2, "ｷｬﾝｾﾙ", 170, 50, 45, 14},
            {1009, "", 5, 51, 160, 11, WS_BORDER, "msctls_progress32"},
            {-1, "コピー元：", 5, 15, 30, 8},
            {-1, "コピー先：", 5, 30, 30, 8},
            {1011, "", 40, 15, 175, 8},
            {1012, "", 40, 30, 175, 8}}},
        {118, 223, 108, "ZELKセットアップ", kMessage, {
            {7, "中止しない", 121, 85, 50, 14, BS_DEFPUSHBUTTON},
            {6, "中止する", 51, 85, 50, 14},
            Icon(15, 20),
            {1014, "セットアップを中止しますか？", 50, 10, 160, 70}}},
        {119, 223, 108, "ZELKセットアップ", kMessage, {
            {1, "OK", 85, 85, 50, 14, BS_DEFPUSHBUTTON},
            Icon(15, 15),
            {1014, "セットアップが完了しました。", 45, 10, 165, 70}}},
        {120, 223, 87, "ZELKセットアップ", kMessage, {
            {1, "OK", 86, 65, 50, 14, BS_DEFPUSHBUTTON},
            Icon(15, 15),
            {1014, "セットアップを中止しました。", 45, 10, 165, 50}}},
        {121, 223, 106, "ZELKセットアップ", kMessage, {
            {6, "続ける", 50, 85, 50, 14, BS_DEFPUSHBUTTON},
            {7, "戻る", 121, 85, 50, 14},
            Icon(15, 20),
            {1014, "指定されたドライブにはすべてのファイルをコピーするのに必要な空き容量がありません。\n\n作業を継続しますか？", 50, 10, 160, 70}}},
        {124, 223, 108, "ZELKセットアップ", kMessage, {
            {1, "再起動する", 39, 85, 60, 14, BS_DEFPUSHBUTTON},
            {2, "ｷｬﾝｾﾙ", 124, 85, 60, 14},
            Icon(15, 15),
            {1014, "セットアップが完了しました。\nシステムを再起動します。", 45, 10, 165, 70}}},
        {125, 223, 106, "ZELKセットアップ", kMessage, {
            {1, "フォルダ作成", 51, 85, 50, 14, BS_DEFPUSHBUTTON},
            {2, "ｷｬﾝｾﾙ", 121, 85, 50, 14},
            Icon(15, 20),
            {1014, "指定されたフォルダは存在しません。\n\n新規にフォルダを作成します。\n\nよろしいですか?", 50, 10, 160, 70}}},
        {127, 223, 108, "ZELKセットアップ", kMessage, {
            {4, "もう一度コピー", 25, 85, 75, 14, BS_DEFPUSHBUTTON},
            {2, "セットアップを中止", 120, 85, 75, 14},
            {1014, "ファイルのコピーに失敗しました。\nセットアップを中止すると今までにコピーしたファイルはすべて消去して終了します。\n\nセットアップを中止しますか？", 50, 10, 160, 70},
            Icon(15, 20)}},
    };
    return dialogs;
}

TEST(DialogTemplates, MatchTheLayoutOfSetup) {
    for (const Expected& expected : ExpectedDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        Template actual = LoadTemplate(expected.id);
        EXPECT_EQ(expected.cx, actual.cx);
        EXPECT_EQ(expected.cy, actual.cy);
        EXPECT_EQ(expected.caption, actual.caption);
        EXPECT_EQ(expected.style, actual.style & expected.style);
        EXPECT_EQ("ＭＳ Ｐ明朝", actual.font);
        EXPECT_EQ(9, actual.points);
        ASSERT_EQ(expected.controls.size(), actual.controls.size());
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const Control& e = expected.controls[i];
            const Control& a = actual.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + " " + std::to_string(e.id));
            EXPECT_EQ(e.id, a.id);
            EXPECT_EQ(e.text, a.text);
            EXPECT_EQ(e.x, a.x);
            EXPECT_EQ(e.y, a.y);
            EXPECT_EQ(e.cx, a.cx);
            EXPECT_EQ(e.cy, a.cy);
            EXPECT_EQ(e.style, a.style & e.style);
            if (!e.className.empty()) {
                EXPECT_EQ(0, lstrcmpiA(e.className.c_str(), a.className.c_str())) << a.className;
            }
        }
    }
}

// The progress dialog has no system menu: Cancel is the only way out of it.
TEST(DialogTemplates, ProgressDialogHasNoSystemMenu) {
    EXPECT_EQ(0u, LoadTemplate(IDD_COPY_PROGRESS).style & WS_SYSMENU);
    EXPECT_EQ(0u, LoadTemplate(IDD_CONFIRM_CANCEL).style & WS_VISIBLE);
}

INT_PTR CALLBACK NoMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Where the templates' face is missing, each dialog is made from a copy that names the
// stand-in face: the system takes the copy, every control in place, in that face. A copy
// names another face, so it is copied no further.
TEST(DialogTemplates, CopiesWithTheStandInFaceMakeTheSameDialogs) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const Expected& expected : ExpectedDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(expected.id), RT_DIALOG);
        DWORD size = SizeofResource(nullptr, found);
        DLGTEMPLATE* copy = win::CopyWithStandInFace(LockResource(LoadResource(nullptr, found)), size);
        ASSERT_NE(nullptr, copy);
        EXPECT_EQ(nullptr, win::CopyWithStandInFace(copy, size));
        HWND dialog = CreateDialogIndirectParamW(GetModuleHandleA(nullptr), copy, owner, NoMessages, 0);
        HeapFree(GetProcessHeap(), 0, copy);
        ASSERT_NE(nullptr, dialog);
        size_t children = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            ++children;
        }
        EXPECT_EQ(expected.controls.size(), children);
        for (const Control& control : expected.controls) {
            if (control.id != -1) {
                EXPECT_NE(nullptr, GetDlgItem(dialog, control.id)) << control.id;
            }
        }
        HDC dc = GetDC(dialog);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        WCHAR face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
        EXPECT_STREQ(L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF", face);  // "ＭＳ Ｐゴシック"
        DestroyWindow(dialog);
    }
    DestroyWindow(owner);
}

}  // namespace

// The wizard's side picture is stored run-length encoded; the system's loader gives the
// picture whole: 100 x 215, the green of its top band in the corner that the picture
// control fills its margin with, the disc's silver where the disc is.
TEST(Bitmaps, SidePictureLoadsWhole) {
    HBITMAP side = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SIDE_PICTURE));
    ASSERT_NE(nullptr, side);
    BITMAP info;
    ASSERT_NE(0, GetObjectA(side, sizeof info, &info));
    EXPECT_EQ(100, info.bmWidth);
    EXPECT_EQ(215, info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, side);
    EXPECT_EQ(RGB(0, 0x78, 0), GetPixel(dc, 0, 0));
    EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), GetPixel(dc, 72, 50));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 2, 212));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(side);
}
