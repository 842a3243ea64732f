#include "gui/devices/CTablet.h"

#include <QCoreApplication>
#include <QInputDevice>
#include <QPointingDevice>
#include <QTabletEvent>
#include <algorithm>
#include <cmath>

namespace quiltara::gui {

namespace {

bool IsTablet(const QInputDevice* device) {
    switch (device->type()) {
    case QInputDevice::DeviceType::Stylus:
    case QInputDevice::DeviceType::Airbrush:
    case QInputDevice::DeviceType::Puck:
        return true;
    default:
        return false;
    }
}

// The first tablet device Qt knows, or null.
const QInputDevice* InstalledTablet() {
    for (const QInputDevice* device : QInputDevice::devices())
        if (device && IsTablet(device)) return device;
    return nullptr;
}

} // namespace

CTablet::CTablet(QObject* parent) : QObject(parent) {}

CTablet::~CTablet() {
    Unload();
}

bool CTablet::Load() {
    if (!m_watching && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_watching = true;
    }
    m_pressure.SetLoaded(true);
    m_pressure.SetEnabled(true);
    return true;
}

void CTablet::Unload() {
    if (m_watching && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_watching = false;
    m_pressure.SetLoaded(false);
    m_pressure.Reset();
}

void CTablet::Open(QWidget*) {
    if (!IsLoaded()) return;
    if (const QInputDevice* device = InstalledTablet()) m_deviceName = device->name();
}

void CTablet::Enable(bool enabled) {
    m_pressure.SetEnabled(enabled);
}

bool CTablet::Packet(const QTabletEvent& event) {
    if (!IsLoaded()) return false;
    const QPointingDevice* device = event.pointingDevice();
    const bool hasPressure =
        !device || device->capabilities().testFlag(QInputDevice::Capability::Pressure);
    m_pressure.SetAxis(hasPressure, 0, kRawPressureMaximum);
    if (device && m_deviceName.isEmpty()) m_deviceName = device->name();
    const unsigned cursor = event.pointerType() == QPointingDevice::PointerType::Eraser ? 2 : 1;
    const double pressure = std::clamp(event.pressure(), 0.0, 1.0);
    return m_pressure.Packet(
        cursor, static_cast<unsigned long>(std::lround(pressure * kRawPressureMaximum)));
}

QString CTablet::DeviceName() const {
    return IsLoaded() ? m_deviceName : QString("Unknown");
}

QString CTablet::StatusText() {
    const QInputDevice* device = InstalledTablet();
    if (!device) return kNotInstalledText;
    return device->name().isEmpty() ? QString(kUnknownTabletText) : device->name();
}

bool CTablet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::TabletLeaveProximity) m_pressure.Reset();
    return QObject::eventFilter(watched, event);
}

} // namespace quiltara::gui
