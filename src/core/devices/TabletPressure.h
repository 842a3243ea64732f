#pragma once

namespace quiltara {

/// The pen pressure arithmetic of the tablet: the last packet's cursor number and raw
/// pressure, the device's pressure range, and the user's switch. Pressure() is what the
/// painting code reads, 0 ... 255, and 255 (full strength) whenever there is no usable
/// pressure: no tablet layer, no pressure axis, the feature switched off, or the pen out
/// of range (cursor 0).
class CTabletPressure {
public:
    static constexpr int kFullPressure = 255;

    /// The tablet layer is there (loaded) or not.
    void SetLoaded(bool loaded) { m_loaded = loaded; }
    bool Loaded() const { return m_loaded; }
    /// The device's pressure axis. A range that is empty or reversed counts as no
    /// pressure, so the scale never divides by zero.
    void SetAxis(bool hasPressure, long minimum, long maximum);
    bool HasPressure() const { return m_hasPressure; }
    long Minimum() const { return m_minimum; }
    long Maximum() const { return m_maximum; }
    /// 255.0 / (maximum - minimum); 0 without pressure.
    double Scale() const { return m_scale; }

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }

    /// Stores one packet; true when the cursor or the pressure changed.
    bool Packet(unsigned cursor, unsigned long rawPressure);
    /// Pen out of range: cursor 0, pressure 255.
    void Reset();
    unsigned Cursor() const { return m_cursor; }
    unsigned long RawPressure() const { return m_pressure; }

    /// 0 ... 255: the integer part of raw pressure x scale, limited to the range; 255
    /// unless the layer is loaded, the device has pressure, the feature is enabled and
    /// a cursor is in range.
    int Pressure() const;
    /// The eraser end (or any cursor above the first) of an enabled tablet.
    bool SecondCursorInUse() const { return m_loaded && m_enabled && m_cursor > 1; }

private:
    bool m_loaded = false;
    bool m_hasPressure = false;
    long m_minimum = 0, m_maximum = 0;
    double m_scale = 0.0;
    bool m_enabled = false;
    unsigned m_cursor = 0;
    unsigned long m_pressure = kFullPressure;
};

} // namespace quiltara
