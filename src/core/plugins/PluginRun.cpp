#include "core/plugins/PluginRun.h"

#include "core/plugins/PluginHost.h"

#include <cstring>
#include <new>
#include <vector>

namespace quiltara {

int RunPluginOnPicture(CDIBSection2& picture, const std::string& path, PSAbortFn abortPoll,
                       PSProgressFn progress, void* window) {
    const int w = picture.GetWidth(), h = picture.GetHeight();
    if (w <= 0 || h <= 0 || picture.GetBitsPerPixel() != 32 || !picture.GetBits())
        return kPluginBadArguments;
    CPluginHost& host = CPluginHost::Instance();
    if (!host.Available()) return kPluginNoHelper;
    const std::size_t rowBytes = std::size_t(w) * 4;
    std::vector<std::uint32_t> source, destination;
    try {
        source.resize(std::size_t(w) * std::size_t(h));
        destination.resize(source.size());
    } catch (const std::bad_alloc&) {
        return kPluginBadArguments;
    }
    // Plug-ins get rows top-down; the picture keeps them bottom-up.
    for (int y = 0; y < h; ++y)
        std::memcpy(source.data() + std::size_t(y) * std::size_t(w), picture.PixelAt(0, h - 1 - y),
                    rowBytes);
    destination = source;
    Buffer src{w, h, source.data(), w};
    Buffer dst{w, h, destination.data(), w};
    const int result =
        host.InvokePSPlugin(src, dst, path.c_str(), abortPoll, progress, window, 0, 0xFFFFFF,
                            nullptr, nullptr, 0, false, false, nullptr, nullptr);
    if (result != kPluginOk) return result;
    for (int y = 0; y < h; ++y)
        std::memcpy(picture.PixelAt(0, h - 1 - y),
                    destination.data() + std::size_t(y) * std::size_t(w), rowBytes);
    return kPluginOk;
}

bool ApplyExtraResult(CDIBSection2& picture, const ExtraRunResult& result) {
    if (result.status != ExtraRunResult::Ran || result.startResult == 0) return false;
    if (result.inPlace.size() == picture.PixelBytes() && picture.GetBits())
        std::memcpy(picture.GetBits(), result.inPlace.data(), result.inPlace.size());
    if (!result.newPixels.empty() && result.newPixels.size() == std::size_t(result.newWidth) *
                                                                    std::size_t(result.newHeight) *
                                                                    4) {
        picture.Create(result.newWidth, result.newHeight, 32, true);
        std::memcpy(picture.GetBits(), result.newPixels.data(), result.newPixels.size());
    }
    return true;
}

std::string PluginMissingText(const std::string& path) {
    return "The file \n" + path +
           "\ndoesn't exist on the system anymore.\nPlease go to Plugin manager and click "
           "OK/Reload\nto refresh the plugins.";
}

std::string PluginFoundCountText(int count) {
    return "Quiltara found " + std::to_string(count) + " comatible plug-ins and filters.";
}

} // namespace quiltara
