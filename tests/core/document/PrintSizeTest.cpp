#include "core/document/PrintSize.h"

#include <gtest/gtest.h>

using namespace quiltara;

namespace {
// A letter page at 600 pixels per inch, printable 8 x 10.5 inches.
constexpr PrinterFigures kLetter600{4800, 6300, 600, 600};

struct ReportCase {
    const char* name;
    int w, h;
    PrintSizeSettings settings;
    const char* actual;
    const char* metric;
    const char* current;
    bool larger;
};
} // namespace

TEST(PrintSize, DialogFiguresFollowTheModes) {
    const ReportCase cases[] = {
        {"dpi 100",
         600,
         400,
         {kPrintSetDpi, 100, 6, 4},
         "Actual Size: 6.00 x 4.00 inch",
         "Metric: 15.24 x 10.16 cm",
         "Curr: 100",
         false},
        {"format: the larger resolution wins",
         600,
         600,
         {kPrintFitIntoFormat, 96, 6, 4},
         "Actual Size: 4.00 x 4.00 inch",
         "Metric: 10.16 x 10.16 cm",
         "Curr: 150",
         false},
        {"format not positive: the dpi",
         300,
         300,
         {kPrintFitIntoFormat, 150, 0, 4},
         "Actual Size: 2.00 x 2.00 inch",
         "Metric: 5.08 x 5.08 cm",
         "Curr: 150",
         false},
        {"dpi 1: the picture's size in inches",
         20,
         10,
         {kPrintSetDpi, 1, 6, 4},
         "Actual Size: 20.00 x 10.00 inch",
         "Metric: 50.80 x 25.40 cm",
         "Curr: 1",
         true},
        {"stretch: limited by the height",
         800,
         2100,
         {kPrintStretchToFit, 96, 6, 4},
         "Actual Size: 4.00 x 10.50 inch",
         "Metric: 10.16 x 26.67 cm",
         "Curr: 200",
         false},
        {"tile the page: the tile at its dpi",
         200,
         100,
         {kPrintTileThePage, 100, 6, 4},
         "Actual Size: 2.00 x 1.00 inch",
         "Metric: 5.08 x 2.54 cm",
         "Curr: 100",
         false},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintSizeReport r = ReportPrintSize(c.w, c.h, c.settings, kLetter600);
        ASSERT_TRUE(r.valid);
        EXPECT_EQ(ActualSizeText(r), c.actual);
        EXPECT_EQ(MetricSizeText(r), c.metric);
        EXPECT_EQ(CurrentResolutionText(r), c.current);
        EXPECT_EQ(r.largerThanPage, c.larger);
    }
    EXPECT_EQ(PrinterText(kLetter600), "DPI: 600 x 600  Resolution: 4800 x 6300");
    EXPECT_EQ(ImageSizeText(600, 400), "Image: 600 x 400");
    EXPECT_FALSE(ReportPrintSize(600, 400, {}, PrinterFigures{}).valid);
    EXPECT_FALSE(ReportPrintSize(0, 400, {}, kLetter600).valid);
}

// The printed size is what the picture's pixels per inch and the printer's make of it:
// for every mode the copy is W / q by H / q inches with q the larger resolution, and
// in the printing path q is truncated first.
TEST(PrintSize, PlacementMatchesTheTruncatedResolution) {
    struct Case {
        int w, h;
        PrintSizeSettings settings;
        PrinterFigures printer;
        int px, py;
        double widthInches, heightInches;
        int columns, rows;
    };
    const Case cases[] = {
        {600, 400, {kPrintSetDpi, 100, 6, 4}, kLetter600, 100, 100, 6.0, 4.0, 1, 1},
        {600, 600, {kPrintFitIntoFormat, 96, 6, 4}, kLetter600, 100, 150, 4.0, 4.0, 1, 1},
        // 1000 / 8 = 125, 1000 / 10.5 = 95.2 -> 95: the width decides, 8 inches.
        {1000, 1000, {kPrintStretchToFit, 96, 6, 4}, kLetter600, 125, 95, 8.0, 8.0, 1, 1},
        // A printer with unequal resolutions: the picture's pixels stay square on paper.
        {300, 300, {kPrintSetDpi, 100, 6, 4}, {1600, 1000, 200, 100}, 100, 100, 3.0, 3.0, 1, 1},
        // 2.5 x 2 inch tiles over 8 x 10.5: 4 across (the last cut), 6 down.
        {250, 200, {kPrintTileThePage, 100, 6, 4}, kLetter600, 100, 100, 2.5, 2.0, 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " mode " << c.settings.mode);
        const PrintPlacement p = PlacePrint(c.w, c.h, c.settings, c.printer);
        ASSERT_TRUE(p.printable);
        EXPECT_EQ(p.px, c.px);
        EXPECT_EQ(p.py, c.py);
        EXPECT_NEAR(p.width / c.printer.dpiX, c.widthInches, 1e-9);
        EXPECT_NEAR(p.height / c.printer.dpiY, c.heightInches, 1e-9);
        EXPECT_EQ(p.columns, c.columns);
        EXPECT_EQ(p.rows, c.rows);
        if (c.settings.mode == kPrintTileThePage) { // the copies cover the page, no more
            EXPECT_GE(p.columns * p.width, c.printer.printableWidth);
            EXPECT_LT((p.columns - 1) * p.width, c.printer.printableWidth);
            EXPECT_GE(p.rows * p.height, c.printer.printableHeight);
            EXPECT_LT((p.rows - 1) * p.height, c.printer.printableHeight);
        }
    }
}

TEST(PrintSize, NothingPrintsBelowOnePixelPerInch) {
    const PrintSizeSettings zeroFormat{kPrintFitIntoFormat, 96, 0, 4};
    const PrintSizeSettings zeroDpi{kPrintSetDpi, 0, 6, 4};
    const PrintSizeSettings hugeFormat{kPrintFitIntoFormat, 96, 1e300, 4};
    EXPECT_FALSE(PlacePrint(600, 400, zeroFormat, kLetter600).printable);
    EXPECT_FALSE(PlacePrint(600, 400, zeroDpi, kLetter600).printable);
    EXPECT_FALSE(PlacePrint(600, 400, hugeFormat, kLetter600).printable);
    EXPECT_FALSE(PlacePrint(0, 400, {kPrintSetDpi, 100, 6, 4}, kLetter600).printable);
    // An unknown stored mode prints as "Stretch to fit".
    EXPECT_EQ(PlacePrint(800, 600, {9, 100, 6, 4}, kLetter600).px,
              PlacePrint(800, 600, {kPrintStretchToFit, 100, 6, 4}, kLetter600).px);
    EXPECT_EQ(SanitisePrintDpi(0), 1);
    EXPECT_EQ(SanitisePrintDpi(72), 72);
    EXPECT_EQ(SanitisePrintInches(-2.0), 1.0);
    EXPECT_EQ(SanitisePrintInches(0.5), 0.5);
}
