#pragma once
#include "core/base/BrightnessContrast.h" // "Brightness & Contrast" from the displayed values -127..127
#include <array>
#include <cstdint>
#include <functional>

namespace quiltara {

/// Four tables of 256 entries 0..255: three per-channel maps and a fourth that serves
/// as the histogram in Levels. A new object holds the identity in all four. On a
/// 32-bit buffer table 0 maps the blue byte, 1 green, 2 red (alpha untouched); on a
/// 24-bit buffer byte k goes through table k.
struct ChannelLut {
    std::array<std::array<int, 256>, 4> table;

    ChannelLut();
    /// Fills table k from a curve y(x) on 0..1, x = i/255; entries are
    /// clamp(trunc(255 y + 0.5), 0, 255).
    void SetCurve(int k, const std::function<double(double)>& curve);
    void SetAllColourCurves(const std::function<double(double)>& curve);
    bool IsIdentity(int k) const;

    void Apply32(std::uint8_t* pixels, int width, int height) const;
    /// src and dst may be the same buffer; both hold width x height 32-bit pixels.
    void Apply32(const std::uint8_t* src, std::uint8_t* dst, int width, int height) const;
    void Apply24(std::uint8_t* pixels, int width, int height) const;
};

/// A curve value y in 0..1 as a table entry.
int CurveEntry(double y);

// The curves behind the adjustment dialogs, all for x in 0..1.

/// The levels map: input black a, input white b, output black c, output white d, gamma.
double LevelsCurve(double x, double inBlack, double inWhite, double outBlack, double outWhite,
                   double gamma);
/// Track bar position 0..200 of "Gamma" and "RGB Curves" to its value: 100 gives 1,
/// below 0.1 + d * 0.00909090909090909, above 1 + (d - 100) * 0.02.
double GammaFromPosition(int position);
/// "RGB Curves": 1 - (1 - x)^k for k > 1, else x^(1/k).
double ContrastStretchCurve(double x, double k);

/// Per-channel histograms of a 32-bit picture (index 0 red, 1 green, 2 blue) and the
/// intensity histogram of "Levels", which counts every pixel twice: at max(R, G, B)
/// and at (R + G + B) / 3.
struct Histograms {
    std::array<std::array<std::uint64_t, 256>, 3> channel{};
    std::array<std::uint64_t, 256> intensity{};
};
Histograms TakeHistograms(const std::uint8_t* pixels, int width, int height);

} // namespace quiltara
