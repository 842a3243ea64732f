// Sample Extra: stretches the picture to 300 x 200 pixels (nearest neighbour), returning a
// new picture of the new size.
#include "../QuiltaraExtra.h"

#include <vector>

namespace {
std::vector<uint32_t> g_result;
int g_width = 0, g_height = 0;
} // namespace

extern "C" {

QUILTARA_EXTRA_EXPORT const char* GetNameA(void) {
    return "Stretch to 300 x 200";
}

QUILTARA_EXTRA_EXPORT const char* GetDescription(void) {
    return "Stretches the picture to 300 by 200 pixels, for a quick banner or preview.";
}

QUILTARA_EXTRA_EXPORT int StartPlugin(uint32_t* pixels, int width, int height, void*) {
    if (!pixels || width <= 0 || height <= 0) return 0;
    g_width = 300;
    g_height = 200;
    g_result.assign(std::size_t(g_width) * g_height, 0);
    for (int y = 0; y < g_height; ++y)
        for (int x = 0; x < g_width; ++x)
            g_result[std::size_t(y) * g_width + x] =
                pixels[std::size_t(y * height / g_height) * width +
                       std::size_t(x * width / g_width)];
    return 1;
}

QUILTARA_EXTRA_EXPORT uint32_t* GetData(int* width, int* height) {
    if (g_result.empty()) return nullptr;
    *width = g_width;
    *height = g_height;
    return g_result.data();
}
}
