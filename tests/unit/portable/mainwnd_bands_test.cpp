// The band layout of the background window's gradient.
#include <gtest/gtest.h>

#include <limits.h>

#include "setup/mainwnd_bands.h"

namespace {

struct BandCase {
    const char* name;
    int clientHeight;
    int bandHeight;
    int bandCount;
    int lastTop;
    int lastBottom;
    int lastGreen;
};

const BandCase kCases[] = {
    {"exact sixty bands", 600, 10, 60, 590, 600, 2},
    {"two extra black bands", 620, 10, 62, 610, 620, 0},
    {"last band reaches below", 745, 12, 63, 744, 756, 0},
    {"one band per pixel", 60, 1, 60, 59, 60, 2},
    {"lower than sixty pixels", 40, 1, 40, 39, 40, 42},
    {"one pixel", 1, 1, 1, 0, 1, 120},
    {"just under two pixels a band", 119, 1, 119, 118, 119, 0},
};

TEST(MainWindowBands, LayoutOfTheClientArea) {
    for (const BandCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.bandHeight, BandHeight(c.clientHeight));
        ASSERT_EQ(c.bandCount, BandCount(c.clientHeight));
        Band last = GetBand(c.clientHeight, c.bandCount - 1);
        EXPECT_EQ(c.lastTop, last.top);
        EXPECT_EQ(c.lastBottom, last.bottom);
        EXPECT_EQ(c.lastGreen, last.green);
        // The bands follow each other without gap and cover the client area.
        int top = 0;
        for (int i = 0; i < c.bandCount; ++i) {
            Band band = GetBand(c.clientHeight, i);
            ASSERT_EQ(top, band.top) << "band " << i;
            ASSERT_EQ(c.bandHeight, band.bottom - band.top) << "band " << i;
            top = band.bottom;
        }
        EXPECT_GE(top, c.clientHeight);
        EXPECT_LT(top - c.bandHeight, c.clientHeight);
    }
}

TEST(MainWindowBands, GreenDarkensByTwoDownToBlack) {
    const struct { int index; int green; } levels[] = {
        {0, 120}, {1, 118}, {30, 60}, {59, 2}, {60, 0}, {61, 0}, {100000, 0}, {INT_MAX, 0},
    };
    for (const auto& level : levels) {
        EXPECT_EQ(level.green, GetBand(600, level.index).green) << "band " << level.index;
    }
}

TEST(MainWindowBands, EmptyAndHugeClientAreas) {
    EXPECT_EQ(0, BandCount(0));
    EXPECT_EQ(0, BandCount(-5));
    // The last band of the tallest area must not overflow.
    int count = BandCount(INT_MAX);
    Band last = GetBand(INT_MAX, count - 1);
    EXPECT_LT(last.top, INT_MAX);
    EXPECT_EQ(INT_MAX, last.bottom);
}

}  // namespace
