// Painting of the background window.
#include "setup.h"

void PaintSetupWindow(HWND window) {
    PAINTSTRUCT paint;
    if (BeginPaint(window, &paint) == nullptr) return;
    EndPaint(window, &paint);
}

void LimitToWorkArea(MINMAXINFO*) {}
