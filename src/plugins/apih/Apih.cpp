// apih: the plug-in host library. The program calls only ScanPSPlugin and
// InvokePSPlugin; both hand the plug-in to the helper process quiltara-plugin-runner,
// so the plug-in's code never runs inside the program.
#include "core/plugins/ApihInterface.h"
#include "core/plugins/HelperProcess.h"

#include <cstdlib>
#include <cstring>
#include <string>

#define APIH_EXPORT extern "C" __attribute__((visibility("default")))

namespace quiltara {
namespace {

// The largest picture handed to a plug-in, in pixels (a 16384 x 16384 tile).
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

bool ValidBuffer(const Buffer& b) {
    return b.width > 0 && b.height > 0 && b.pixels && b.pitch >= b.width &&
           std::int64_t(b.width) * b.height <= kMaxPixels;
}

std::string ResultOf(const HelperRun& run) {
    for (auto it = run.lines.rbegin(); it != run.lines.rend(); ++it) {
        const std::vector<std::string> f = SplitHelperLine(*it);
        if (f.size() >= 2 && f[0] == "R") return f[1];
    }
    return {};
}

} // namespace
} // namespace quiltara

using namespace quiltara;

/// Offers one candidate file to the helper; report receives (path, category, name) for
/// each filter it holds. True when at least one filter was reported.
APIH_EXPORT bool ScanPSPlugin(const char* file, PSReportFn report) {
    if (!file || !report || !*file) return false;
    HelperOptions options;
    options.silenceTimeoutMs = PluginSilenceTimeoutMs(10000);
    const HelperRun run = RunHelper(FindPluginRunner(), {"scan", file}, -1, options);
    if (run.end != HelperEnd::Finished || ResultOf(run) != "0") return false;
    bool any = false;
    for (const std::string& line : run.lines) {
        const std::vector<std::string> f = SplitHelperLine(line);
        if (f.size() != 4 || f[0] != "F") continue;
        report(f[1].c_str(), f[2].c_str(), f[3].c_str());
        any = true;
    }
    return any;
}

/// Runs the filter named by path ("file#index") on source into destination. The
/// destination is written only on success (result 0). Arguments 6 to 15 are accepted
/// for the program's calling convention; the colours 7 and 8 are offered to the filter.
APIH_EXPORT int InvokePSPlugin(Buffer& source, Buffer& destination, const char* path,
                               PSAbortFn abortPoll, PSProgressFn progress, void* /*window*/,
                               int /*black*/, int /*white*/, PSColorFn /*pickColor*/,
                               const void* /*rect*/, int /*flags*/, bool, bool, int* status,
                               int (*)[3]) {
    if (!path || !ValidBuffer(source) || !ValidBuffer(destination) ||
        source.width != destination.width || source.height != destination.height)
        return kPluginBadArguments;
    const int w = source.width, h = source.height;
    const std::size_t rowBytes = std::size_t(w) * 4;
    const std::size_t bytes = rowBytes * std::size_t(h);
    CSharedPixels shared;
    if (!shared.Create(bytes * 2)) return kPluginBadArguments;
    for (int y = 0; y < h; ++y) {
        std::memcpy(shared.Data() + rowBytes * std::size_t(y),
                    source.pixels + std::size_t(y) * std::size_t(source.pitch), rowBytes);
        std::memcpy(shared.Data() + bytes + rowBytes * std::size_t(y),
                    destination.pixels + std::size_t(y) * std::size_t(destination.pitch), rowBytes);
    }
    HelperOptions options;
    options.silenceTimeoutMs = PluginSilenceTimeoutMs(60000);
    if (abortPoll) options.abortPoll = [abortPoll] { return abortPoll() != 0; };
    options.onLine = [progress](const std::string& line) {
        const std::vector<std::string> f = SplitHelperLine(line);
        if (progress && f.size() == 3 && f[0] == "P")
            progress(std::atoi(f[1].c_str()), std::atoi(f[2].c_str()));
    };
    const HelperRun run =
        RunHelper(FindPluginRunner(), {"run", path, std::to_string(w), std::to_string(h)},
                  shared.Fd(), options);
    int result = kPluginOk;
    switch (run.end) {
    case HelperEnd::NotStarted:
        result = kPluginNoHelper;
        break;
    case HelperEnd::Cancelled:
        result = kPluginCancelled;
        break;
    case HelperEnd::Hung:
        result = kPluginHung;
        break;
    case HelperEnd::Crashed:
        result = kPluginCrashed;
        break;
    case HelperEnd::Finished: {
        const std::string r = ResultOf(run);
        if (r.empty())
            result = kPluginCrashed; // ended without a word
        else if (r == "load")
            result = kPluginNotLoaded;
        else if (r != "0")
            result = r == "args" ? kPluginBadArguments : kPluginFailed;
        break;
    }
    }
    if (status) *status = run.signal;
    if (result != kPluginOk) return result;
    // The helper may have shrunk the memory file; read back only what is there.
    if (!shared.Remap() || shared.Size() < bytes * 2) return kPluginCrashed;
    for (int y = 0; y < h; ++y)
        std::memcpy(destination.pixels + std::size_t(y) * std::size_t(destination.pitch),
                    shared.Data() + bytes + rowBytes * std::size_t(y), rowBytes);
    return kPluginOk;
}
