// Painting of the background window: green bands darkening downwards, the logo picture at
// the top left, the script's logo text at the bottom right. Every brush, bitmap and font is
// made and deleted within one paint; nothing is kept between paints.
#include "setup.h"

#include "../common/handles.h"
#include "../common/system.h"
#include "ids.h"
#include "mainwnd_bands.h"
#include "common/wintext.h"

SystemParametersFunction g_systemParametersInfo = SystemParametersInfoA;

namespace {

constexpr int kLogoLeft = 15;
constexpr int kLogoTop = 15;
constexpr int kTextRightMargin = 5;
constexpr int kTextBottomMargin = 10;
constexpr int kTextHeight = 16;
constexpr int kTextWeight = FW_NORMAL;  // 400

bool Selected(HGDIOBJ previous) { return previous != nullptr && previous != HGDI_ERROR; }

}  // namespace

void PaintSetupWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    RECT client;
    if (GetClientRect(window, &client)) {
        int width = client.right - client.left;
        int height = client.bottom - client.top;
        PaintBackground(dc, width, height);
        DrawLogoBitmap(dc, kLogoLeft, kLogoTop);
        PaintLogoText(dc, width, height, kTextRightMargin, kTextBottomMargin);
    }
    EndPaint(window, &paint);
}

void PaintBackground(HDC dc, int width, int height) {
    int count = BandCount(height);
    for (int i = 0; i < count; ++i) {
        Band band = GetBand(height, i);
        RECT rect = {0, band.top, width, band.bottom};
        FillSolidRect(dc, rect, RGB(0, band.green, 0));
    }
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    if (!brush) return;
    HGDIOBJ previous = SelectObject(dc, brush.Get());
    if (!Selected(previous)) return;
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    SelectObject(dc, previous);  // before the owner deletes the brush
}

void DrawLogoBitmap(HDC dc, int x, int y) {
    UniqueGdiObject bitmap(LoadBitmapA(GetSetupInstance(), MAKEINTRESOURCEA(IDB_LOGO)));
    if (!bitmap) return;
    // Or'ed onto the gradient: the logo's white pixels come out white, and its black ones
    // leave the gradient as it is.
    DrawBitmap(dc, static_cast<HBITMAP>(bitmap.Get()), x, y, SRCPAINT);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, DWORD rop) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap);
    if (!Selected(previous)) return;
    SetMapMode(memory.Get(), GetMapMode(dc));
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) != 0) {
        POINT size = {info.bmWidth, info.bmHeight};
        DPtoLP(dc, &size, 1);
        POINT origin = {0, 0};
        DPtoLP(memory.Get(), &origin, 1);
        BitBlt(dc, x, y, size.x, size.y, memory.Get(), origin.x, origin.y, rop);
    }
    SelectObject(memory.Get(), previous);  // the caller deletes the bitmap afterwards
}

void PaintLogoText(HDC dc, int width, int height, int rightMargin, int bottomMargin) {
    SetBkMode(dc, TRANSPARENT);
    UniqueGdiObject font(CreateFontWithFallback(kTextHeight, kTextWeight, "Arial"));
    if (!font) {
        DrawLogoText(g_setup, dc, width, height, rightMargin, bottomMargin);
        return;
    }
    HGDIOBJ previous = SelectObject(dc, font.Get());
    if (!Selected(previous)) return;  // no text rather than text in a font not asked for
    DrawLogoText(g_setup, dc, width, height, rightMargin, bottomMargin);
    SelectObject(dc, previous);
}

void DrawLogoText(const SetupContext& context, HDC dc, int width, int height, int rightMargin,
                  int bottomMargin) {
    // The script reader refuses a script without LOGO; a context that never read one
    // simply has no text to draw.
    if (context.logo == nullptr) return;
    const char* text = context.logo;
    int length = lstrlenA(text);
    if (SetTextColor(dc, RGB(255, 255, 255)) == CLR_INVALID) ShowApiError("SetTextColor");
    SIZE extent = {0, 0};
    if (!win::GetTextExtentPoint32(dc, text, length, &extent)) ShowApiError("GetTextExtentPoint32");
    int x = width - rightMargin - extent.cx;
    int y = height - bottomMargin - extent.cy;
    if (!win::TextOut(dc, x, y, text, length)) ShowApiError("TextOut");
}

HFONT CreateFontWithFallback(int height, int weight, const char* face) {
    HFONT font = win::CreateFont(height, weight, DEFAULT_CHARSET, DEFAULT_PITCH | FF_DONTCARE, face);
    if (font != nullptr) return font;
    return win::CreateFont(height, weight, DEFAULT_CHARSET, DEFAULT_PITCH | FF_DONTCARE, "System");
}

void LimitToWorkArea(MINMAXINFO* info) {
    RECT area;
    if (!g_systemParametersInfo(SPI_GETWORKAREA, 0, &area, 0)) {
        area.left = 0;
        area.top = 0;
        area.right = GetSystemMetrics(SM_CXSCREEN);
        area.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    info->ptMaxSize.x = area.right - area.left;
    info->ptMaxSize.y = area.bottom - area.top;
    info->ptMaxTrackSize = info->ptMaxSize;
    info->ptMaxPosition.x = area.left;
    info->ptMaxPosition.y = area.top;
    info->ptMinTrackSize.x = 0;
    info->ptMinTrackSize.y = 0;
}
