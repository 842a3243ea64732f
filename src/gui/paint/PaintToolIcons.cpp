#include "gui/paint/PaintToolIcons.h"

#include "core/paint/ToolSet.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <cmath>
#include <tuple>

namespace quiltara::gui {

namespace {

const QColor kInk(40, 40, 40);
const QColor kAccent(214, 140, 45);
const QColor kPaint(200, 60, 50);
const QColor kCool(60, 110, 200);

// The handle of the brushes and pens, from the bottom left towards the middle.
void Handle(QPainter& p, double width) {
    p.setPen(QPen(QColor(140, 90, 40), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 20), QPointF(13, 11));
}

void Sun(QPainter& p, const QColor& fill, bool rays) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(fill);
    p.drawEllipse(QPointF(12, 12), 5, 5);
    if (!rays) return;
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(12 + 7 * std::cos(a), 12 + 7 * std::sin(a)),
                   QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a)));
    }
}

void Draw(QPainter& p, int toolId) {
    p.setPen(QPen(kInk, 1.5));
    switch (toolId) {
    case kToolPaintBrush:
        Handle(p, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaint);
        p.drawEllipse(QRectF(12, 4, 8, 8));
        break;
    case kToolPen:
        Handle(p, 2);
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(12, 8), QPointF(16, 12), QPointF(20, 4)}));
        break;
    case kToolAirbrush:
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(3, 12, 10, 5));
        p.drawLine(QPointF(8, 17), QPointF(8, 21));
        p.setPen(Qt::NoPen);
        p.setBrush(kPaint);
        for (const QPointF& d : {QPointF(16, 9), QPointF(18, 13), QPointF(19, 6), QPointF(15, 5),
                                 QPointF(20, 10), QPointF(17, 16)})
            p.drawEllipse(d, 1, 1);
        break;
    case kToolRubberStamp:
        p.setBrush(QColor(140, 90, 40));
        p.drawRect(QRectF(9, 3, 6, 9));
        p.setBrush(kInk);
        p.drawRect(QRectF(4, 12, 16, 4));
        p.setPen(QPen(kPaint, 2));
        p.drawLine(QPointF(4, 20), QPointF(20, 20));
        break;
    case kToolNaturalBrushes:
        // A palette with three paints.
        p.setBrush(QColor(225, 200, 150));
        p.drawEllipse(QRectF(2, 5, 20, 15));
        p.setPen(Qt::NoPen);
        for (const auto& [c, x, y] : {std::tuple{kPaint, 7.0, 10.0}, std::tuple{kCool, 12.0, 8.0},
                                      std::tuple{QColor(60, 160, 70), 16.0, 12.0}}) {
            p.setBrush(c);
            p.drawEllipse(QPointF(x, y), 2, 2);
        }
        break;
    case kToolImageNozzle:
        p.setBrush(kInk);
        p.drawRect(QRectF(2, 10, 8, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 160, 70));
        p.drawEllipse(QPointF(15, 6), 3, 2);
        p.setBrush(kPaint);
        p.drawPolygon(QPolygonF({QPointF(14, 14), QPointF(20, 12), QPointF(18, 18)}));
        p.setBrush(kCool);
        p.drawRect(QRectF(12, 18, 4, 4));
        break;
    case kToolCrossBorder:
        // A tile edge with a stroke passing through it.
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 14), QPointF(20, 10));
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(17, 7), QPointF(20, 10));
        p.drawLine(QPointF(20, 10), QPointF(17, 13));
        break;
    case kToolPaintBucket:
        p.setBrush(QColor(200, 200, 200));
        p.drawPolygon(QPolygonF({QPointF(4, 9), QPointF(12, 3), QPointF(19, 11), QPointF(11, 18)}));
        p.setPen(Qt::NoPen);
        p.setBrush(kPaint);
        p.drawEllipse(QRectF(16, 14, 5, 7));
        break;
    case kToolAddText: {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(18);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, "T");
        break;
    }
    case kToolContrast:
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.setBrush(kInk);
        p.drawPie(QRectF(4, 4, 16, 16), 90 * 16, 180 * 16);
        break;
    case kToolBrighten:
        Sun(p, QColor(250, 220, 90), true);
        break;
    case kToolDarken:
        Sun(p, QColor(90, 90, 110), false);
        break;
    case kToolDesaturate:
    case kToolSaturate:
    case kToolColorize: {
        const bool grey = toolId == kToolDesaturate;
        const QColor colours[3] = {grey ? QColor(90, 90, 90) : kPaint,
                                   grey ? QColor(150, 150, 150) : QColor(60, 160, 70),
                                   grey ? QColor(210, 210, 210) : kCool};
        const QPointF centres[3] = {QPointF(9, 9), QPointF(15, 9), QPointF(12, 15)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            QColor c = colours[i];
            if (toolId == kToolColorize) c = QColor(220, 150 - 30 * i, 60);
            c.setAlpha(200);
            p.setBrush(c);
            p.drawEllipse(centres[i], 5, 5);
        }
        break;
    }
    case kToolRedRemoval:
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(3, 7, 18, 10));
        p.setBrush(kPaint);
        p.drawEllipse(QPointF(12, 12), 3, 3);
        break;
    case kToolSoften:
    case kToolSoftenSharpen: {
        QRadialGradient soft(QPointF(12, 12), 9);
        soft.setColorAt(0, kInk);
        soft.setColorAt(1, Qt::transparent);
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawEllipse(QPointF(12, 12), 9, 9);
        if (toolId == kToolSoften) break;
        p.setBrush(kInk);
        p.drawPie(QRectF(3, 3, 18, 18), -90 * 16, 180 * 16);
        break;
    }
    case kToolSharpen:
        p.setBrush(kInk);
        p.drawPolygon(
            QPolygonF({QPointF(12, 2), QPointF(20, 12), QPointF(12, 22), QPointF(4, 12)}));
        break;
    case kToolMedian:
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                p.setBrush(i == 1 && j == 1 ? kAccent : QColor(200, 200, 200));
                p.drawRect(QRectF(3 + 6 * i, 3 + 6 * j, 6, 6));
            }
        break;
    case kToolLineBridge: {
        QLinearGradient bridge(QPointF(4, 12), QPointF(20, 12));
        bridge.setColorAt(0, kPaint);
        bridge.setColorAt(1, kCool);
        p.setPen(QPen(QBrush(bridge), 4));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(4, 12), 2.5, 2.5);
        p.drawEllipse(QPointF(20, 12), 2.5, 2.5);
        break;
    }
    case kToolRestoreBrush:
    case kToolHistoryBrush:
        // A circling arrow: back to what the picture was.
        p.setPen(QPen(toolId == kToolRestoreBrush ? kAccent : kCool, 2.5));
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(17, 3), QPointF(21, 8), QPointF(15, 9)}));
        break;
    case kToolSelfBlend:
        p.setBrush(QColor(214, 140, 45, 150));
        p.drawEllipse(QPointF(9, 12), 6, 6);
        p.setBrush(QColor(60, 110, 200, 150));
        p.drawEllipse(QPointF(15, 12), 6, 6);
        break;
    case kToolGrainyTone:
        p.fillRect(QRectF(3, 3, 18, 18), QColor(160, 140, 110));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (int i = 0; i < 24; ++i) p.drawRect(QRectF(3 + (i * 7) % 17, 3 + (i * 11) % 17, 1, 1));
        break;
    case kToolEmbossLight:
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(4, 19), QPointF(4, 4));
        p.drawLine(QPointF(4, 4), QPointF(19, 4));
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(19, 4), QPointF(19, 19));
        p.drawLine(QPointF(19, 19), QPointF(4, 19));
        p.fillRect(QRectF(6, 6, 12, 12), QColor(170, 170, 170));
        break;
    case kToolMosaic:
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                p.fillRect(QRectF(3 + 6 * i, 3 + 6 * j, 6, 6),
                           QColor::fromHsv((i * 3 + j) * 40 % 360, 120, 220));
        break;
    case kToolLightBands:
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF(3 + 4.5 * i, 3, 4.5, 18), QColor::fromHsv(40, 80, 120 + 40 * i));
        break;
    case kToolRadialBlur:
    case kToolRadialBurst:
        for (int i = 0; i < 12; ++i) {
            const double a = i * M_PI / 6;
            p.drawLine(QPointF(12 + 3 * std::cos(a), 12 + 3 * std::sin(a)),
                       QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a)));
        }
        if (toolId == kToolRadialBurst) {
            p.setBrush(kAccent);
            p.drawEllipse(QPointF(12, 12), 3, 3);
        }
        break;
    case kToolGlassBlocks:
        p.setBrush(QColor(170, 210, 230));
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) p.drawRoundedRect(QRectF(3 + 9 * i, 3 + 9 * j, 8, 8), 2, 2);
        break;
    case kToolContrastColors:
        p.fillRect(QRectF(3, 3, 18, 18), Qt::black);
        p.setPen(QPen(QColor(80, 230, 240), 2));
        p.drawEllipse(QPointF(12, 12), 6, 6);
        break;
    case kToolHeatColors: {
        QLinearGradient heat(QPointF(3, 0), QPointF(21, 0));
        heat.setColorAt(0, QColor(20, 20, 160));
        heat.setColorAt(0.5, QColor(40, 200, 60));
        heat.setColorAt(1, QColor(230, 40, 30));
        p.fillRect(QRectF(3, 5, 18, 14), heat);
        break;
    }
    case kToolLensFlare:
        p.setPen(Qt::NoPen);
        for (const auto& [x, r, a] :
             {std::tuple{6.0, 4.0, 220}, std::tuple{13.0, 2.0, 140}, std::tuple{18.0, 3.0, 110}}) {
            p.setBrush(QColor(240, 180, 60, a));
            p.drawEllipse(QPointF(x, 24 - x), r, r);
        }
        break;
    case kToolSparkle:
        p.setBrush(QColor(250, 220, 90));
        p.drawPolygon(
            QPolygonF({QPointF(12, 2), QPointF(14, 10), QPointF(22, 12), QPointF(14, 14),
                       QPointF(12, 22), QPointF(10, 14), QPointF(2, 12), QPointF(10, 10)}));
        break;
    default:
        break;
    }
}

} // namespace

QIcon PaintToolIcon(int toolId) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, toolId);
    painter.end();
    return QIcon(pixmap);
}

} // namespace quiltara::gui
