#include "gui/ui/CBubble.h"

#include "core/base/PanelGeometry.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

namespace quiltara::gui {

namespace {
constexpr int kBorder = 1;

// One line, or two split at the first line break.
QStringList BubbleLines(const QString& text) {
    const qsizetype cut = text.indexOf('\n');
    return cut < 0 ? QStringList{text} : QStringList{text.left(cut), text.mid(cut + 1)};
}
} // namespace

CBubble::CBubble(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_owner(owner) {
    setObjectName("bubble");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setPalette(QToolTip::palette());
    QFont f = QToolTip::font();
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    setFont(f);
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        if (m_pendingText.isEmpty()) {
            Hide();
            return;
        }
        const QPoint at = m_owner->mapToGlobal(m_pendingPoint) + QPoint(0, 20);
        Show(at.x(), at.y(), m_pendingText);
    });
}

void CBubble::Show(int x, int y, const QString& text) {
    m_text = text;
    const QStringList lines = BubbleLines(text);
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int lineHeight = metrics.height() + metrics.leading() + 6 * kBorder;
    const int width = widest + 6 * kBorder, height = lineHeight * int(lines.size()) + 4;
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->virtualGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
    const CRect r = PlaceBubble(
        x, y, width, height,
        {desk.left(), desk.top(), desk.left() + desk.width(), desk.top() + desk.height()});
    setGeometry(r.left, r.top, r.Width(), r.Height());
    show();
    raise();
    update();
}

void CBubble::ShowDelayed(const QPoint& ownerPoint, const QString& text, int delay) {
    m_pendingPoint = ownerPoint;
    m_pendingText = text;
    m_delay.start(delay);
}

void CBubble::Hide() {
    m_pendingText.clear();
    m_delay.stop();
    hide();
}

void CBubble::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    p.setPen(palette().color(QPalette::ToolTipText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + metrics.leading() + 6 * kBorder;
    const QStringList lines = BubbleLines(m_text);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(3 * kBorder, 2 + i * lineHeight, width(), lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
}

} // namespace quiltara::gui
