#include "core/filters/FilterTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace quiltara {

namespace {

struct P {
    const char* name;
    int value;
    ColorRef colour;
    ParamFormat format = ParamFormat::Plain;
};

constexpr ColorRef W = kSliderWhite, G = kSliderGrey, r = kSliderRed, g = kSliderGreen,
                   b = kSliderBlue;
constexpr ParamFormat Centered = ParamFormat::Centered, Percent = ParamFormat::Percent,
                      Percent200 = ParamFormat::Percent200, Radius = ParamFormat::Radius,
                      Corner = ParamFormat::Corner;

void Register(std::array<FilterSlot, kFilterSlotCount>& table, int slot, const char* name,
              std::initializer_list<P> params, bool oneToOne = false) {
    FilterSlot& s = table[std::size_t(slot)];
    s.id = slot;
    s.name = name;
    s.paramCount = int(params.size());
    s.previewOneToOne = oneToOne;
    int i = 0;
    for (const P& p : params) {
        s.params[std::size_t(i)] = FilterParam{p.name, p.value, p.colour, p.format};
        ++i;
    }
}

std::array<FilterSlot, kFilterSlotCount> BuildTable() {
    std::array<FilterSlot, kFilterSlotCount> t;
    for (int i = 0; i < kFilterSlotCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Empty %d", i);
        t[std::size_t(i)].name = name;
    }
    Register(t, 0, "Color - Boost", {{"Boost factor", 74, W}});
    Register(t, 1, "Color - Saturation", {{"Saturation", 180, W}});
    Register(t, 2, "Color - Balance",
             {{"Red", 128, r, Centered}, {"Green", 128, g, Centered}, {"Blue", 128, b, Centered}});
    Register(t, 3, "Color - Contrast", {{"Light", 64, W}, {"Dark", 32, G}});
    Register(t, 4, "Color - Sharpen", {{"Red", 128, r}, {"Green", 128, g}, {"Blue", 128, b}});
    Register(t, 5, "Color - Antialias", {{"Red", 128, r}, {"Green", 128, g}, {"Blue", 128, b}});
    Register(t, 6, "Color - Colorize", {{"Red", 162, r}, {"Green", 129, g}, {"Blue", 87, b}});
    Register(t, 7, "Color - Shift",
             {{"Red Amount", 19, r},
              {"Red Shift", 60, r},
              {"Green Amount", 150, g},
              {"Green Shift", 43, g},
              {"Blue Amount", 99, b},
              {"Blue Shift", 255, b}});
    Register(t, 8, "Color - Solarize", {{"Red", 62, r}, {"Green", 62, g}, {"Blue", 62, b}});
    Register(t, 9, "Color - Quantize", {{"Red", 240, r}, {"Green", 240, g}, {"Blue", 240, b}});
    Register(
        t, 10, "Effect -Ebossed",
        {{"Contrast", 107, G}, {"Brightness", 175, W, Centered}, {"Original", 150, r, Percent}});
    Register(t, 11, "Effect - Oil Emboss",
             {{"Vertical Light", 233, W},
              {"Horizontal Light", 200, W},
              {"Red", 64, r},
              {"Green", 107, g},
              {"Blue", 98, b}});
    Register(t, 12, "Effect -Aged Photo",
             {{"Scratches", 21, G},
              {"Dust", 36, G},
              {"Desaturation", 175, W},
              {"Red Fade", 20, r},
              {"Green Fade", 12, g},
              {"Blue Fade", 4, b}});
    Register(t, 13, "Art - Pastel Pop", {{"Level", 192, W}});
    Register(t, 14, "Art - Poster Art",
             {{"Cyan/Red", 29, r}, {"Magenta/Green", 93, g}, {"Yellow/Blue", 171, b}});
    Register(t, 15, "Art - Colored", {{"Red", 62, r}, {"Green", 62, g}, {"Blue", 62, b}});
    Register(t, 16, "Art - Melter",
             {{"Effect", 56, W}, {"Red", 30, r}, {"Green", 12, g}, {"Blue", 28, b}});
    Register(t, 17, "Art - Pop Colors",
             {{"Red", 128, r},
              {"Red Range", 128, r},
              {"Green", 150, g},
              {"Green Range", 43, g},
              {"Blue", 0, b},
              {"Blue range", 63, b}});
    Register(t, 18, "Art - 3 Colors", {{"Red", 235, r}, {"Green", 128, g}, {"Blue", 38, b}});
    Register(t, 19, "Art - Urban Art",
             {{"Red A", 57, r},
              {"Red B", 50, r},
              {"Green A", 74, g},
              {"Green B", 160, g},
              {"Blue A", 28, b},
              {"Blue B", 168, b}});
    Register(t, 20, "Art - Neon Art", {{"Red", 128, r}, {"Green", 128, g}, {"Blue", 128, b}});
    Register(t, 21, "Art - Glowing Edge",
             {{"Red From", 210, r},
              {"Red To", 40, r},
              {"Green From", 204, g},
              {"Green To", 128, g},
              {"Blue From", 128, b},
              {"Blue To", 168, b}});
    Register(t, 22, "Art - Oceanic",
             {{"Size", 15, W},
              {"Red", 90, r},
              {"Green", 140, g},
              {"Blue", 128, b},
              {"Brightness", 128, G}});
    Register(t, 23, "Art - Gradient Poster",
             {{"Hue Cycle", 100, r}, {"Steps", 255, G}, {"Effect", 20, W}});
    Register(t, 24, "Special - Mosaic 3", {{"Size", 35, W}});
    Register(t, 25, "Special - Mosaic Soft", {{"Size", 35, W}});
    Register(t, 26, "Special - Mosaic Hard", {{"Size", 35, W}});
    Register(t, 27, "Special - Page Curl", {{"Size", 196, W}, {"Corner", 92, G, Corner}});
    Register(t, 30, "Special - Circle Pop",
             {{"Left Top", 210, W},
              {"Right Bottom", 40, W},
              {"Right Top", 204, W},
              {"Left Bottom", 128, W},
              {"Red", 128, r},
              {"Green", 168, g},
              {"Blue", 128, b}});
    Register(t, kGaussianBlurSlot, "Gaussian Blur", {{"Radius", 40, W, Radius}}, true);
    Register(t, kUnsharpMaskSlot, "Unsharp mask",
             {{"Amount", 128, W, Percent200}, {"Radius", 40, W, Radius}, {"Treshold", 0, W}}, true);
    return t;
}

std::string Simplified(const std::string& s) {
    std::string out;
    for (char c : s)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

const std::array<FilterSlot, kFilterSlotCount>& FilterTable() {
    static const std::array<FilterSlot, kFilterSlotCount> table = BuildTable();
    return table;
}

bool IsFilterSlotUsed(int slot) {
    return slot >= 0 && slot < kFilterSlotCount && FilterTable()[std::size_t(slot)].id >= 0;
}

int FindFilterSlot(const std::string& name) {
    const auto& table = FilterTable();
    for (const auto& s : table)
        if (s.id >= 0 && s.name == name) return s.id;
    const std::string wanted = Simplified(name);
    if (wanted.empty()) return -1;
    for (const auto& s : table)
        if (s.id >= 0 && Simplified(s.name) == wanted) return s.id;
    return -1;
}

std::string FormatParamValue(ParamFormat format, int v) {
    char text[64];
    switch (format) {
    case ParamFormat::None:
        return {};
    case ParamFormat::Plain:
        std::snprintf(text, sizeof text, "%d", v);
        break;
    case ParamFormat::Centered:
        std::snprintf(text, sizeof text, "%d", v - 128);
        break;
    case ParamFormat::Radius:
        std::snprintf(text, sizeof text, "%.2G", v == 0 ? 0.0 : std::pow(10.0, v / 128.0) - 1.0);
        break;
    case ParamFormat::Percent:
        std::snprintf(text, sizeof text, "%d%%", int(v * 100.0 / 255.0));
        break;
    case ParamFormat::Percent200:
        std::snprintf(text, sizeof text, "%d%%", int(v * 200.0 / 255.0));
        break;
    case ParamFormat::Corner:
        std::snprintf(text, sizeof text, "%d", v / 32 + 1);
        break;
    }
    return text;
}

int FilterSlotForCommand(int commandId) {
    if (commandId < kFilterFirstCommand || commandId > kFilterLastCommand) return -1;
    return commandId - kFilterFirstCommand;
}

const std::vector<FilterMenuItem>& FilterMenuItems() {
    static const std::vector<FilterMenuItem> items = {
        {"Color", "Boost", 32833},
        {"Color", "Saturation", 32834},
        {"Color", "RGB Balance", 32835},
        {"Color", "LD Contrast", 32836},
        {"Sharpen", "RGB Sharpen", 32837},
        {"Color", "Colorize", 32839},
        {"Color", "Shift", 32840},
        {"Stylize", "Solarize", 32841},
        {"Stylize", "Quantize", 32842},
        {"Stylize", "Emboss", 32843},
        {"Artistic", "Oil Emboss", 32844},
        {"Stylize", "Aged Photo", 32845},
        {"Artistic", "Pastel Pop Art", 32846},
        {"Artistic", "Posterize", 32847},
        {"Artistic", "Colorize", 32848},
        {"Stylize", "Color Melt", 32849},
        {"Artistic", "Pop Art", 32850},
        {"Artistic", "3-Colors Art", 32851},
        {"Artistic", "Urban Art", 32852},
        {"Artistic", "Neon Art", 32853},
        {"Stylize", "Glowing Edge", 32854},
        {"Stylize", "Gradient poster", 32856},
        {"Special", "Triangular Mosaic", 32857},
        {"Special", "Soft Mosaic", 32858},
        {"Special", "Hard Mosaic", 32859},
        {"Blur", "Gaussian Blur", 32869},
        {"Sharpen", "Unsharp Mask", 32870},
    };
    return items;
}

namespace {
// A number as the value boxes show or take it; no locale, so that the decimal point does
// not depend on the desktop's language.
std::optional<double> ReadNumber(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    auto last = text.find_last_not_of(" \t");
    if (text[last] == '%') last = text.find_last_not_of(" \t", last - 1);
    if (last == std::string::npos || last < first) return std::nullopt;
    std::size_t begin = first;
    if (text[begin] == '+') ++begin;
    double value = 0;
    const char* end = text.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(text.data() + begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}
} // namespace

std::optional<int> ParamValueFromText(ParamFormat format, const std::string& text) {
    if (format == ParamFormat::None) return std::nullopt;
    const std::optional<double> typed = ReadNumber(text);
    if (!typed) return std::nullopt;
    // The texts are few: the value whose own text is nearest wins. Of values showing the
    // same text the first is taken, or the last when the number typed lies above it, so
    // that a number beyond the top gives the slider's top.
    int best = 0;
    double bestDistance = HUGE_VAL;
    for (int v = 0; v <= kFilterValueMax; ++v) {
        const std::optional<double> shown = ReadNumber(FormatParamValue(format, v));
        if (!shown) continue;
        const double distance = std::fabs(*shown - *typed);
        if (distance < bestDistance || (distance == bestDistance && *typed > *shown)) {
            bestDistance = distance;
            best = v;
        }
    }
    return best;
}

} // namespace quiltara
