#include "gui/ui/CInitDialogBar.h"

#include "core/base/PanelGeometry.h"
#include "core/base/SettingsStore.h"
#include "gui/ui/CBubble.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
constexpr int kMargin = 4;
constexpr int kLeastWidth = 132; // the close button ends at 126

CRect ToCRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
} // namespace

QPixmap PanelArt(const QSize& size, const QString& title, bool withStrip) {
    QPixmap art(size);
    QPainter p(&art);
    // The body: warm linen crossed by a faint quilting of diagonal stitches, the kind of
    // pattern the program is made to repeat.
    QLinearGradient body(0, 0, 0, size.height());
    body.setColorAt(0, QColor(236, 231, 222));
    body.setColorAt(1, QColor(214, 207, 195));
    p.fillRect(art.rect(), body);
    p.setRenderHint(QPainter::Antialiasing);
    QPen stitch(QColor(190, 180, 165, 110), 1, Qt::DashLine);
    p.setPen(stitch);
    for (int d = -size.height(); d < size.width(); d += 18) {
        p.drawLine(QPointF(d, 0), QPointF(d + size.height(), size.height()));
        p.drawLine(QPointF(d + size.height(), 0), QPointF(d, size.height()));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(150, 140, 125));
    p.drawRect(art.rect().adjusted(0, 0, -1, -1));
    if (!withStrip) return art;

    const QRect strip(0, 0, size.width(), kPanelStripHeight);
    QLinearGradient band(0, 0, 0, kPanelStripHeight);
    band.setColorAt(0, QColor(92, 104, 124));
    band.setColorAt(1, QColor(58, 66, 82));
    p.fillRect(strip, band);
    p.setPen(QColor(40, 44, 54));
    p.drawLine(0, kPanelStripHeight - 1, size.width() - 1, kPanelStripHeight - 1);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(245, 240, 228));
    p.drawText(QRect(6, 0, kPanelCollapseButtonX - 8, kPanelStripHeight),
               Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(title, Qt::ElideRight, kPanelCollapseButtonX - 8));
    // The two buttons, each 9 pixels across inside the strip's hot spans.
    auto box = [&p](int x) {
        const QRect r(x + 1, 5, 9, 10);
        p.fillRect(r, QColor(222, 214, 198));
        p.setPen(QColor(40, 44, 54));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return r;
    };
    const QRect collapse = box(kPanelCollapseButtonX);
    p.drawLine(collapse.left() + 2, collapse.center().y(), collapse.right() - 2,
               collapse.center().y());
    const QRect close = box(kPanelCloseButtonX);
    p.drawLine(close.left() + 2, close.top() + 2, close.right() - 2, close.bottom() - 2);
    p.drawLine(close.left() + 2, close.bottom() - 2, close.right() - 2, close.top() + 2);
    return art;
}

bool CInitDialogBar::CanFloat() {
    // Wayland does not let a program place its own windows: no start places, no
    // snapping, no remembered positions. The panels dock there.
    return QGuiApplication::platformName() != "wayland" &&
           qEnvironmentVariableIntValue("QUILTARA_DOCKED_PANELS") == 0;
}

CInitDialogBar::CInitDialogBar(const QString& title, QWidget* content, QWidget* frame, bool docked)
    : QWidget(frame), m_content(content), m_title(title), m_docked(docked) {
    setWindowTitle(title);
    if (!m_docked) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setMouseTracking(true); // the strip's buttons explain themselves in a balloon
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, m_docked ? kMargin : kPanelStripHeight + 2, kMargin,
                               kMargin);
    layout->addWidget(content);
    content->installEventFilter(this);
    FitContent();
}

void CInitDialogBar::FitContent() {
    m_content->ensurePolished();
    const QSize hint = m_content->sizeHint().expandedTo(m_content->minimumSizeHint());
    const int top = m_docked ? kMargin : kPanelStripHeight + 2;
    const QSize full(std::max(hint.width() + 2 * kMargin, kLeastWidth),
                     hint.height() + top + kMargin);
    if (full == m_art.size()) return;
    m_art = PanelArt(full, m_title, !m_docked);
    if (m_docked) {
        setMinimumSize(full);
        return;
    }
    setFixedSize(full.width(), m_small ? kPanelStripHeight : full.height());
    // A panel that grew keeps its right and bottom edges inside the work area.
    const CRect area = WorkArea();
    const QRect r = frameGeometry();
    move(std::max(std::min(r.left(), area.right - full.width()), area.left),
         std::max(std::min(r.top(), area.bottom - height()), area.top));
    update();
}

bool CInitDialogBar::event(QEvent* event) {
    const bool done = QWidget::event(event);
    // Content shown again after a collapse settles its size only now.
    if (event->type() == QEvent::LayoutRequest && !m_small) FitContent();
    return done;
}

