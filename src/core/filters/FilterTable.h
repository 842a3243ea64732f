#pragma once
#include "core/base/ColorRef.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quiltara {

/// How a parameter value 0..255 is shown in the text box beside its slider.
enum class ParamFormat { None, Plain, Centered, Radius, Percent, Percent200, Corner };

struct FilterParam {
    std::string name; // empty when the slot has fewer parameters
    int defaultValue = 0;
    ColorRef colour = MakeColorRef(255, 255, 255);
    ParamFormat format = ParamFormat::Plain;
};

struct FilterSlot {
    int id = -1;      // the slot number, or -1 for an empty slot
    std::string name; // "Empty %d" for an empty slot
    int paramCount = 0;
    bool previewOneToOne = false; // the preview must be shown at zoom 1.0
    std::array<FilterParam, 8> params;
};

constexpr int kFilterSlotCount = 50;
constexpr int kFilterMaxParams = 8;
constexpr int kFilterValueMax = 255;
/// Slots of the separable wrapping Gaussian and the unsharp mask.
constexpr int kGaussianBlurSlot = 36;
constexpr int kUnsharpMaskSlot = 37;

/// The five fixed slider colours.
constexpr ColorRef kSliderWhite = MakeColorRef(255, 255, 255);
constexpr ColorRef kSliderGrey = MakeColorRef(64, 64, 64);
constexpr ColorRef kSliderRed = MakeColorRef(255, 0, 0);
constexpr ColorRef kSliderGreen = MakeColorRef(0, 255, 0);
constexpr ColorRef kSliderBlue = MakeColorRef(0, 0, 255);

/// The table of parameterised filters, the same for the dialog, the command line and
/// the engine. Built once.
const std::array<FilterSlot, kFilterSlotCount>& FilterTable();

/// True for a slot number that holds a filter (not empty, in range).
bool IsFilterSlotUsed(int slot);
/// The slot whose name matches (exactly, or ignoring case, spaces and punctuation), -1 if none.
int FindFilterSlot(const std::string& name);

/// The text of value v (0..255) in a format.
std::string FormatParamValue(ParamFormat format, int v);

/// The value 0..255 whose text in the format shows the number typed nearest (a "%" and
/// spaces around it allowed, a comma read as the decimal point): a number beyond either
/// end of the slider gives that end. Empty for text that is no number, or for a
/// parameter without a text.
std::optional<int> ParamValueFromText(ParamFormat format, const std::string& text);

/// Filters menu: identifiers 32833..32871 select slot = identifier - 32833.
constexpr int kFilterFirstCommand = 32833;
constexpr int kFilterLastCommand = 32871;
/// The slot for a command identifier, -1 outside the range.
int FilterSlotForCommand(int commandId);

struct FilterMenuItem {
    const char* submenu;
    const char* item;
    int commandId;
};
/// The Filters menu items that open the engine's dialog, in menu order.
const std::vector<FilterMenuItem>& FilterMenuItems();

} // namespace quiltara
