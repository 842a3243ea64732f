#pragma once
#include "core/base/ColorRef.h"

#include <string>

namespace quiltara {

class ISettingsStore;

/// The section "GSettings" and the other application-wide values, with their defaults.
/// Read once at start, written at exit and after "Settings...".
struct CAppSettings {
    static constexpr const char* kSection = "GSettings";

    int dpi = 96;          // "DPI"
    int printMode = 0;     // "Print"
    int printWidth = 600;  // "PrintSzW", hundredths of an inch
    int printHeight = 400; // "PrintSzH"
    int undoLevels = 3;    // "Undo"
    // Library file names, stored without folder.
    std::string brushLibrary = "default.brs";    // "Brushes", Brushes/Brush/
    std::string penLibrary = "default.brs";      // "Pens", Brushes/Pen/
    std::string airbrushLibrary = "default.brs"; // "Airbrush", Brushes/Airbrush/
    std::string stampLibrary = "default.brs";    // "Stamps": written at exit, never read
    std::string retouchLibrary = "default.brs";  // "Retouch", Brushes/Retouch/
    std::string nozzleLibrary = "default.brs";   // "Nozzle", Brushes/Nozzle/
    std::string naturalLibrary = "default.brs";  // "Oils", Brushes/Natural/
    int stampAligned = 1;                        // "StampAl"
    int stampFeedback = 0;                       // "StampFB"
    int stampWrap = 0;                           // "StampWR"
    int brushNo = 4, airNo = 4, penNo = 4, stampNo = 4, retouchNo = 4; // "BrushNo" ...
    int hoseNo = 0, oilNo = 0;                                         // "HoseNo", "OilNo"
    ColorRef backColor = 0;                                            // "BackCLR"
    ColorRef foreColor = 255;                                          // "ForeCLR"
    int showExif = 1;                                                  // "ShowExif"
    int tablet = 1;                                                    // "Tablet"

    // Section "New".
    int newWidth = 200;
    int newHeight = 200;
    ColorRef newColor = 0xFFFFFF;
    // Section "Document": folder of the last open or save; empty means the Samples folder.
    std::string documentPath;

    void Load(const ISettingsStore& store);
    /// Writes everything, and "App"/"home" as the program folder with a trailing separator.
    void Save(ISettingsStore& store, const std::string& programFolder) const;
};

} // namespace quiltara
