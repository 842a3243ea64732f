#pragma once
#include <cstdint>

namespace quiltara {

/// The brush bar's blend modes, index = mode.
enum BlendMode : int {
    kBlendNormal = 0,
    kBlendEdgeSmart = 1,
    kBlendMultiply = 2,
    kBlendDifference = 3,
    kBlendScreen = 4,
    kBlendOverlay = 5,
    kBlendDarken = 6,
    kBlendLighten = 7,
    kBlendHardLight = 8,
    kBlendSoftLight = 9,
    kBlendIfLighter = 10,
    kBlendIfDarker = 11,
};
constexpr int kBlendModeCount = 12;

const char* BlendModeLabel(int mode); // "Normal" ... "If Darker"; "" when unknown

/// One channel of the per-channel modes (everything but "Edge-Smart", "If Lighter" and
/// "If Darker"), c the paint and u the read image. Integer divisions truncate toward
/// zero; the result may leave 0 ... 255 ("Soft Light") and is clamped when written.
inline int BlendChannel(int mode, int c, int u) {
    switch (mode) {
    case kBlendMultiply:
        return c * u / 256;
    case kBlendDifference:
        return c > u ? c - u : u - c;
    case kBlendScreen:
        return 255 - (255 - c) * (255 - u) / 255;
    case kBlendOverlay:
        return u >= 128 ? 255 - 2 * (255 - c) * (255 - u) / 255 : 2 * c * u / 255;
    case kBlendDarken:
        return c < u ? c : u;
    case kBlendLighten:
        return c > u ? c : u;
    case kBlendHardLight:
        return c >= 128 ? 255 - 2 * (255 - c) * (255 - u) / 255 : 2 * c * u / 255;
    case kBlendSoftLight:
        return c < 129 ? 255 - 2 * (255 - c) * (255 - u) / 255 : 2 * c * u / 255;
    default:
        return c;
    }
}

/// Luma and chroma as "Edge-Smart" compares them, each truncated to an integer.
struct CEdgeSmartColor {
    int y = 0, cb = 0, cr = 0;
    /// From blue, green, red bytes.
    static CEdgeSmartColor From(int b, int g, int r) {
        CEdgeSmartColor e;
        e.y = int(0.299 * r + 0.587 * g + 0.114 * b);
        e.cb = int(-0.16874 * r - 0.33126 * g + 0.5 * b);
        e.cr = int(0.5 * r - 0.41869 * g - 0.08131 * b);
        return e;
    }
};

/// The weight K (0 ... 255) with which "Edge-Smart" keeps the read colour u when the
/// colour under the dab centre is m.
inline int EdgeSmartWeight(const CEdgeSmartColor& u, const CEdgeSmartColor& m) {
    auto absi = [](int v) { return v < 0 ? -v : v; };
    const int s = (absi(u.cr - m.cr) + absi(u.cb - m.cb)) * 2 + absi(u.y - m.y) / 4;
    if (s < 30) return 0;
    if (s < 35) return (s - 30) * 40;
    return 8 * s < 255 ? 8 * s : 255;
}

/// Applies a blend mode to the colour c (blue, green, red; changed in place) over the
/// read pixel u. m is the "Edge-Smart" centre colour, used by that mode only.
inline void BlendPixel(int mode, int c[3], const std::uint8_t* u, const CEdgeSmartColor& m) {
    switch (mode) {
    case kBlendNormal:
        return;
    case kBlendEdgeSmart: {
        const int k = EdgeSmartWeight(CEdgeSmartColor::From(u[0], u[1], u[2]), m);
        for (int i = 0; i < 3; ++i) c[i] = (k * u[i] + (255 - k) * c[i]) >> 8;
        return;
    }
    case kBlendIfLighter:
        if (!(c[0] + c[1] + c[2] >= u[0] + u[1] + u[2])) c[0] = u[0], c[1] = u[1], c[2] = u[2];
        return;
    case kBlendIfDarker:
        if (!(u[0] + u[1] + u[2] >= c[0] + c[1] + c[2])) c[0] = u[0], c[1] = u[1], c[2] = u[2];
        return;
    default:
        for (int i = 0; i < 3; ++i) c[i] = BlendChannel(mode, c[i], u[i]);
        return;
    }
}

} // namespace quiltara
