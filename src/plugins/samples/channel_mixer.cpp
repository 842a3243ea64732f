// Sample filter: channel mixers with fixed weights in 1/256ths, one filter per mix.
#include "../QuiltaraFilter.h"

#include <cstdint>

namespace {

const QuiltaraFilterInfo kFilters[] = {
    {"Channels", "Swap Red and Blue"}, {"Channels", "Warm Mix"}, {"Channels", "Green Monochrome"}};

// Output red, green, blue from input red, green, blue.
const int kMix[3][3][3] = {
    {{0, 0, 256}, {0, 256, 0}, {256, 0, 0}},
    {{230, 40, 0}, {20, 220, 16}, {0, 30, 200}},
    {{0, 256, 0}, {0, 256, 0}, {0, 256, 0}},
};

int Clamp(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

} // namespace

extern "C" {

QUILTARA_FILTER_EXPORT int QuiltaraFilterApi(void) {
    return QUILTARA_FILTER_API;
}

QUILTARA_FILTER_EXPORT const QuiltaraFilterInfo* QuiltaraFilterList(int* count) {
    *count = 3;
    return kFilters;
}

QUILTARA_FILTER_EXPORT int QuiltaraFilterRun(int index, const QuiltaraImage* src,
                                             QuiltaraImage* dst, const QuiltaraFilterHost* host) {
    if (index < 0 || index > 2) return 1;
    const int(*m)[3] = kMix[index];
    for (int y = 0; y < src->height; ++y) {
        for (int x = 0; x < src->width; ++x) {
            const uint32_t p = src->pixels[(long)y * src->pitch + x];
            const int in[3] = {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
            int out[3];
            for (int c = 0; c < 3; ++c)
                out[c] = Clamp((m[c][0] * in[0] + m[c][1] * in[1] + m[c][2] * in[2]) >> 8);
            dst->pixels[(long)y * dst->pitch + x] = (p & 0xFF000000u) | uint32_t(out[0]) << 16 |
                                                    uint32_t(out[1]) << 8 | uint32_t(out[2]);
        }
        if (host->progress) host->progress(host->context, y + 1, src->height);
    }
    return 0;
}
}
