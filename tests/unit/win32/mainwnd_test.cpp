// Painting of the background window, checked pixel by pixel on a memory DC, and its size
// when maximised.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "ids.h"
#include "setup/setup.h"

namespace {

constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// A 32-bit top-down DIB selected into a memory DC, filled with a colour no paint uses.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        Fill(kUnpainted);
    }
    ~Surface() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    bool Ready() const { return bits_ != nullptr; }
    void Fill(COLORREF colour) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(colour);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD pixel = bits_[y * width_ + x];
        return RGB(pixel >> 16 & 255, pixel >> 8 & 255, pixel & 255);
    }
    // The smallest rectangle holding every pixel that is not the given colour.
    RECT InkBounds(COLORREF background) const {
        RECT bounds = {width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == background) continue;
                if (x < bounds.left) bounds.left = x;
                if (y < bounds.top) bounds.top = y;
                if (x > bounds.right) bounds.right = x;
                if (y > bounds.bottom) bounds.bottom = y;
            }
        }
        return bounds;
    }

private:
    static DWORD ToPixel(COLORREF c) {
        return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    DWORD* bits_ = nullptr;
};

COLORREF Green(int level) { return RGB(0, level, 0); }

TEST(MainWindowPaint, GradientBandsAtSeveralHeights) {
    const struct {
        int height;
        struct { int y; int green; } rows[6];
    } cases[] = {
        // band height 10: band 0 is 120, band 59 is 2
        {600, {{0, 120}, {9, 120}, {10, 118}, {299, 62}, {590, 2}, {599, 2}}},
        // bands 60 and 61 are black
        {620, {{0, 120}, {589, 4}, {590, 2}, {600, 0}, {610, 0}, {619, 0}}},
        // band height 12; the last band starts at 744
        {745, {{0, 120}, {11, 120}, {12, 118}, {719, 2}, {720, 0}, {744, 0}}},
        // lower than 60 pixels: one band per pixel, and the paint ends
        {40, {{0, 120}, {1, 118}, {2, 116}, {20, 80}, {38, 44}, {39, 42}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        Surface surface(64, c.height);
        ASSERT_TRUE(surface.Ready());
        PaintBackground(surface.dc(), 64, c.height);
        for (const auto& row : c.rows) {
            EXPECT_EQ(Green(row.green), surface.At(0, row.y)) << "row " << row.y;
            EXPECT_EQ(Green(row.green), surface.At(63, row.y)) << "row " << row.y;
        }
        int unpainted = 0;
        for (int y = 0; y < c.height; ++y) {
            if (surface.At(32, y) == kUnpainted) ++unpainted;
        }
        EXPECT_EQ(0, unpainted);
    }
}

TEST(MainWindowPaint, LogoBitmapIsOredOntoTheGradient) {
    const int width = 400, height = 600;
    Surface surface(width, height);
    ASSERT_TRUE(surface.Ready());
    PaintBackground(surface.dc(), width, height);
    Surface background(width, height);
    PaintBackground(background.dc(), width, height);
    DrawLogoBitmap(surface.dc(), 15, 15);

    // The logo's own pixels, read back as white and black.
    HBITMAP logo = LoadBitmapA(GetSetupInstance(), MAKEINTRESOURCEA(IDB_LOGO));
    ASSERT_NE(nullptr, logo);
    BITMAP info;
    ASSERT_NE(0, GetObjectA(logo, sizeof info, &info));
    EXPECT_EQ(298, info.bmWidth);
    EXPECT_EQ(73, info.bmHeight);
    Surface picture(info.bmWidth, info.bmHeight);
    HDC logoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(logoDc, logo);
    BitBlt(picture.dc(), 0, 0, info.bmWidth, info.bmHeight, logoDc, 0, 0, SRCCOPY);
    SelectObject(logoDc, old);
    DeleteDC(logoDc);
    DeleteObject(logo);

    int white = 0, mismatches = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool inLogo = x >= 15 && y >= 15 && x < 15 + info.bmWidth && y < 15 + info.bmHeight;
            COLORREF pixel = inLogo ? picture.At(x - 15, y - 15) : RGB(0, 0, 0);
            bool logoWhite = pixel == RGB(255, 255, 255);
            COLORREF expected = logoWhite ? RGB(255, 255, 255) : background.At(x, y);
            if (logoWhite) ++white;
            if (!logoWhite && pixel != RGB(0, 0, 0)) ++mismatches;  // black and white alone
            if (surface.At(x, y) != expected) ++mismatches;
        }
    }
    EXPECT_GT(white, 1000);  // the logo draws something
    EXPECT_EQ(0, mismatches);
}

// Gives the setup context a logo text for one test.
class LogoText : public testing::Test {
protected:
    void SetUp() override { saved_ = g_setup.logo; }
    void TearDown() override { g_setup.logo = saved_; }
    void SetLogo(const char* text) { g_setup.logo = const_cast<char*>(text); }

private:
    char* saved_ = nullptr;
};

