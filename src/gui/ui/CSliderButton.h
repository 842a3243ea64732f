#pragma once
#include <QToolButton>

class QLineEdit;

namespace quiltara::gui {

/// A narrow arrow button beside a number field: pressing it pops up a small vertical
/// slider under the mouse whose thumb stands for the field's number between a minimum
/// and a maximum; dragging rewrites the field. popupClosed is sent when the popup goes.
class CSliderButton : public QToolButton {
    Q_OBJECT
public:
    explicit CSliderButton(QWidget* parent = nullptr);

    /// The field the button sets, the range and whether the text is an integer.
    void SetRange(QLineEdit* buddy, double minimum, double maximum, bool integerMode = true);
    void SetDecimals(int decimals) { m_decimals = decimals; }
    /// Values are rounded to multiples of step when it is above 1.
    void SetStep(int step) { m_step = step; }
    int Position() const { return m_position; }
    /// Sets the popup position (0 ... 100) and writes the field, as a drag would.
    void SetPosition(int position);
    /// The popup while it is open (null otherwise).
    QWidget* Popup() const { return m_popup; }

signals:
    void popupClosed(int controlId);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ClosePopup();

    QLineEdit* m_buddy = nullptr;
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    int m_position = 0;
    bool m_integerMode = true;
    int m_decimals = 6;
    int m_step = 1;
    QWidget* m_popup = nullptr;
};

} // namespace quiltara::gui
