#include "core/document/PrintSize.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quiltara {

namespace {
std::string Format(const char* pattern, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// Truncation that stays defined for values beyond int, NaN and infinities.
int TruncateToInt(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return int(v);
}

int KnownMode(int mode) {
    return mode >= kPrintStretchToFit && mode <= kPrintTileThePage ? mode : kPrintStretchToFit;
}
} // namespace

int SanitisePrintDpi(int dpi) {
    return dpi < 1 ? 1 : dpi;
}

double SanitisePrintInches(double inches) {
    return inches > 0 ? inches : 1.0;
}

PrintPlacement PlacePrint(int w, int h, const PrintSizeSettings& settings,
                          const PrinterFigures& printer) {
    PrintPlacement placement;
    if (w < 1 || h < 1 || !printer.Valid()) return placement;
    int px = 0, py = 0;
    switch (KnownMode(settings.mode)) {
    case kPrintStretchToFit:
        px = TruncateToInt(w / (double(printer.printableWidth) / printer.dpiX));
        py = TruncateToInt(h / (double(printer.printableHeight) / printer.dpiY));
        break;
    case kPrintSetDpi:
    case kPrintTileThePage:
        px = py = settings.dpi;
        break;
    case kPrintFitIntoFormat:
        px = settings.width > 0 ? TruncateToInt(w / settings.width) : 0;
        py = settings.height > 0 ? TruncateToInt(h / settings.height) : 0;
        break;
    }
    if (px < 1 || py < 1) return placement;
    placement.printable = true;
    placement.px = px;
    placement.py = py;
    placement.resolution = std::max(px, py);
    placement.width = double(w) * printer.dpiX / placement.resolution;
    placement.height = double(h) * printer.dpiY / placement.resolution;
    placement.columns = placement.rows = 1;
    if (KnownMode(settings.mode) == kPrintTileThePage) {
        // Copies until the printable area is covered; the last ones are cut at its edge.
        placement.columns = std::max(1, int(std::ceil(printer.printableWidth / placement.width)));
        placement.rows = std::max(1, int(std::ceil(printer.printableHeight / placement.height)));
    }
    return placement;
}

PrintSizeReport ReportPrintSize(int w, int h, const PrintSizeSettings& settings,
                                const PrinterFigures& printer) {
    PrintSizeReport report;
    if (w < 1 || h < 1 || !printer.Valid()) return report;
    report.pageWidth = double(printer.printableWidth) / printer.dpiX;
    report.pageHeight = double(printer.printableHeight) / printer.dpiY;
    double qx = settings.dpi, qy = settings.dpi;
    switch (KnownMode(settings.mode)) {
    case kPrintStretchToFit:
        qx = w / report.pageWidth;
        qy = h / report.pageHeight;
        break;
    case kPrintFitIntoFormat:
        if (settings.width > 0 && settings.height > 0) {
            qx = w / settings.width;
            qy = h / settings.height;
        }
        break;
    default:
        break;
    }
    report.resolution = std::max(qx, qy);
    if (!(report.resolution > 0)) return report;
    report.valid = true;
    report.width = w / report.resolution;
    report.height = h / report.resolution;
    report.largerThanPage = report.width > report.pageWidth || report.height > report.pageHeight;
    return report;
}

std::string ActualSizeText(const PrintSizeReport& r) {
    return Format("Actual Size: %.2lf x %.2lf inch", r.width, r.height);
}

std::string MetricSizeText(const PrintSizeReport& r) {
    return Format("Metric: %.2lf x %.2lf cm", r.width * 2.54, r.height * 2.54);
}

std::string CurrentResolutionText(const PrintSizeReport& r) {
    return "Curr: " + std::to_string(TruncateToInt(r.resolution));
}

std::string PrinterText(const PrinterFigures& p) {
    char text[160];
    std::snprintf(text, sizeof text, "DPI: %d x %d  Resolution: %d x %d", p.dpiX, p.dpiY,
                  p.printableWidth, p.printableHeight);
    return text;
}

std::string ImageSizeText(int w, int h) {
    return "Image: " + std::to_string(w) + " x " + std::to_string(h);
}

} // namespace quiltara
