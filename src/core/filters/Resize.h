#pragma once
#include <cstdint>
#include <vector>

namespace quiltara {

class CDIBSection2;
class IProgressReporter;

// The resizers work on 32-bit pixels (blue, green, red, alpha; all four bytes are
// resampled), rows following each other without gaps. Near the picture's edges they
// repeat the edge pixel; they never wrap around.

/// One output sample of a one-dimensional resampling: the source indexes that feed it
/// and their normalised weights.
struct BilinearContributor {
    std::vector<int> index;
    std::vector<float> weight;
};

/// The contributor list for resampling n source samples to m output samples with the
/// triangle filter (widened to 1/scale when reducing). Computed once per axis and
/// reused for every row or column.
std::vector<BilinearContributor> BilinearContributors(int n, int m);

/// Where a resizer takes its source rows from: row y (in memory order) of 32-bit pixels,
/// pointing into memory or read into `scratch` (width x 4 bytes). Called from several
/// threads at once; null when the row cannot be had, which fails the resize.
class IRowSource {
public:
    virtual ~IRowSource() = default;
    virtual const std::uint8_t* Row(int y, std::uint8_t* scratch) const = 0;
};

/// Separable triangle-filter resampling of src (w x h) into dst (newW x newH): rows
/// first, rounded down to bytes, then columns. Nothing happens when a size is not
/// positive. Bands of output rows are made from just the source rows they draw on,
/// so a source read from a file is never held whole.
void ResizeBilinear(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH);
bool ResizeBilinear(const IRowSource& src, int w, int h, std::uint8_t* dst, int newW, int newH);

/// Resamples a 32-bit picture to width x height with the triangle filter. Nothing
/// happens when the size is unchanged or not positive.
void ResizeBilinear(CDIBSection2& picture, int width, int height);

/// Uniform cubic B-spline resampling of src (w x h) into dst (newW x newH). The one-
/// or two-pixel margin where the 4 x 4 neighbourhood would leave the picture takes
/// the nearest source pixel instead. Reports "Resizing" with range newH.
void ResizeBicubic(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH,
                   IProgressReporter* progress = nullptr);
bool ResizeBicubic(const IRowSource& src, int w, int h, std::uint8_t* dst, int newW, int newH,
                   IProgressReporter* progress = nullptr);

/// The four weights of the uniform cubic B-spline at fraction t (0 <= t < 1).
void BicubicWeights(float t, float weights[4]);

} // namespace quiltara
