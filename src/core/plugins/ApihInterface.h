#pragma once
#include <cstdint>

/// The two functions of the plug-in host library "apih" and the types they take. The
/// program loads the library at run time and calls nothing else of it.
namespace quiltara {

/// An image handed to the host: width, height, the first (top) row of 32-bit pixels in
/// the picture's own blue, green, red, alpha order, rows top-down, and the row pitch in
/// pixels (equal to the width: rows are packed).
struct Buffer {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t* pixels;
    std::int32_t pitch;
};

extern "C" {
/// Receives (path, category, name) for each filter found in a file; the value returned
/// is not used.
using PSReportFn = int (*)(const char* path, const char* category, const char* name);
/// Polled while a filter runs: non-zero stops it.
using PSAbortFn = int (*)();
/// Told how far a filter has come.
using PSProgressFn = void (*)(int done, int total);
using PSColorFn = int (*)(int, const char*);

using ScanPSPluginFn = bool (*)(const char* file, PSReportFn report);
using InvokePSPluginFn = int (*)(Buffer& source, Buffer& destination, const char* path,
                                 PSAbortFn abortPoll, PSProgressFn progress, void* window,
                                 int black, int white, PSColorFn pickColor, const void* rect,
                                 int flags, bool reserved1, bool reserved2, int* status,
                                 int (*reserved3)[3]);
}

/// Results of InvokePSPlugin. Zero is success: the result stands in the destination.
/// Anything else leaves the destination as it came in.
enum PluginRunResult : int {
    kPluginOk = 0,
    kPluginCancelled = 1,    // the abort poll asked to stop
    kPluginFailed = 2,       // the filter itself reported a failure
    kPluginNotLoaded = 3,    // the file is not a plug-in, or the filter is not in it
    kPluginCrashed = 4,      // the helper process running the filter died
    kPluginHung = 5,         // no sign of life within the time allowed; it was stopped
    kPluginNoHelper = 6,     // the helper process could not be started
    kPluginBadArguments = 7, // buffers of different sizes, no pixels, too large
};

} // namespace quiltara