bool CInitDialogBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_content && event->type() == QEvent::LayoutRequest && !m_small) FitContent();
    return QWidget::eventFilter(watched, event);
}

void CInitDialogBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitContent();
}

CRect CInitDialogBar::WorkArea() const {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? ToCRect(screen->availableGeometry()) : CRect{0, 0, 800, 600};
}

CRect CInitDialogBar::FrameRect() const {
    return m_docked ? CRect{} : ToCRect(frameGeometry());
}

void CInitDialogBar::MoveToStart(int panelIndex) {
    if (m_docked) return;
    const CRect r = PanelStartRect(panelIndex, WorkArea(), m_art.width(), m_art.height());
    move(r.left, r.top);
}

void CInitDialogBar::ApplySmall() {
    // A docked panel has no strip to open it again: it keeps "Small" for a later
    // floating start but shows its content.
    m_content->setVisible(!m_small || m_docked);
    if (!m_docked) setFixedSize(m_art.width(), m_small ? kPanelStripHeight : m_art.height());
}

void CInitDialogBar::ToggleSmall() {
    m_small = !m_small;
    ApplySmall();
}

void CInitDialogBar::Show(bool show) {
    m_wanted = show;
    if (m_docked) {
        if (m_dock) m_dock->setVisible(show);
    } else if (!show) {
        hide();
    } else if (parentWidget() && parentWidget()->isVisible()) {
        QWidget::show();
    }
    emit shownChanged(show);
}

bool CInitDialogBar::IsShown() const {
    return m_docked && m_dock ? !m_dock->isHidden() : m_wanted;
}

void CInitDialogBar::SyncWithFrame(bool frameVisible) {
    if (!m_docked) setVisible(frameVisible && m_wanted);
}

void CInitDialogBar::RestorePosition(const ISettingsStore& store, const std::string& section) {
    const bool small = store.GetInt(section, "Small", 0) == 1;
    const bool hidden = store.GetInt(section, "Hiden", 0) != 0;
    const CRect saved{store.GetInt(section, "Left", 0), store.GetInt(section, "Top", 0),
                      store.GetInt(section, "Right", 0), store.GetInt(section, "Bottom", 0)};
    if (!m_docked) {
        const CRect r = RestorePanelRect(saved, WorkArea(), m_art.width(), m_art.height());
        if (r.right != 0) move(r.left, r.top);
    }
    m_small = small;
    ApplySmall();
    Show(!hidden);
}

void CInitDialogBar::SavePosition(ISettingsStore& store, const std::string& section) const {
    store.SetInt(section, "Small", m_small ? 1 : 0);
    const CRect r = FrameRect();
    store.SetInt(section, "Left", r.left);
    store.SetInt(section, "Top", r.top);
    store.SetInt(section, "Right", r.right);
    store.SetInt(section, "Bottom", r.bottom);
    store.SetInt(section, "Hiden", IsShown() ? 0 : 1);
}

void CInitDialogBar::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, m_art);
}

void CInitDialogBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (m_bubble) m_bubble->Hide();
    const QPoint at = event->position().toPoint();
    if (!m_docked) {
        switch (HitPanelStrip(at.x(), at.y())) {
        case PanelStripHit::Collapse:
            ToggleSmall();
            return;
        case PanelStripHit::Close:
            Show(false);
            return;
        case PanelStripHit::None:
            break;
        }
        m_dragging = true;
        m_lastDragPoint = event->globalPosition().toPoint();
    }
}

void CInitDialogBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        const QPoint at = event->position().toPoint();
        const PanelStripHit hit = HitPanelStrip(at.x(), at.y());
        if (int(hit) == m_hoverHit || m_docked) return;
        m_hoverHit = int(hit);
        if (!m_bubble) m_bubble = new CBubble(this);
        if (hit == PanelStripHit::None)
            m_bubble->Hide();
        else
            m_bubble->ShowDelayed(at,
                                  hit == PanelStripHit::Close ? "Close"
                                  : m_small                   ? "Expand"
                                                              : "Collapse",
                                  400);
        return;
    }
    const QPoint point = event->globalPosition().toPoint();
    const QPoint delta = point - m_lastDragPoint;
    std::vector<CRect> others;
    if (m_panels)
        for (const CInitDialogBar* panel : *m_panels)
            if (panel != this) others.push_back(panel->isVisible() ? panel->FrameRect() : CRect{});
    const CRect r = DragPanel(FrameRect(), delta.x(), delta.y(), WorkArea(), others);
    move(r.left, r.top);
    m_lastDragPoint = point;
}

void CInitDialogBar::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void CInitDialogBar::leaveEvent(QEvent*) {
    m_hoverHit = 0;
    if (m_bubble) m_bubble->Hide();
}

} // namespace quiltara::gui
