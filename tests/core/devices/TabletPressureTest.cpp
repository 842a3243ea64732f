#include "core/devices/TabletPressure.h"

#include <gtest/gtest.h>

using namespace quiltara;

TEST(TabletPressure, PressureScalesTheRawValueAndFallsBackToFull) {
    struct Case {
        bool loaded, enabled, hasPressure;
        long minimum, maximum;
        unsigned cursor;
        unsigned long raw;
        int pressure;
    };
    const Case cases[] = {
        {true, true, true, 0, 1023, 1, 511, 127}, // 511 x 255 / 1023 = 127.38
        {true, true, true, 0, 1023, 1, 0, 0},      {true, true, true, 0, 1023, 1, 1023, 255},
        {true, true, true, 0, 1023, 1, 5000, 255}, // above the maximum
        {true, true, true, 0, 1023, 2, 511, 127},  // the eraser end has pressure too
        {true, true, true, 0, 1023, 0, 511, 255},  // pen out of range
        {true, false, true, 0, 1023, 1, 511, 255}, // switched off
        {false, true, true, 0, 1023, 1, 511, 255}, // no tablet layer
        {true, true, false, 0, 1023, 1, 511, 255}, // no pressure axis
        {true, true, true, 5, 5, 1, 511, 255},     // an empty range has no pressure
        {true, true, true, 0, 255, 1, 100, 100},
    };
    for (const Case& c : cases) {
        CTabletPressure tablet;
        tablet.SetLoaded(c.loaded);
        tablet.SetEnabled(c.enabled);
        tablet.SetAxis(c.hasPressure, c.minimum, c.maximum);
        tablet.Packet(c.cursor, c.raw);
        EXPECT_EQ(tablet.Pressure(), c.pressure)
            << c.loaded << c.enabled << c.hasPressure << " " << c.maximum << " cursor " << c.cursor
            << " raw " << c.raw;
    }
}

TEST(TabletPressure, PacketsResetAndTheSecondCursor) {
    CTabletPressure tablet;
    EXPECT_EQ(tablet.Cursor(), 0u);
    EXPECT_EQ(tablet.Pressure(), 255);
    tablet.SetLoaded(true);
    tablet.SetEnabled(true);
    tablet.SetAxis(true, 0, 1023);
    EXPECT_TRUE(tablet.Packet(1, 300));
    EXPECT_FALSE(tablet.Packet(1, 300));
    EXPECT_TRUE(tablet.Packet(1, 301));
    EXPECT_FALSE(tablet.SecondCursorInUse());
    EXPECT_TRUE(tablet.Packet(2, 301));
    EXPECT_TRUE(tablet.SecondCursorInUse());
    tablet.SetEnabled(false); // off at once, whatever packets came before
    EXPECT_FALSE(tablet.SecondCursorInUse());
    EXPECT_EQ(tablet.Pressure(), 255);
    tablet.SetEnabled(true);
    EXPECT_EQ(tablet.Pressure(), 75); // 301 x 255 / 1023 = 75.03
    tablet.Reset();
    EXPECT_EQ(tablet.Cursor(), 0u);
    EXPECT_EQ(tablet.RawPressure(), 255u);
    EXPECT_EQ(tablet.Pressure(), 255);
}
