#pragma once
#include <string>

namespace quiltara {

/// How large a picture comes out on paper: the sizing modes of "Set Print Size...".
enum PrintMode : int {
    kPrintStretchToFit = 0,  // as large as the printable area allows
    kPrintSetDpi = 1,        // the picture at the given pixels per inch
    kPrintFitIntoFormat = 2, // as large as fits into width x height inches
    kPrintTileThePage = 3,   // the tile at the given pixels per inch, repeated over the page
};

/// The three program-wide print settings ("Print", "DPI", "PrintSzW"/"PrintSzH").
struct PrintSizeSettings {
    int mode = kPrintStretchToFit;
    int dpi = 96;
    double width = 6.0; // inches
    double height = 4.0;
};

/// What the printer reports: its printable area in device pixels and its pixels per
/// inch in each direction.
struct PrinterFigures {
    int printableWidth = 0;
    int printableHeight = 0;
    int dpiX = 0;
    int dpiY = 0;
    bool Valid() const { return printableWidth > 0 && printableHeight > 0 && dpiX > 0 && dpiY > 0; }
};

/// Where the picture goes on the page, in printer device pixels from the top left
/// of the printable area.
struct PrintPlacement {
    bool printable = false;
    int px = 0, py = 0; // pixels of the picture per inch, across and down
    int resolution = 0; // the larger of the two: one picture pixel is 1 / resolution inch
    double width = 0;   // one copy of the picture, in printer pixels
    double height = 0;
    int columns = 0, rows = 0; // copies across and down (1 x 1 but when tiling the page)
};

/// The placement on a printed page. The picture's resolution (px, py) truncates as
/// the printing always did; the mapping then keeps the picture's pixels square on
/// paper by taking the smaller of the two scales, that is the larger resolution.
/// Nothing is printed when the picture, px or py is below 1.
PrintPlacement PlacePrint(int imageWidth, int imageHeight, const PrintSizeSettings& settings,
                          const PrinterFigures& printer);

/// The figures of the "Set Print Size" dialog.
struct PrintSizeReport {
    bool valid = false;    // every printer figure and the picture size positive
    double resolution = 0; // the used resolution q, pixels per inch
    double width = 0;      // printed size in inches
    double height = 0;
    bool largerThanPage = false;
    double pageWidth = 0; // printable area in inches
    double pageHeight = 0;
};

PrintSizeReport ReportPrintSize(int imageWidth, int imageHeight, const PrintSizeSettings& settings,
                                const PrinterFigures& printer);

/// The dialog's texts.
std::string ActualSizeText(const PrintSizeReport& report);        // "Actual Size: 6.00 x 4.00 inch"
std::string MetricSizeText(const PrintSizeReport& report);        // "Metric: 15.24 x 10.16 cm"
std::string CurrentResolutionText(const PrintSizeReport& report); // "Curr: 100"
std::string PrinterText(const PrinterFigures& printer);
std::string ImageSizeText(int imageWidth, int imageHeight); // "Image: 600 x 400"

/// The dialog's rule for typed values: a DPI of 0 (or an empty field) becomes 1, a
/// width or height not above 0 becomes 1.0.
int SanitisePrintDpi(int dpi);
double SanitisePrintInches(double inches);

} // namespace quiltara
