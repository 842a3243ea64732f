// Sample filter: moves the picture by half its width and height, wrapping around, so the
// tile's seams come to its middle where they can be judged and retouched.
#include "../QuiltaraFilter.h"

#include <cstring>

namespace {
const QuiltaraFilterInfo kFilters[] = {{"Tile", "Offset by Half"}};
}

extern "C" {

QUILTARA_FILTER_EXPORT int QuiltaraFilterApi(void) {
    return QUILTARA_FILTER_API;
}

QUILTARA_FILTER_EXPORT const QuiltaraFilterInfo* QuiltaraFilterList(int* count) {
    *count = 1;
    return kFilters;
}

QUILTARA_FILTER_EXPORT int QuiltaraFilterRun(int index, const QuiltaraImage* src,
                                             QuiltaraImage* dst, const QuiltaraFilterHost* host) {
    if (index != 0 || src->width != dst->width || src->height != dst->height) return 1;
    const int w = src->width, h = src->height;
    const int dx = w / 2, dy = h / 2;
    for (int y = 0; y < h; ++y) {
        const uint32_t* from = src->pixels + (long)((y + dy) % h) * src->pitch;
        uint32_t* to = dst->pixels + (long)y * dst->pitch;
        // Row y of the result is row y + dy of the source, turned left by dx.
        std::memcpy(to, from + dx, sizeof(uint32_t) * (w - dx));
        std::memcpy(to + (w - dx), from, sizeof(uint32_t) * dx);
        if (host->progress) host->progress(host->context, y + 1, h);
    }
    return 0;
}
}
