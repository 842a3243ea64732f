#include "core/devices/TabletPressure.h"

namespace quiltara {

void CTabletPressure::SetAxis(bool hasPressure, long minimum, long maximum) {
    m_hasPressure = hasPressure && maximum > minimum;
    m_minimum = minimum;
    m_maximum = maximum;
    m_scale = m_hasPressure ? 255.0 / double(maximum - minimum) : 0.0;
}

bool CTabletPressure::Packet(unsigned cursor, unsigned long rawPressure) {
    const bool changed = cursor != m_cursor || rawPressure != m_pressure;
    m_cursor = cursor;
    m_pressure = rawPressure;
    return changed;
}

void CTabletPressure::Reset() {
    m_cursor = 0;
    m_pressure = kFullPressure;
}

int CTabletPressure::Pressure() const {
    if (!m_loaded || !m_hasPressure || !m_enabled || m_cursor == 0) return kFullPressure;
    const double value = double(m_pressure) * m_scale;
    if (value >= kFullPressure) return kFullPressure;
    return value <= 0 ? 0 : int(value);
}

} // namespace quiltara
