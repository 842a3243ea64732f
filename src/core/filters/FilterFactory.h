#pragma once
#include "core/filters/FilterTable.h"
#include "core/image/codecs/CodecIO.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quiltara {

class CRuntimeRandom;
class IProgressReporter;
class ISettingsStore;

/// The parameterised filter engine: the current slot with its eight values, a private
/// copy of the picture to read from, and the caller's buffer to write to. The table of
/// slots is FilterTable(); the dialog and the command-line tool drive this class.
class CFilterFactory {
public:
    /// store may be null (parameters are then neither loaded nor saved); random is the
    /// generator Aged Photo draws from (the program's generator when null).
    explicit CFilterFactory(ISettingsStore* store = nullptr, CRuntimeRandom* random = nullptr);

    /// Remembers the caller's 32-bit buffer (written by Apply) and copies it as the
    /// source every filter reads. Throws std::bad_alloc when the copy cannot be had;
    /// the engine then holds no picture and Apply does nothing.
    void SetImage(std::uint8_t* pixels, int width, int height);

    /// Makes slot (clamped to 0..50) current, takes its parameter names, defaults and
    /// colours, then LoadParams. Returns the slot's name.
    std::string SelectFilter(int slot);

    // Accessors by parameter index 0..7; other indexes read 0, "" or white and are
    // ignored on write.
    int GetValue(int i) const;
    void SetValue(int i, int value); // clamped to 0..255
    std::string GetParamName(int i) const;
    ColorRef GetParamColour(int i) const;
    int GetDefaultValue(int i) const;
    int GetParamCount() const { return m_paramCount; }
    int GetCurrent() const { return m_current; }
    /// "" for an empty slot or a number outside 0..49.
    static std::string GetSlotName(int slot);
    bool PreviewOneToOne() const;

    /// The text of value i in the current slot's format for parameter i.
    std::string FormatParam(int i) const;
    /// The value 0..255 for a text typed for parameter i (ParamValueFromText in its
    /// format); empty when the text is no number.
    std::optional<int> ParamFromText(int i, const std::string& text) const;

    /// "Default": every value becomes the slot's default (not the remembered one).
    void ResetToDefaults();
    /// "Random": every value becomes trunc(rand() / 32767 * 255 + 0.5), for all eight.
    void Randomize(CRuntimeRandom& random);

    /// Runs the current filter: dest is overwritten with the source copy, then the
    /// slot's operation writes the three colour bytes. Nothing without a picture.
    void Apply(IProgressReporter* progress = nullptr);
    /// Runs the current filter once over a picture without keeping it: the Gaussian
    /// blur works in place, the others from a source copy as SetImage and Apply.
    void ApplyOnce(std::uint8_t* pixels, int width, int height,
                   IProgressReporter* progress = nullptr);

    /// value[i] = settings "Effects"/"EFF<slot>_<i>", the current value as fallback.
    void LoadParams();
    /// Writes all eight values, also those of parameters the slot does not have.
    void SaveParams() const;

    int GetScratch(int i) const { return i >= 0 && i < 256 ? m_scratch[std::size_t(i)] : 0; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    const FilterSlot* CurrentSlot() const;

    ISettingsStore* m_store;
    CRuntimeRandom* m_random;
    std::array<int, 256> m_scratch{};
    std::uint8_t* m_dest = nullptr;
    int m_width = 0;
    int m_height = 0;
    Pixels m_source; // picture-sized: from the picture allocator
    int m_current = 0;
    std::array<int, 8> m_value{};
    std::array<std::string, 8> m_paramName;
    int m_paramCount = 0;
    std::array<ColorRef, 8> m_paramColour{};
};

} // namespace quiltara
