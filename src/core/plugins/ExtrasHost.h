#pragma once
#include "core/plugins/PluginCatalog.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quiltara {

/// Every library of the Extras folder (files ending in ".xtr", not below sub-folders,
/// in name order) that loads and names itself through GetNameA. Each library is asked in
/// the helper process, so one that crashes on loading is simply not listed.
std::vector<ExtrasEntry> ListExtras(const std::string& extrasFolder);

/// The text of GetNameA or GetDescription of a library, asked in the helper process;
/// false when the library does not load or lacks the export.
bool AskExtraText(const std::string& path, bool description, std::string& text);

/// How running an Extra ended.
struct ExtraRunResult {
    enum Status {
        Ran,            // startResult holds what StartPlugin returned
        LoadFailed,     // the library did not load ("Can't find" + path)
        MissingExports, // StartPlugin or GetData is missing
        Crashed,        // the library crashed the helper
        Hung,           // the library stopped responding and was stopped
        Cancelled,      // the abort poll stopped it
        NoHelper,       // the helper program could not be started
    } status = NoHelper;
    int startResult = 0;
    /// With a non-zero start result: the picture as the library left it in place
    /// (width × height × 4 bytes, same layout as given), and the new picture GetData
    /// returned, if any.
    std::vector<std::uint8_t> inPlace;
    int newWidth = 0, newHeight = 0;
    std::vector<std::uint8_t> newPixels;
};

/// Runs the Extra in the helper process on a copy of the pixels (width × height packed
/// 32-bit pixels in the picture's own row order). view is passed to StartPlugin as an
/// opaque value. abortPoll, when given, is polled while it runs.
ExtraRunResult RunExtra(const std::string& path, const std::uint8_t* pixels, int width, int height,
                        const void* view, const std::function<bool()>& abortPoll);

/// The largest picture an Extra may return, in pixels.
inline constexpr std::int64_t kExtraMaxPixels = std::int64_t(1) << 28;

/// The program's messages about Extras.
std::string ExtraMissingText(const std::string& path);
inline constexpr const char* kExtraTroubleText = "There was a trouble loading the Extras Plug-In";

} // namespace quiltara
