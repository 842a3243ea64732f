#pragma once
#include <string>

namespace quiltara {

class ISettingsStore;

/// The numbers behind the "Resize Image" dialog: pixel and percent fields coupled
/// through "Preserve Ratio", the spin ranges and the memory text. The dialog only
/// forwards what the user typed and shows the fields back.
class CResizeImageModel {
public:
    enum Interpolation { kBilinear = 0, kBicubic = 1 };

    CResizeImageModel(int currentWidth, int currentHeight);

    void SetPreserveRatio(bool on) { m_preserveRatio = on; }
    bool PreserveRatio() const { return m_preserveRatio; }
    /// With "Preserve Ratio" the height spins are hidden.
    bool HeightSpinsVisible() const { return !m_preserveRatio; }

    /// Typed values. Each returns false when the value is 0 (the dialog then selects
    /// the box's text and nothing else changes).
    bool SetWidth(unsigned width);
    bool SetHeight(unsigned height);
    bool SetWidthPercent(double percent);
    bool SetHeightPercent(double percent);

    unsigned NewWidth() const { return m_newWidth; }
    unsigned NewHeight() const { return m_newHeight; }
    double WidthPercent() const { return m_widthPercent; }
    double HeightPercent() const { return m_heightPercent; }
    std::string MemoryText() const { return MemoryTextFor(m_newWidth, m_newHeight); }

    /// Pixel spins: a quarter to twice the current dimension; percent spins 10..200.
    int WidthSpinMin() const { return m_width / 4; }
    int WidthSpinMax() const { return m_width * 2; }
    int HeightSpinMin() const { return m_height / 4; }
    int HeightSpinMax() const { return m_height * 2; }
    static constexpr int kPercentSpinMin = 10;
    static constexpr int kPercentSpinMax = 200;

    /// "Memory Image Size: %d %s" for sizes up to 6000 either way, else the warning.
    static std::string MemoryTextFor(unsigned width, unsigned height);

    /// The interpolation remembered under "Resize"/"type" (default bicubic).
    static int LoadInterpolation(const ISettingsStore& store);
    /// Remembers the choice for the next "Image Size...".
    static void SaveInterpolation(ISettingsStore& store, int interpolation);

private:
    int m_width;
    int m_height;
    unsigned m_newWidth;
    unsigned m_newHeight;
    double m_widthPercent = 100.0;
    double m_heightPercent = 100.0;
    bool m_preserveRatio = true;
};

} // namespace quiltara
