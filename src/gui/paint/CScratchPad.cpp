#include "gui/paint/CScratchPad.h"

#include "core/paint/Stroke.h"
#include "gui/app/AppState.h"
#include "gui/image/PictureDrawing.h"

#include <QMouseEvent>
#include <QPainter>

namespace quiltara::gui {

CScratchPad::CScratchPad(QWidget* parent) : QWidget(parent) {
    setObjectName("scratchPad");
    setFixedSize(220, 120);
    setCursor(Qt::CrossCursor);
    m_picture.Create(220, 120, 32, true);
    Clear();
}

CScratchPad::~CScratchPad() = default;

void CScratchPad::SetBrush(const CBrush& brush) {
    m_brush = brush;
    m_brush.SetColor(AppState().painting.foreColor);
}

void CScratchPad::Clear() {
    m_picture.FillOpaque(MakeColorRef(255, 255, 255));
    update();
}

void CScratchPad::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Draw(p, m_picture, 0, 0);
}

void CScratchPad::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_brush.mask.IsEmpty()) return;
    CAppState& app = AppState();
    m_stroke = std::make_unique<CStroke>(m_picture, m_picture, m_brush, app.random);
    m_stroke->dabTemplate = app.painting.BrushDabArgs();
    m_stroke->dabTemplate.opacity = m_opacity;
    m_stroke->dabTemplate.colorOverlay = m_brush.colorOverlay != 0;
    m_stroke->dabTemplate.pressureMode = 0;
    const QPointF pt = event->position();
    m_stroke->Press(pt.x(), pt.y(), CStrokeView{});
    update();
}

void CScratchPad::mouseMoveEvent(QMouseEvent* event) {
    if (!m_stroke) return;
    const QPointF pt = event->position();
    m_stroke->Move(pt.x(), pt.y(), CStrokeView{});
    update();
}

void CScratchPad::mouseReleaseEvent(QMouseEvent*) {
    m_stroke.reset();
}

} // namespace quiltara::gui
