// The green bands of the background window: where each band lies and its colour (portable).
#ifndef ZELK_SETUP_MAINWND_BANDS_H
#define ZELK_SETUP_MAINWND_BANDS_H

constexpr int kBandsPerClient = 60;  // the client height is divided into this many bands
constexpr int kTopBandGreen = 120;   // green level of the top band
constexpr int kBandGreenStep = 2;    // each band is this much darker, down to black

struct Band {
    int top;
    int bottom;  // may lie below the client area: the last band is whole
    int green;   // 0..120
};

// Height of every band: a sixtieth of the client height, but at least one pixel, so a
// client area lower than 60 pixels is still painted band by band and the painting ends.
int BandHeight(int clientHeight);
// How many bands cover the client area (more than 60 when the height is not a multiple).
int BandCount(int clientHeight);
// Band i, counted from 0 at the top.
Band GetBand(int clientHeight, int index);

#endif
