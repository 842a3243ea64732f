// The canvas's zoom, centring and scrolling rules, with numbers, on a real widget.
#include "core/filters/LightEffects.h"
#include "gui/app/AppState.h"
#include "gui/app/CommandIds.h"
#include "gui/view/CCanvasWnd.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

class CanvasTest : public QObject {
    Q_OBJECT

    // A canvas of a fixed client size showing a w x h picture.
    std::unique_ptr<CCanvasWnd> MakeCanvas(int w, int h, int clientW = 400, int clientH = 300) {
        auto canvas = std::make_unique<CCanvasWnd>();
        canvas->resize(clientW + canvas->verticalScrollBar()->sizeHint().width(),
                       clientH + canvas->horizontalScrollBar()->sizeHint().height());
        canvas->show();
        QTest::qWait(1);
        CDIBSection2 original;
        test::MakePatternPicture(original, w, h);
        canvas->AttachDocument(&original, nullptr, 0, 0);
        return canvas;
    }

private slots:
    void zoomRequestsAreRoundedAndClamped() {
        auto canvas = MakeCanvas(200, 200);
        QSignalSpy spy(canvas.get(), &CCanvasWnd::zoomChanged);
        canvas->SetZoom(25);
        QCOMPARE(canvas->Geometry().Zoom(), 20.0);
        canvas->SetZoom(0.04);
        QCOMPARE(canvas->Geometry().Zoom(), 0.1);
        canvas->SetZoom(1.26);
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 1.3) < 1e-9);
        QCOMPARE(spy.count(), 3);
        canvas->ZoomIn();
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 1.5) < 1e-9);
        canvas->ZoomOut();
        canvas->ZoomOut();
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 1.1) < 1e-9);
    }

    void smallImageIsCentredAndItsNeighboursScrollIntoView() {
        auto canvas = MakeCanvas(200, 100);
        const auto& g = canvas->Geometry();
        QCOMPARE(g.ClientWidth(), canvas->viewport()->width());
        QCOMPARE(g.OriginX(), (g.ClientWidth() - 200) / 2);
        QCOMPARE(g.OriginY(), (g.ClientHeight() - 100) / 2);
        // Three tiles across are 600 of the 400 pixels: the neighbours are 200 to scroll;
        // three down are exactly the 300.
        QCOMPARE(canvas->horizontalScrollBar()->maximum(), 3 * 200 - g.ClientWidth());
        QCOMPARE(canvas->verticalScrollBar()->maximum(), 0);
        // The neighbours are drawn around the tile: a pixel left of the tile (beyond the
        // border's outline) is the tile's right column, not the gray background.
        QImage shot(g.ClientWidth(), g.ClientHeight(), QImage::Format_RGB32);
        QPainter painter(&shot);
        canvas->PaintCanvas(painter, shot.rect());
        painter.end();
        const std::uint8_t* rightColumn = canvas->Model().WorkingImage().GetRow(10) + 197 * 4;
        const QRgb left = shot.pixel(g.OriginX() - 3, g.OriginY() + 10);
        QCOMPARE(qBlue(left), int(rightColumn[0]));
        QCOMPARE(qRed(left), int(rightColumn[2]));
    }

    void tileIsDrawnTheRightWayUpAtZoomOne() {
        auto canvas = MakeCanvas(60, 40);
        canvas->SetShowTileBorder(false); // the outline runs over the edge pixels
        const auto& g = canvas->Geometry();
        QImage shot(g.ClientWidth(), g.ClientHeight(), QImage::Format_RGB32);
        QPainter painter(&shot);
        canvas->PaintCanvas(painter, shot.rect());
        painter.end();
        for (int y : {0, 1, 20, 39}) {
            for (int x : {1, 30, 58}) {
                const std::uint8_t* px = canvas->Model().WorkingImage().GetRow(y) + x * 4;
                QCOMPARE(shot.pixel(g.OriginX() + x, g.OriginY() + y), qRgb(px[2], px[1], px[0]));
            }
        }
    }

    void scrollingHoldsTheNineTilesInRange() {
        auto canvas = MakeCanvas(1000, 800);
        const auto& g = canvas->Geometry();
        // From the left neighbour's left edge to the right neighbour's right edge.
        const int span = 3 * 1000 - g.ClientWidth();
        QCOMPARE(canvas->horizontalScrollBar()->maximum(), span);
        canvas->horizontalScrollBar()->setValue(0);
        QCOMPARE(g.OriginX(), 1000);
        canvas->horizontalScrollBar()->setValue(span);
        QCOMPARE(g.OriginX(), 1000 - span);
        // A line-down at the end of the range does not move the image.
        canvas->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(g.OriginX(), 1000 - span);
        canvas->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(g.OriginX(), 1000 - span + 5);
        // A large picture starts centred: (300 - 800) / 2.
        QCOMPARE(g.OriginY(), -250);
        canvas->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(g.OriginY(), -270);
    }

    void zoomToolClicksAndRectangles() {
        auto canvas = MakeCanvas(200, 200);
        AppState().ChooseTool(kToolZoom);
        canvas->SetZoom(10);
        const QPoint centre(canvas->viewport()->width() / 2, canvas->viewport()->height() / 2);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 14.0) < 1e-9);
        canvas->SetZoom(15);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(canvas->Geometry().Zoom(), 20.0);

        // A rectangle only 2 pixels wide acts as a click.
        canvas->SetZoom(1);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(canvas->viewport(), centre + QPoint(2, 40));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, centre + QPoint(2, 40));
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 1.4) < 1e-9);

        // A real rectangle fills the window with it: 40 x 30 client pixels at zoom 1
        // in a 400 x 300 client give min(401/40, 301/30) = 10.025 -> 10.0.
        canvas->SetZoom(1);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(canvas->viewport(), centre + QPoint(40, 30));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, centre + QPoint(40, 30));
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 10.0) < 1e-9);

        // The right button zooms out by 0.6 and switches to zoom-out until released.
        canvas->SetZoom(2);
        QTest::mousePress(canvas->viewport(), Qt::RightButton, {}, centre);
        QCOMPARE(AppState().tools.Current(), int(kToolZoomOut));
        QVERIFY(qAbs(canvas->Geometry().Zoom() - 1.2) < 1e-9);
        QTest::mouseRelease(canvas->viewport(), Qt::RightButton, {}, centre);
        QCOMPARE(AppState().tools.Current(), int(kToolZoom));
        AppState().ChooseTool(kToolPaintBrush);
    }

    void fitToWindowAndMoveCanvas() {
        auto canvas = MakeCanvas(800, 400);
        canvas->FitToWindow(); // min(400/800, 300/400) = 0.5
        QCOMPARE(canvas->Geometry().Zoom(), 0.5);
        QCOMPARE(canvas->Geometry().OriginX(), 0);

        canvas->SetZoom(2);
        AppState().ChooseTool(kToolMoveCanvas);
        const int x0 = canvas->Geometry().OriginX(), y0 = canvas->Geometry().OriginY();
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(canvas->viewport(), QPoint(90, 95));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, QPoint(90, 95));
        QCOMPARE(canvas->Geometry().OriginX(), x0 - 10);
        QCOMPARE(canvas->Geometry().OriginY(), y0 - 5);
        QCOMPARE(canvas->horizontalScrollBar()->value(), canvas->Geometry().HorizontalPosition());
        AppState().ChooseTool(kToolPaintBrush);
    }

    // The wheel scrolls (Shift: across), and with Ctrl zooms about the pointer.
    void wheelScrollsAndCtrlWheelZooms() {
        auto canvas = MakeCanvas(300, 300);
        const auto& g = canvas->Geometry();
        auto wheel = [&](QPoint angle, Qt::KeyboardModifiers modifiers) {
            const QPointF at(100, 80);
            QWheelEvent event(at, canvas->viewport()->mapToGlobal(at), QPoint(), angle,
                              Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(canvas->viewport(), &event);
        };
        const int x0 = g.OriginX(), y0 = g.OriginY();
        wheel({0, -120}, Qt::NoModifier);
        QCOMPARE(g.OriginY(), y0 - CCanvasGeometry::kWheelStep);
        QCOMPARE(canvas->verticalScrollBar()->value(), g.VerticalPosition());
        wheel({0, -120}, Qt::ShiftModifier);
        QCOMPARE(g.OriginX(), x0 - CCanvasGeometry::kWheelStep);
        QCOMPARE(canvas->horizontalScrollBar()->value(), g.HorizontalPosition());
        QSignalSpy zoomed(canvas.get(), &CCanvasWnd::zoomChanged);
        const auto under = g.ClientToImage(100, 80);
        wheel({0, 120}, Qt::ControlModifier);
        QCOMPARE(zoomed.count(), 1);
        QVERIFY(qAbs(g.Zoom() - 1.3) < 1e-9);
        const auto still = g.ImageToClient(under.x, under.y);
        QVERIFY(qAbs(still.x - 100) <= 2 && qAbs(still.y - 80) <= 2);
    }

    // The sparkle paints on release what the renderer paints for the drag in picture
    // coordinates; a click without a drag leaves the picture alone.
    void sparkleDragRendersOnRelease() {
        auto canvas = MakeCanvas(100, 100);
        AppState().ChooseTool(kToolSparkle);
        const auto& g = canvas->Geometry();
        CDIBSection2 expected;
        expected.Copy(&canvas->Model().WorkingImage());
        QSignalSpy edited(canvas.get(), &CCanvasWnd::imageEdited);
        const auto a = g.ImageToClient(90, 30), b = g.ImageToClient(90, 42);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, QPoint(a.x, a.y));
        QCOMPARE(edited.count(), 0);
        QVERIFY(test::SamePixels(canvas->Model().WorkingImage(), expected));
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, QPoint(a.x, a.y));
        QTest::mouseMove(canvas->viewport(), QPoint(b.x, b.y));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, QPoint(b.x, b.y));
        QCOMPARE(edited.count(), 1);
        CNullProgress progress;
        QCOMPARE(RenderLightDrag(expected.GetBits(), 100, 100, LightKind::Sparkle, 90, 30, 90, 42,
                                 AppState().painting.opacity, progress),
                 LightDragResult::Done);
        QVERIFY(test::SamePixels(canvas->Model().WorkingImage(), expected));
        AppState().ChooseTool(kToolPaintBrush);
    }

    // Cancel in the progress window of the flare and of the sparkle leaves the picture
    // as it was.
    void cancelledLightLeavesNoTrace() {
        for (int tool : {int(kToolLensFlare), int(kToolSparkle)}) {
            auto canvas = MakeCanvas(100, 100);
            AppState().ChooseTool(tool);
            const auto& g = canvas->Geometry();
            CDIBSection2 before;
            before.Copy(&canvas->Model().WorkingImage());
            QSignalSpy edited(canvas.get(), &CCanvasWnd::imageEdited);
            // Looks for the progress window at every pass of the event loop (the window
            // lets events through while it shows) and cancels it once it is up.
            bool cancelled = false;
            QTimer poll;
            poll.setInterval(0);
            connect(&poll, &QTimer::timeout, canvas.get(), [&] {
                if (auto* dialog = canvas->findChild<QProgressDialog*>(); dialog && !cancelled) {
                    QCOMPARE(dialog->labelText(), QStringLiteral("Rendering..."));
                    dialog->cancel();
                    cancelled = true;
                }
            });
            poll.start();
            const auto a = g.ImageToClient(50, 30), b = g.ImageToClient(60, 42);
            QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, QPoint(a.x, a.y));
            QTest::mouseMove(canvas->viewport(), QPoint(b.x, b.y));
            QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, QPoint(b.x, b.y));
            poll.stop();
            QVERIFY2(cancelled, ToolLabel(tool));
            QCOMPARE(edited.count(), 0);
            QVERIFY2(test::SamePixels(canvas->Model().WorkingImage(), before), ToolLabel(tool));
        }
        AppState().ChooseTool(kToolPaintBrush);
    }

    void colourPickWrapsNeighbourTiles() {
        auto canvas = MakeCanvas(100, 100);
        AppState().ChooseTool(kToolColorPick);
        const auto& g = canvas->Geometry();
        // A click on the right neighbour at image x = 130 picks tile pixel x = 30.
        const auto client = g.ImageToClient(130, 20);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, QPoint(client.x, client.y));
        const std::uint8_t* px = canvas->Model().WorkingImage().GetRow(20) + 30 * 4;
        QCOMPARE(AppState().painting.foreColor, MakeColorRef(px[2], px[1], px[0]));
        AppState().ChooseTool(kToolPaintBrush);
    }

    void hiddenTileBorderStillDrawsNeighbours() {
        auto canvas = MakeCanvas(100, 100);
        const auto& g = canvas->Geometry();
        auto render = [&] {
            QImage shot(g.ClientWidth(), g.ClientHeight(), QImage::Format_RGB32);
            QPainter painter(&shot);
            canvas->PaintCanvas(painter, shot.rect());
            return shot;
        };
        const QImage withBorder = render();
        canvas->SetShowTileBorder(false);
        const QImage without = render();
        // The outline one pixel outside the tile is white only with the border.
        QCOMPARE(withBorder.pixel(g.OriginX() - 1, g.OriginY() + 50), qRgb(255, 255, 255));
        const std::uint8_t* px = canvas->Model().WorkingImage().GetRow(50) + 99 * 4;
        QCOMPARE(without.pixel(g.OriginX() - 1, g.OriginY() + 50), qRgb(px[2], px[1], px[0]));
    }
};

QTEST_MAIN(CanvasTest)
#include "tst_canvas.moc"
