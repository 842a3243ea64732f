#include "gui/ui/CColorPicker.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace quiltara::gui {

namespace {
QColor ToQColor(ColorRef c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
ColorRef FromQColor(const QColor& c) {
    return MakeColorRef(c.red(), c.green(), c.blue());
}
const QRect kForeWell(0, 0, 21, 16);
const QRect kBackWell(0, 17, 21, 16);
const QRect kSwapButton(0, 35, 21, 16);
} // namespace

CColorPicker::CColorPicker(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumHeight(52);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CColorPickerLayout CColorPicker::Layout() const {
    return {width(), height(), m_paletteMode};
}

void CColorPicker::SetColors(ColorRef fore, ColorRef back) {
    m_fore = fore;
    m_back = back;
    update();
}

void CColorPicker::SetSingleColourMode(bool single) {
    m_single = single;
    update();
}

void CColorPicker::SetPaletteFiles(const QStringList& files) {
    m_paletteFiles = files;
    m_paletteMode = !files.isEmpty();
    m_paletteIndex = 0;
    m_palette = m_paletteMode ? QImage(files.front()) : QImage();
    RebuildField();
    update();
}

void CColorPicker::RebuildField() {
    // The spectrum is the same for every paint: drawn once per size.
    const CColorPickerLayout layout = Layout();
    const int columns = layout.SpectrumColumns();
    m_field = QImage();
    if (columns <= 0 || height() < 3) return;
    m_field = QImage(columns, height() - 2, QImage::Format_RGB32);
    for (int i = 1; i <= height() - 2; ++i) {
        auto* line = reinterpret_cast<QRgb*>(m_field.scanLine(i - 1));
        for (int j = 1; j <= columns; ++j) {
            const ColorRef c = layout.SpectrumColour(j, i);
            line[j - 1] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
}

void CColorPicker::resizeEvent(QResizeEvent*) {
    RebuildField();
}

void CColorPicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

void CColorPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool enabled = isEnabled();
    p.fillRect(rect(), palette().button());
    auto well = [&](const QRect& r, ColorRef c, bool sunken) {
        p.fillRect(r, enabled ? ToQColor(c) : QColor(0xC0, 0xC0, 0xC0));
        p.setPen(enabled ? (sunken ? Qt::darkGray : Qt::white) : Qt::gray);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(enabled ? (sunken ? Qt::white : Qt::darkGray) : Qt::gray);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    well(kForeWell, m_fore, false);
    if (!m_single) {
        well(kBackWell, m_back, false);
        p.fillRect(kSwapButton, QColor(0xC0, 0xC0, 0xC0));
        well(kSwapButton, 0xC0C0C0, m_swapPressed);
        // Two little arrows say what the button does.
        p.setPen(Qt::black);
        p.drawText(kSwapButton, Qt::AlignCenter, QString::fromUtf8("\u21C5"));
    }
    const QRect field(22, 0, width() - 22 - (m_paletteMode ? 10 : 0), height());
    if (!enabled) {
        p.fillRect(field, QColor(0xC0, 0xC0, 0xC0));
        p.setPen(Qt::gray);
        p.drawRect(field.adjusted(0, 0, -1, -1));
        return;
    }
    if (m_paletteMode && !m_palette.isNull()) {
        p.setClipRect(field);
        p.drawImage(22, 0, m_palette);
        p.setClipping(false);
    } else if (!m_field.isNull()) {
        p.drawImage(23, 1, m_field);
    }
    if (m_paletteMode) {
        for (int k = 0; k < 2; ++k) {
            const QRect r(width() - 10, k * 9, 10, 9);
            p.fillRect(r, palette().button());
            p.setPen(Qt::darkGray);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            const int cx = r.center().x(), cy = r.center().y();
            const int dy = k == 0 ? -1 : 1;
            p.drawLine(cx - 2, cy - dy, cx + 2, cy - dy);
            p.drawLine(cx - 1, cy, cx + 1, cy);
            p.drawPoint(cx, cy + dy);
        }
    }
}

void CColorPicker::UpdateCursorAt(const QPoint& pt) {
    const int area = Layout().HitTest(pt.x(), pt.y());
    if (area == 0 || area == 1)
        setCursor(Qt::PointingHandCursor);
    else if (area == 2)
        setCursor(Qt::UpArrowCursor);
    else if (area == 3)
        setCursor(Qt::CrossCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void CColorPicker::PickAt(const QPoint& pt) {
    const CColorPickerLayout layout = Layout();
    ColorRef colour;
    if (m_paletteMode && !m_palette.isNull()) {
        const int x = std::max(23, std::min(pt.x(), width() - 2));
        const int y = std::max(1, std::min(pt.y(), height() - 1));
        const QPoint at(x - 22, y);
        if (!m_palette.rect().contains(at)) return;
        colour = FromQColor(m_palette.pixelColor(at));
    } else {
        colour = layout.PickAt(pt.x(), pt.y());
    }
    if (m_picking == 1)
        m_fore = colour;
    else if (m_picking == 2 && !m_single)
        m_back = colour;
    update(0, 0, 22, 34);
}

void CColorPicker::StepPalette(int delta) {
    if (m_paletteFiles.isEmpty()) return;
    m_paletteIndex = StepPaletteIndex(m_paletteIndex, delta, int(m_paletteFiles.size()));
    m_palette = QImage(m_paletteFiles[m_paletteIndex]);
    update();
}

bool CColorPicker::ChooseWithDialog(ColorRef& colour) {
    const QColor chosen = QColorDialog::getColor(ToQColor(colour), this, "Color");
    if (!chosen.isValid()) return false;
    colour = FromQColor(chosen);
    return true;
}

void CColorPicker::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled()) return;
    const QPoint pt = event->position().toPoint();
    const int area = Layout().HitTest(pt.x(), pt.y());
    UpdateCursorAt(pt);
    if (event->button() == Qt::LeftButton) {
        if (pt.x() > 0 && pt.x() <= 21) {
            if (area == 2 && !m_single) {
                m_swapPressed = true;
                update(kSwapButton);
            }
            return;
        }
        if (area == 4 || area == 5) {
            StepPalette(area == 4 ? -1 : 1);
            return;
        }
        if (area == 3) {
            m_picking = 1;
            PickAt(pt);
        }
    } else if (event->button() == Qt::RightButton) {
        if (pt.x() > 21 && area == 3) {
            m_picking = 2;
            PickAt(pt);
        } else if (area == 0 && !m_single) {
            m_fore = m_back;
            update();
        }
    }
}

void CColorPicker::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    UpdateCursorAt(pt);
    if (m_picking) PickAt(pt);
}

void CColorPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (!isEnabled()) return;
    const QPoint pt = event->position().toPoint();
    const int area = Layout().HitTest(pt.x(), pt.y());
    const bool wasPicking = m_picking != 0;
    m_picking = 0;
    if (event->button() == Qt::RightButton) {
        if (pt.x() < 22 && area == 1 && !m_single) {
            m_fore = m_back;
            update();
        }
        emit choiceEnded(m_notificationValue);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const bool swap = m_swapPressed;
    m_swapPressed = false;
    if (area == 2 && swap && !m_single) {
        std::swap(m_fore, m_back);
        update();
    } else if (area == 0 && !wasPicking) {
        ChooseWithDialog(m_fore);
        update();
    } else if (area == 1 && !wasPicking && !m_single) {
        ChooseWithDialog(m_back);
        update();
    }
    update(kSwapButton);
    if (area != 4 && area != 5) emit choiceEnded(m_notificationValue);
}

} // namespace quiltara::gui
