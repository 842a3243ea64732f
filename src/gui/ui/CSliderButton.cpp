#include "gui/ui/CSliderButton.h"

#include "core/base/ControlMath.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace quiltara::gui {

namespace {
/// The popup: a groove, a focus rectangle and the thumb at 100 - position.
class CSliderPopup : public QWidget {
public:
    explicit CSliderPopup(const int& position)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_position(position) {
        setFixedSize(16, 104);
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        p.setPen(palette().light().color());
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(palette().dark().color());
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
        p.fillRect(width() / 2 - 1, 3, 2, 99, palette().dark());
        QStyleOptionButton thumb;
        thumb.initFrom(this);
        thumb.rect = QRect(QPoint(2, 100 - m_position), QPoint(14, 104 - m_position));
        style()->drawControl(QStyle::CE_PushButtonBevel, &thumb, &p, this);
    }

private:
    const int& m_position;
};
} // namespace

CSliderButton::CSliderButton(QWidget* parent) : QToolButton(parent) {
    setArrowType(Qt::DownArrow);
    const int w = std::max(5 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth),
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    setFixedWidth(w);
    setFocusPolicy(Qt::NoFocus);
}

void CSliderButton::SetRange(QLineEdit* buddy, double minimum, double maximum, bool integerMode) {
    m_buddy = buddy;
    m_minimum = minimum;
    m_maximum = maximum;
    m_integerMode = integerMode;
}

void CSliderButton::SetPosition(int position) {
    m_position = std::clamp(position, 0, 100);
    if (m_buddy)
        m_buddy->setText(QString::fromStdString(
            SliderButtonText(m_position, m_minimum, m_maximum, m_integerMode, m_decimals, m_step)));
    if (m_popup) m_popup->update();
}

void CSliderButton::mousePressEvent(QMouseEvent* event) {
    if (!m_buddy || !m_buddy->isEnabled() || event->button() != Qt::LeftButton) return;
    setDown(true);
    m_position = SliderButtonPosition(m_buddy->text().toDouble(), m_minimum, m_maximum);
    // The popup opens so that its thumb lies under the mouse.
    const QPoint screen = event->globalPosition().toPoint();
    const int x = mapToGlobal(QPoint(width() / 2, 0)).x() - 8;
    auto* popup = new CSliderPopup(m_position);
    m_popup = popup;
    popup->move(x, screen.y() + m_position - 102);
    popup->show();
}

void CSliderButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_popup) return;
    const int y = m_popup->mapFromGlobal(event->globalPosition().toPoint()).y();
    SetPosition(SliderButtonPopupPosition(y));
}

void CSliderButton::mouseReleaseEvent(QMouseEvent*) {
    setDown(false);
    ClosePopup();
}

void CSliderButton::ClosePopup() {
    if (!m_popup) return;
    m_popup->close();
    m_popup = nullptr;
    emit popupClosed(property("controlId").toInt());
}

} // namespace quiltara::gui
