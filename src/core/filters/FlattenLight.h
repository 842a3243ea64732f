#pragma once
// Light flattening: the large-scale brightness and colour gradients of a photograph
// (light falling from one side, a vignette, a warm corner) taken out, its mean colour
// and its fine detail kept. The light is a very wide Gaussian blur of the picture
// that WRAPS around its edges, so a seamless tile stays seamless; the picture is
// divided by it (or has it subtracted) and scaled back to its mean.
//
// A wrapping blur cannot see light that grows from one edge to the other: wrapped,
// that is a saw tooth, and its blur misses the tooth. So where the tile steps across
// its wrap by more than its grain explains, the step is taken as a slope of the light
// first (a plane, per channel) and the wrapping blur finds the rest. A tile that
// wraps has no slope and is flattened by the wrapping blur alone.
//
// The blur is so wide that it is taken on a coarse grid of area averages (at most
// kLightGridMax cells a side, each at most a quarter of the radius when the picture
// allows) and read back with bilinear interpolation, which also wraps.
#include "core/image/DIBSection2.h"

#include <vector>

namespace quiltara {

enum class FlattenLightMode {
    Divide,   // light multiplies the surface: pixel * mean / light (gain 1/4 .. 4)
    Subtract, // pixel + mean - light
};

struct FlattenLightOptions {
    /// Standard deviation of the blur in pixels; 0 or less picks the default, a
    /// sixteenth of the picture's larger side: blotches and gradients an eighth of
    /// the tile across and larger go, grain and stones stay.
    double radius = 0;
    FlattenLightMode mode = FlattenLightMode::Divide;
};

inline constexpr int kLightGridMax = 256;
/// The radius the options give for a picture of width x height: the default for 0
/// or less, otherwise the request held to at least 2 pixels.
double FlattenRadius(const FlattenLightOptions& options, int width, int height);

/// The light of a tile, and how to take it out of that tile or of any picture laid
/// in step with it (the photograph around the tile, say).
class CLightField {
public:
    /// Measures the light of a 32-bit picture; false (and the field empty) for an
    /// empty picture or one of another depth.
    bool Measure(const CDIBSection2& tile, const FlattenLightOptions& options = {});
    bool IsEmpty() const { return m_light.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    /// Takes the light out of a 32-bit picture: its pixel (x, y), memory rows, is
    /// corrected as the tile's pixel ((x - originX) mod W, (y - originY) mod H).
    /// Alpha stays. Nothing happens when the field or the picture is empty.
    void Apply(CDIBSection2& picture, int originX = 0, int originY = 0) const;

    /// The light (per channel: blue, green, red) at the tile's pixel (x, y), memory
    /// rows: a slope that goes on beyond the tile's edges with a light that repeats.
    void LightAt(int x, int y, double bgr[3]) const;
    /// The tile does not wrap in its light: it grows from one edge to the other.
    bool HasSlope() const {
        for (int c = 0; c < 3; ++c)
            if (m_slopeX[c] != 0 || m_slopeY[c] != 0) return true;
        return false;
    }
    /// The tile's mean per channel (blue, green, red).
    const double* Mean() const { return m_mean; }

private:
    /// Grid coordinate of a tile column or row: cell index and weight of the next.
    struct Tap {
        int first = 0, second = 0;
        float weight = 0;
    };
    static std::vector<Tap> Taps(int pixels, int cells);
    /// The sloped part of the light at a tile point (not wrapped), and a value with
    /// it taken out.
    double SlopeLight(double x, double y, int c) const;
    double Unslope(double value, double x, double y, int c) const;

    int m_width = 0, m_height = 0;
    int m_gridW = 0, m_gridH = 0;
    std::vector<float> m_light; // gridH rows of gridW cells, three channels each
    double m_mean[3] = {0, 0, 0};
    // Light that grows across the tile, per channel value and pixel: found from the
    // step across the wrap, 0 for a tile that wraps.
    double m_slopeX[3] = {0, 0, 0}, m_slopeY[3] = {0, 0, 0};
    FlattenLightMode m_mode = FlattenLightMode::Divide;
};

/// Measures the picture's light and takes it out of the same picture. False when
/// the picture is not a 32-bit picture (it is then unchanged).
bool FlattenLight(CDIBSection2& picture, const FlattenLightOptions& options = {});

} // namespace quiltara
