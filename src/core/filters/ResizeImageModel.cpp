#include "core/filters/ResizeImageModel.h"

#include "core/base/SettingsStore.h"

#include <cstdio>

namespace quiltara {

namespace {
// Fields hold unsigned values; typed numbers far outside any picture are cut there.
unsigned ToField(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 4294967295.0) return 4294967295u;
    return unsigned(v);
}
} // namespace

CResizeImageModel::CResizeImageModel(int currentWidth, int currentHeight)
    : m_width(currentWidth > 0 ? currentWidth : 1), m_height(currentHeight > 0 ? currentHeight : 1),
      m_newWidth(unsigned(m_width)), m_newHeight(unsigned(m_height)) {}

bool CResizeImageModel::SetWidth(unsigned width) {
    if (width == 0) return false;
    m_newWidth = width;
    if (m_preserveRatio) m_newHeight = ToField(double(m_height) / m_width * width);
    m_widthPercent = double(m_newWidth) / m_width * 100.0;
    m_heightPercent = double(m_newHeight) / m_height * 100.0;
    return true;
}

bool CResizeImageModel::SetHeight(unsigned height) {
    if (height == 0) return false;
    m_newHeight = height;
    if (m_preserveRatio) m_newWidth = ToField(double(m_width) / m_height * height);
    m_widthPercent = double(m_newWidth) / m_width * 100.0;
    m_heightPercent = double(m_newHeight) / m_height * 100.0;
    return true;
}

bool CResizeImageModel::SetWidthPercent(double percent) {
    if (percent == 0.0) return false;
    m_widthPercent = percent;
    m_newWidth = ToField(percent * m_width * 0.01);
    if (m_preserveRatio) {
        m_heightPercent = percent;
        m_newHeight = ToField(double(m_height) / m_width * m_newWidth);
    }
    return true;
}

bool CResizeImageModel::SetHeightPercent(double percent) {
    if (percent == 0.0) return false;
    m_heightPercent = percent;
    m_newHeight = ToField(percent * m_height * 0.01);
    if (m_preserveRatio) {
        m_widthPercent = percent;
        m_newWidth = ToField(double(m_width) / m_height * m_newHeight);
    }
    return true;
}

std::string CResizeImageModel::MemoryTextFor(unsigned width, unsigned height) {
    if (width > 6000 || height > 6000) return "Well, aren't you going a bit too far?";
    const long long pixels = (long long)width * height;
    const long long bytes = pixels * 4;
    char text[64];
    if (bytes > 1000000)
        std::snprintf(text, sizeof text, "Memory Image Size: %d %s", int(bytes / 1000000), "Mb");
    else if (bytes > 1000)
        std::snprintf(text, sizeof text, "Memory Image Size: %d %s", int(pixels / 250), "kb");
    else
        std::snprintf(text, sizeof text, "Memory Image Size: %d %s", int(bytes), "b");
    return text;
}

int CResizeImageModel::LoadInterpolation(const ISettingsStore& store) {
    const int type = store.GetInt("Resize", "type", kBicubic);
    return type == kBilinear ? kBilinear : kBicubic;
}

void CResizeImageModel::SaveInterpolation(ISettingsStore& store, int interpolation) {
    // Both choices are kept: were only "Bilinear" written, a later "Bicubic" would
    // never be offered again.
    store.SetInt("Resize", "type", interpolation == kBilinear ? kBilinear : kBicubic);
}

} // namespace quiltara
