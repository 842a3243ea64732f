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

/// Separable triangle-filter resampling of src (w x h) into dst (newW x newH): rows
/// first into a byte buffer of newW x h, then columns. Nothing happens when a size is
/// not positive.
void ResizeBilinear(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH);

/// Resamples a 32-bit picture to width x height with the triangle filter. Nothing
/// happens when the size is unchanged or not positive.
void ResizeBilinear(CDIBSection2& picture, int width, int height);

/// Uniform cubic B-spline resampling of src (w x h) into dst (newW x newH). The one-
/// or two-pixel margin where the 4 x 4 neighbourhood would leave the picture takes
/// the nearest source pixel instead. Reports "Resizing" with range newH.
void ResizeBicubic(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH,
                   IProgressReporter* progress = nullptr);

/// The four weights of the uniform cubic B-spline at fraction t (0 <= t < 1).
void BicubicWeights(float t, float weights[4]);

} // namespace quiltara
