#include "core/paint/ToolOperatorState.h"

#include "core/base/RuntimeRandom.h"

#include <cmath>

namespace quiltara {

std::array<std::uint8_t, 256> BrightnessContrastTable(int brightness, int contrast) {
    const double a = brightness / 255.0, s = contrast / 127.0;
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double c = i / 255.0;
        const double v = a >= 0 ? (1 - c) * a + c : (a + 1) * c;
        double w = v <= 0.5 ? v : 1 - v;
        if (w < 0) w = 0;
        double r;
        if (s >= 0) {
            const double e = s > 0.9 ? 10 : 1 / (1 - s);
            r = std::pow(2 * w, e) / 2;
        } else {
            r = std::pow(2 * w, s + 1) / 2;
        }
        if (v > 0.5) r = 1 - r;
        const int entry = int(r * 255 + 0.5);
        table[std::size_t(i)] = std::uint8_t(entry < 0 ? 0 : entry > 255 ? 255 : entry);
    }
    return table;
}

CToolOperatorState::CToolOperatorState() : m_table(BrightnessContrastTable(0, 20)) {}

void CToolOperatorState::SetBrightnessContrast(int brightness, int contrast) {
    m_table = BrightnessContrastTable(brightness, contrast);
}

void CToolOperatorState::ToolChosen(int toolId, CRuntimeRandom& random) {
    switch (toolId) {
    case 11:
        SetBrightnessContrast(0, 20);
        break;
    case 12:
        SetBrightnessContrast(30, 0);
        break;
    case 13:
        SetBrightnessContrast(-25, 0);
        break;
    case 30:
        for (std::uint8_t& n : m_noise) n = std::uint8_t(random.NextUnit() * 32);
        break;
    default:
        break;
    }
}

} // namespace quiltara
