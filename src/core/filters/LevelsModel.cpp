#include "core/filters/LevelsModel.h"

#include <algorithm>

namespace quiltara {

const char* CLevelsModel::SelectionName(int selection) {
    static const char* const names[] = {"RGB", "Red", "Green", "Blue", "Intensity"};
    return selection >= 0 && selection < 5 ? names[selection] : "";
}

CLevelsModel::CLevelsModel(const std::uint8_t* pixels, int width, int height)
    : m_histograms(TakeHistograms(pixels, width, height)) {}

void CLevelsModel::Select(int selection) {
    if (selection >= kRGB && selection <= kIntensity) m_selection = selection;
}

const LevelsChannel& CLevelsModel::Shown() const {
    if (m_selection >= kRed && m_selection <= kBlue) return m_channel[m_selection - kRed];
    return m_channel[0];
}

const std::array<std::uint64_t, 256>& CLevelsModel::ShownHistogram() const {
    if (m_selection >= kRed && m_selection <= kBlue)
        return m_histograms.channel[std::size_t(m_selection - kRed)];
    return m_histograms.intensity;
}

template <typename Change> void CLevelsModel::ChangeSelected(Change change) {
    if (m_selection >= kRed && m_selection <= kBlue) {
        change(m_channel[m_selection - kRed]);
        return;
    }
    for (auto& c : m_channel) change(c);
}

void CLevelsModel::SetInputBlack(int v) {
    ChangeSelected([v](LevelsChannel& c) { c.inBlack = std::max(v, 0); });
}
void CLevelsModel::SetInputWhite(int v) {
    ChangeSelected([v](LevelsChannel& c) { c.inWhite = std::min(v, 255); });
}
void CLevelsModel::SetOutputBlack(int v) {
    ChangeSelected([v](LevelsChannel& c) { c.outBlack = std::max(v, 0); });
}
void CLevelsModel::SetOutputWhite(int v) {
    ChangeSelected([v](LevelsChannel& c) { c.outWhite = std::min(v, 255); });
}
void CLevelsModel::SetGamma(double gamma) {
    ChangeSelected([gamma](LevelsChannel& c) { c.gamma = gamma <= 0 ? 0.1 : gamma; });
}

void CLevelsModel::KeepWhiteAboveBlack() {
    for (auto& c : m_channel)
        if (c.inWhite < c.inBlack) c.inBlack = c.inWhite - 1;
}

void CLevelsModel::PickShadow(int r, int g, int b) {
    m_channel[0].inBlack = r, m_channel[1].inBlack = g, m_channel[2].inBlack = b;
    KeepWhiteAboveBlack();
}

void CLevelsModel::PickHighlights(int r, int g, int b) {
    m_channel[0].inWhite = r, m_channel[1].inWhite = g, m_channel[2].inWhite = b;
    KeepWhiteAboveBlack();
}

ChannelLut LevelsLut(const LevelsChannel levels[3]) {
    ChannelLut lut;
    for (int rgb = 0; rgb < 3; ++rgb) {
        const LevelsChannel c = levels[rgb];
        lut.SetCurve(2 - rgb, [c](double x) {
            return LevelsCurve(x, c.inBlack, c.inWhite, c.outBlack, c.outWhite, c.gamma);
        });
    }
    return lut;
}

ChannelLut CLevelsModel::Lut() const {
    return LevelsLut(m_channel);
}

} // namespace quiltara
