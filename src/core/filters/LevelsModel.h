#pragma once
#include "core/filters/ChannelLut.h"

#include <cstdint>

namespace quiltara {

/// The values of one channel in "Levels".
struct LevelsChannel {
    int inBlack = 0;
    int inWhite = 255;
    int outBlack = 0;
    int outWhite = 255;
    double gamma = 1.0;
};

/// The levels map of red, green and blue as tables (32-bit order: 0 blue, 1 green, 2 red).
ChannelLut LevelsLut(const LevelsChannel levels[3]);

/// The numbers behind the "Levels" dialog: three channels of values, the channel list
/// selection, the histograms of the target and the tables. The dialog sets values and
/// shows what the model gives back.
class CLevelsModel {
public:
    enum Selection { kRGB = 0, kRed, kGreen, kBlue, kIntensity };
    static const char* SelectionName(int selection); // "RGB", "Red", "Green", "Blue", "Intensity"

    CLevelsModel() = default;
    /// Takes the histograms of the target (32-bit pixels).
    CLevelsModel(const std::uint8_t* pixels, int width, int height);

    void Select(int selection);
    int Selected() const { return m_selection; }
    /// The values the sliders and boxes show: the selected channel's, red's for
    /// "RGB" and "Intensity".
    const LevelsChannel& Shown() const;
    const LevelsChannel& Channel(int rgbIndex) const {
        return m_channel[rgbIndex < 0 || rgbIndex > 2 ? 0 : rgbIndex];
    }
    /// The histogram to draw: the channel's own, or the intensity histogram for "RGB"
    /// and "Intensity".
    const std::array<std::uint64_t, 256>& ShownHistogram() const;
    const Histograms& GetHistograms() const { return m_histograms; }

    // Typed or dragged values go to the selected channel ("RGB" and "Intensity": all
    // three). Blacks below 0 become 0, whites above 255 become 255, a gamma of 0 or
    // less becomes 0.1.
    void SetInputBlack(int v);
    void SetInputWhite(int v);
    void SetOutputBlack(int v);
    void SetOutputWhite(int v);
    void SetGamma(double gamma);

    /// "Pick Shadow" / "Pick Highlights": the picked red, green and blue become the
    /// input black (white) of the three channels; a channel whose input white is then
    /// below its input black gets black = white - 1.
    void PickShadow(int r, int g, int b);
    void PickHighlights(int r, int g, int b);

    /// The three tables (32-bit order: 0 blue, 1 green, 2 red) from the levels map.
    ChannelLut Lut() const;

private:
    template <typename Change> void ChangeSelected(Change change);
    void KeepWhiteAboveBlack();

    LevelsChannel m_channel[3]; // red, green, blue
    int m_selection = kRGB;
    Histograms m_histograms;
};

} // namespace quiltara
