#pragma once
#include "core/devices/TabletPressure.h"

#include <QObject>
#include <QString>

class QTabletEvent;
class QWidget;

namespace quiltara::gui {

/// The pen tablet, read through Qt's tablet events. The canvas hands every tablet event
/// to Packet; the painting code reads Pressure(), 0 ... 255, which is 255 without a
/// tablet, with the feature off or with the pen out of range, so that the mouse always
/// paints at full strength.
///
/// Qt reports pressure as 0 ... 1; it is kept as a raw integer 0 ... 1023
/// (kRawPressureMaximum), the axis every device here is given. The pen tip is cursor 1,
/// the eraser end cursor 2. Leaving proximity resets the pen (cursor 0, pressure 255).
class CTablet : public QObject {
    Q_OBJECT
public:
    static constexpr int kRawPressureMaximum = 1023;
    static constexpr const char* kNotInstalledText = "Tablet is not installed.";
    static constexpr const char* kUnknownTabletText = "Unknown Tablet found";

    explicit CTablet(QObject* parent = nullptr);
    ~CTablet() override;

    /// Switches the tablet layer on (it is built into Qt, so this always succeeds) and
    /// sets enabled. Watches the application for the pen leaving proximity.
    bool Load();
    /// Switches the layer off; the pressure is 255 from then on.
    void Unload();
    bool IsLoaded() const { return m_pressure.Loaded(); }
    /// Takes the installed device's name (the main window is not needed under Qt).
    void Open(QWidget* window);
    void Enable(bool enabled);
    bool IsEnabled() const { return m_pressure.Enabled(); }

    /// One tablet event: stores its cursor and pressure; true when either changed.
    /// Ignored while the layer is off.
    bool Packet(const QTabletEvent& event);
    int Pressure() const { return m_pressure.Pressure(); }
    bool SecondCursorInUse() const { return m_pressure.SecondCursorInUse(); }
    void Reset() { m_pressure.Reset(); }
    const CTabletPressure& State() const { return m_pressure; }

    /// The name the device reports (may be empty), "Unknown" while the layer is off.
    QString DeviceName() const;
    /// For the "Tablet..." dialog: the installed tablet's name, "Unknown Tablet found"
    /// for one without a name, "Tablet is not installed." when Qt knows no tablet.
    static QString StatusText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTabletPressure m_pressure;
    QString m_deviceName;
    bool m_watching = false;
};

} // namespace quiltara::gui
