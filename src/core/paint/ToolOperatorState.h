#pragma once
#include <array>
#include <cstdint>

namespace quiltara {

class CRuntimeRandom;

/// The tone map of the brightness and contrast retouch brushes for brightness b
/// (-255 ... 255) and contrast k (-127 ... 127): entry i is the curve at i / 255 as a
/// byte, rounded to the nearest.
std::array<std::uint8_t, 256> BrightnessContrastTable(int brightness, int contrast);

/// What the retouch and effect operators keep between strokes: the brightness and
/// contrast table of tools 11-13 and the noise table of tool 30. Choosing one of those
/// tools rebuilds its table.
class CToolOperatorState {
public:
    static constexpr int kNoiseTableSize = 256;

    /// The table starts as the one of tool 11 (the retouch list's default), the noise
    /// table all zero until tool 30 is chosen.
    CToolOperatorState();

    /// Call whenever a tool becomes current: 11, 12 and 13 rebuild the table with
    /// (brightness, contrast) = (0, 20), (30, 0) and (-25, 0); 30 refills the noise table
    /// from random. Other ids change nothing.
    void ToolChosen(int toolId, CRuntimeRandom& random);

    void SetBrightnessContrast(int brightness, int contrast);
    const std::array<std::uint8_t, 256>& Table() const { return m_table; }
    /// Noise entries 0 ... 32, see the noise operator.
    const std::array<std::uint8_t, kNoiseTableSize>& NoiseTable() const { return m_noise; }

private:
    std::array<std::uint8_t, 256> m_table;
    std::array<std::uint8_t, kNoiseTableSize> m_noise{};
};

} // namespace quiltara
