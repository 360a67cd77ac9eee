// The green bands of the background window.
#include "mainwnd_bands.h"

#include <limits.h>

int BandHeight(int clientHeight) {
    int height = clientHeight / kBandsPerClient;
    return height > 0 ? height : 1;
}

int BandCount(int clientHeight) {
    if (clientHeight <= 0) return 0;
    int height = BandHeight(clientHeight);
    return clientHeight / height + (clientHeight % height != 0 ? 1 : 0);
}

Band GetBand(int clientHeight, int index) {
    int height = BandHeight(clientHeight);
    long long top = static_cast<long long>(index) * height;
    long long bottom = top + height;
    Band band;
    band.top = top > INT_MAX ? INT_MAX : static_cast<int>(top);
    band.bottom = bottom > INT_MAX ? INT_MAX : static_cast<int>(bottom);
    // Below band 60 the level has reached 0; compare first so a large index cannot overflow.
    int darkBands = kTopBandGreen / kBandGreenStep;
    band.green = index >= darkBands ? 0 : kTopBandGreen - kBandGreenStep * index;
    return band;
}