TEST_F(LogoText, EndsFiveFromTheRightInTheCellTenFromTheBottom) {
    static const char text[] = "ZELK Sample Game Ver 1.00";
    SetLogo(text);
    const struct { int width; int height; } sizes[] = {{640, 480}, {800, 600}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.width);
        Surface surface(size.width, size.height);
        ASSERT_TRUE(surface.Ready());
        surface.Fill(RGB(0, 0, 0));
        HGDIOBJ fontBefore = GetCurrentObject(surface.dc(), OBJ_FONT);
        PaintLogoText(surface.dc(), size.width, size.height, 5, 10);
        EXPECT_EQ(fontBefore, GetCurrentObject(surface.dc(), OBJ_FONT));

        // The cell the text was drawn in, measured with the same font.
        HFONT font = CreateFontWithFallback(16, 400, "Arial");
        ASSERT_NE(nullptr, font);
        HGDIOBJ old = SelectObject(surface.dc(), font);
        SIZE extent;
        ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), text, lstrlenA(text), &extent));
        SelectObject(surface.dc(), old);
        DeleteObject(font);

        RECT ink = surface.InkBounds(RGB(0, 0, 0));
        ASSERT_GE(ink.right, 0) << "no text drawn";
        EXPECT_LE(ink.right, size.width - 5 - 1);
        EXPECT_GE(ink.right, size.width - 5 - 4);
        EXPECT_GE(ink.left, size.width - 5 - extent.cx);
        EXPECT_LE(ink.bottom, size.height - 10 - 1);
        EXPECT_GE(ink.top, size.height - 10 - extent.cy);
        int white = 0;
        for (int y = ink.top; y <= ink.bottom; ++y) {
            for (int x = ink.left; x <= ink.right; ++x) {
                if (surface.At(x, y) == RGB(255, 255, 255)) ++white;
            }
        }
        EXPECT_GT(white, 20);
    }
}

TEST_F(LogoText, WiderThanTheClientAreaIsClippedAtTheLeft) {
    static const char text[] = "A logo text that is far wider than the little client area";
    SetLogo(text);
    Surface surface(100, 60);
    ASSERT_TRUE(surface.Ready());
    surface.Fill(RGB(0, 0, 0));
    PaintLogoText(surface.dc(), 100, 60, 5, 10);
    RECT ink = surface.InkBounds(RGB(0, 0, 0));
    EXPECT_LE(ink.left, 2);          // starts left of the area
    EXPECT_LE(ink.right, 100 - 5 - 1);
}

TEST_F(LogoText, NoLogoDrawsNothing) {
    SetLogo(nullptr);
    Surface surface(200, 100);
    ASSERT_TRUE(surface.Ready());
    surface.Fill(RGB(0, 0, 0));
    PaintLogoText(surface.dc(), 200, 100, 5, 10);
    EXPECT_EQ(-1, surface.InkBounds(RGB(0, 0, 0)).right);
}

TEST(MainWindowFont, LogoFontIsArialSixteenNormal) {
    HFONT font = CreateFontWithFallback(16, 400, "Arial");
    ASSERT_NE(nullptr, font);
    LOGFONTA described;
    ASSERT_NE(0, GetObjectA(font, sizeof described, &described));
    EXPECT_STREQ("Arial", described.lfFaceName);
    EXPECT_EQ(16, described.lfHeight);
    EXPECT_EQ(400, described.lfWeight);
    EXPECT_EQ(DEFAULT_CHARSET, described.lfCharSet);
    DeleteObject(font);
}

// ---- the size of the maximised window ----

BOOL WINAPI FailingSystemParameters(UINT, UINT, PVOID, UINT) { return FALSE; }

class WorkArea : public testing::Test {
protected:
    void TearDown() override { g_systemParametersInfo = SystemParametersInfoA; }
    static MINMAXINFO Garbage() {
        MINMAXINFO info;
        memset(&info, 0x5A, sizeof info);
        return info;
    }
};

TEST_F(WorkArea, MaximisedSizeIsTheWorkArea) {
    RECT area;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    MINMAXINFO info = Garbage();
    POINT reserved = info.ptReserved;
    LimitToWorkArea(&info);
    EXPECT_EQ(area.right - area.left, info.ptMaxSize.x);
    EXPECT_EQ(area.bottom - area.top, info.ptMaxSize.y);
    EXPECT_EQ(area.left, info.ptMaxPosition.x);
    EXPECT_EQ(area.top, info.ptMaxPosition.y);
    EXPECT_EQ(info.ptMaxSize.x, info.ptMaxTrackSize.x);
    EXPECT_EQ(info.ptMaxSize.y, info.ptMaxTrackSize.y);
    EXPECT_EQ(0, info.ptMinTrackSize.x);
    EXPECT_EQ(0, info.ptMinTrackSize.y);
    EXPECT_EQ(reserved.x, info.ptReserved.x);
    EXPECT_EQ(reserved.y, info.ptReserved.y);
}

TEST_F(WorkArea, WithoutAWorkAreaTheWholeScreen) {
    g_systemParametersInfo = FailingSystemParameters;
    MINMAXINFO info = Garbage();
    LimitToWorkArea(&info);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), info.ptMaxSize.x);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), info.ptMaxSize.y);
    EXPECT_EQ(0, info.ptMaxPosition.x);
    EXPECT_EQ(0, info.ptMaxPosition.y);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The background window's own handling of painting and sizing; the installation and
    // the quit message stay out of the test.
    if (message == WM_USER || message == WM_DESTROY) return 0;
    return SetupWndProc(window, message, wParam, lParam);
}

TEST_F(WorkArea, MaximisedWindowCoversTheWorkAreaAndPaints) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZELKPaintTestClass";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "ZELKPaintTestClass", "paint", WS_OVERLAPPED, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    RECT area, rect;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &rect);
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(area.left, rect.left);
    EXPECT_EQ(area.top, rect.top);
    EXPECT_EQ(area.right, rect.right);
    EXPECT_EQ(area.bottom, rect.bottom);
    // A paint leaves nothing to repaint.
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    DestroyWindow(window);
}

}  // namespace
