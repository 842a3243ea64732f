#include "core/filters/FilterFactory.h"

#include "core/base/ParallelFor.h"
#include "core/base/ProgressReporter.h"
#include "core/base/RuntimeRandom.h"
#include "core/base/SettingsStore.h"
#include "core/filters/FilterPixelOps.h"
#include "core/filters/GaussianWrap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quiltara {

namespace {
std::string EffectKey(int slot, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "EFF%d_%d", slot, i);
    return name;
}
} // namespace

CFilterFactory::CFilterFactory(ISettingsStore* store, CRuntimeRandom* random)
    : m_store(store), m_random(random ? random : &ProgramRandom()) {
    m_paramColour.fill(kSliderWhite);
}

void CFilterFactory::SetImage(std::uint8_t* pixels, int width, int height) {
    m_dest = nullptr;
    m_width = m_height = 0;
    m_source = {};
    if (!pixels || width <= 0 || height <= 0) return;
    m_source.assign(pixels, pixels + std::size_t(width) * std::size_t(height) * 4);
    m_dest = pixels;
    m_width = width;
    m_height = height;
}

const FilterSlot* CFilterFactory::CurrentSlot() const {
    // Slot 50 can be selected but holds nothing.
    return m_current < kFilterSlotCount ? &FilterTable()[std::size_t(m_current)] : nullptr;
}

std::string CFilterFactory::SelectFilter(int slot) {
    m_current = std::clamp(slot, 0, kFilterSlotCount);
    const FilterSlot* s = CurrentSlot();
    m_paramCount = s ? s->paramCount : 0;
    for (int i = 0; i < kFilterMaxParams; ++i) {
        const FilterParam* p = s ? &s->params[std::size_t(i)] : nullptr;
        m_paramName[std::size_t(i)] = p ? p->name : std::string();
        m_value[std::size_t(i)] = p ? p->defaultValue : 0;
        m_paramColour[std::size_t(i)] = p ? p->colour : kSliderWhite;
    }
    LoadParams();
    return s ? s->name : std::string();
}

int CFilterFactory::GetValue(int i) const {
    return i >= 0 && i < 8 ? m_value[std::size_t(i)] : 0;
}

void CFilterFactory::SetValue(int i, int value) {
    if (i >= 0 && i < 8) m_value[std::size_t(i)] = std::clamp(value, 0, kFilterValueMax);
}

std::string CFilterFactory::GetParamName(int i) const {
    return i >= 0 && i < 8 ? m_paramName[std::size_t(i)] : std::string();
}

ColorRef CFilterFactory::GetParamColour(int i) const {
    return i >= 0 && i < 8 ? m_paramColour[std::size_t(i)] : kSliderWhite;
}

int CFilterFactory::GetDefaultValue(int i) const {
    const FilterSlot* s = CurrentSlot();
    return s && i >= 0 && i < 8 ? s->params[std::size_t(i)].defaultValue : 0;
}

std::string CFilterFactory::GetSlotName(int slot) {
    if (!IsFilterSlotUsed(slot)) return {};
    return FilterTable()[std::size_t(slot)].name;
}

bool CFilterFactory::PreviewOneToOne() const {
    const FilterSlot* s = CurrentSlot();
    return s && s->previewOneToOne;
}

std::string CFilterFactory::FormatParam(int i) const {
    const FilterSlot* s = CurrentSlot();
    if (i < 0 || i >= 8) return {};
    const ParamFormat format = s ? s->params[std::size_t(i)].format : ParamFormat::Plain;
    return FormatParamValue(format, m_value[std::size_t(i)]);
}

std::optional<int> CFilterFactory::ParamFromText(int i, const std::string& text) const {
    const FilterSlot* s = CurrentSlot();
    if (!s || i < 0 || i >= 8) return std::nullopt;
    return ParamValueFromText(s->params[std::size_t(i)].format, text);
}

void CFilterFactory::ResetToDefaults() {
    for (int i = 0; i < 8; ++i) m_value[std::size_t(i)] = GetDefaultValue(i);
}

void CFilterFactory::Randomize(CRuntimeRandom& random) {
    for (int i = 0; i < 8; ++i)
        m_value[std::size_t(i)] = std::clamp(int(random.Next() / 32767.0 * 255.0 + 0.5), 0, 255);
}

void CFilterFactory::LoadParams() {
    if (!m_store) return;
    for (int i = 0; i < 8; ++i) {
        const int stored =
            m_store->GetInt("Effects", EffectKey(m_current, i), m_value[std::size_t(i)]);
        // The settings are the user's file: out-of-range numbers are kept in range.
        m_value[std::size_t(i)] = std::clamp(stored, 0, kFilterValueMax);
    }
}

void CFilterFactory::SaveParams() const {
    if (!m_store) return;
    for (int i = 0; i < 8; ++i)
        m_store->SetInt("Effects", EffectKey(m_current, i), m_value[std::size_t(i)]);
}

void CFilterFactory::ApplyOnce(std::uint8_t* pixels, int width, int height,
                               IProgressReporter* progress) {
    if (m_current == kGaussianBlurSlot) {
        // Each row is read whole before it is written, each strip of columns too.
        GaussianBlurWrap(pixels, pixels, width, height, m_value[0], progress);
        return;
    }
    SetImage(pixels, width, height);
    Apply(progress);
}

void CFilterFactory::Apply(IProgressReporter* progress) {
    if (!m_dest || m_source.empty()) return;
    // The blurs write every byte of the picture; the other filters leave alpha as it was.
    if (m_current == kGaussianBlurSlot) {
        GaussianBlurWrap(m_source.data(), m_dest, m_width, m_height, m_value[0], progress);
        return;
    }
    if (m_current == kUnsharpMaskSlot) {
        UnsharpMaskWrap(m_source.data(), m_dest, m_width, m_height, m_value[0], m_value[1],
                        m_value[2], progress);
        return;
    }
    std::memcpy(m_dest, m_source.data(), m_source.size());
    const FilterPixelOp op = PixelOperationFor(m_current);
    if (!op) return;

    FilterPixelContext ctx;
    ctx.source = m_source.data();
    ctx.width = m_width;
    ctx.height = m_height;
    for (int i = 0; i < 8; ++i) ctx.P[i] = m_value[std::size_t(i)];
    ctx.scratch = m_scratch.data();
    ctx.random = m_random;

    const std::size_t stride = std::size_t(m_width) * 4;
    auto rows = [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            std::uint8_t* d = m_dest + std::size_t(y) * stride;
            for (int x = 0; x < m_width; ++x, d += 4) {
                int rgb[3];
                op(ctx, x, y, rgb);
                d[2] = std::uint8_t(std::clamp(rgb[0], 0, 255));
                d[1] = std::uint8_t(std::clamp(rgb[1], 0, 255));
                d[0] = std::uint8_t(std::clamp(rgb[2], 0, 255));
            }
        }
    };
    if (progress) progress->Begin("Working", m_height);
    auto report = [&](int y) {
        if (progress && m_height > 200) progress->SetPos(y - y % 5);
    };
    if (PixelOperationIsSequential(m_current)) {
        // These draw random numbers or keep values from pixel to pixel: one thread,
        // rows in order.
        for (int y = 0; y < m_height; ++y) {
            if (y % 5 == 0) report(y);
            rows(y, y + 1);
        }
    } else {
        ParallelFor(m_height, 16, rows, report);
    }
    if (progress) progress->End();
}

} // namespace quiltara
