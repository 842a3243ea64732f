#pragma once
#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace quiltara::gui {

/// A balloon of help text: one line, or two split at the first "\n", in the desktop's
/// tool-tip colours, shown on top without taking the focus.
class CBubble : public QWidget {
    Q_OBJECT
public:
    explicit CBubble(QWidget* owner);

    /// Shows text at screen point (x, y): a negative x centres the balloon on -x, a
    /// negative y is taken as 0, and the balloon stays on the desktop.
    void Show(int x, int y, const QString& text);
    /// Shows text after delay ms at the owner's point at (20 pixels below it); a later
    /// call or Hide() replaces it.
    void ShowDelayed(const QPoint& ownerPoint, const QString& text, int delay);
    void Hide();
    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_owner;
    QString m_text;
    QString m_pendingText;
    QPoint m_pendingPoint;
    QTimer m_delay;
};

} // namespace quiltara::gui
