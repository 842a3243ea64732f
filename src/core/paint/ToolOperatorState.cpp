#include "core/paint/ToolOperatorState.h"

#include "core/base/BrightnessContrast.h"
#include "core/base/RuntimeRandom.h"

#include <cmath>

namespace quiltara {

std::array<std::uint8_t, 256> BrightnessContrastTable(int brightness, int contrast) {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const int entry = int(BrightnessContrastCurve(i / 255.0, brightness, contrast) * 255 + 0.5);
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
