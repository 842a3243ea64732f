// Editing through the window: clipboard, floating selection, crop, undo.
#include "GuiTestSupport.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

class EditingTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    CMainFrame* Frame() { return m_run.Frame(); }

    // A new w x h document filled with a pattern; returns its view.
    CTessaryView* NewDocument(int w, int h) { return test::NewPatternDocument(Frame(), w, h); }

    static QImage Solid(int w, int h, QRgb colour) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

private slots:
    void init() {
        m_run.Start();
        AppState().ChooseTool(kToolPaintBrush);
    }
    void cleanup() {
        m_run.Stop();
        QApplication::clipboard()->clear();
    }

    void pasteCentresTheFloatAndAPastePastesTheFirstIn() {
        CTessaryView* view = NewDocument(200, 200);
        CCanvasModel& model = view->Canvas()->Model();
        QApplication::clipboard()->setImage(Solid(300, 100, qRgb(10, 20, 30)));
        Frame()->UpdateAllActions();
        QVERIFY(Frame()->Dispatch(ID_EDIT_PASTE));
        QVERIFY(model.HasFloat());
        QCOMPARE(model.floatX, -50);
        QCOMPARE(model.floatY, 50);

        QApplication::clipboard()->setImage(Solid(20, 20, qRgb(200, 100, 50)));
        QVERIFY(Frame()->Dispatch(ID_EDIT_PASTE));
        // The first float went into the picture: row 60 is now its colour.
        const std::uint8_t* px = model.WorkingImage().GetRow(60) + 10 * 4;
        QCOMPARE(int(px[2]), 10);
        QCOMPARE(int(px[1]), 20);
        QCOMPARE(int(px[0]), 30);
        QCOMPARE(model.FloatImage().GetWidth(), 20);
        QCOMPARE(model.floatX, 90);

        // Copy puts the float back on the clipboard; Delete Float drops it.
        QVERIFY(Frame()->Dispatch(ID_EDIT_COPY));
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(20, 20));
        QCOMPARE(QApplication::clipboard()->image().pixel(3, 3), qRgb(200, 100, 50));
        QVERIFY(Frame()->Dispatch(ID_DELETE_FLOAT));
        QVERIFY(!model.HasFloat());
        QVERIFY(!Frame()->QueryState(ID_EDIT_COPY).enabled);
    }

    void duplicateOpensACopyAndEmptiesTheClipboard() {
        CTessaryView* view = NewDocument(30, 20);
        const CDIBSection2& image = view->Canvas()->Model().WorkingImage();
        std::vector<std::uint8_t> before(30 * 20 * 3);
        image.ExportRGB(before.data());
        QVERIFY(Frame()->Dispatch(ID_DUPLICATE));
        CTessaryView* copy = Frame()->ActiveView();
        QVERIFY(copy != view);
        std::vector<std::uint8_t> after(30 * 20 * 3);
        copy->Canvas()->Model().WorkingImage().ExportRGB(after.data());
        QCOMPARE(after, before);
        QVERIFY(QApplication::clipboard()->image().isNull());
        QVERIFY(copy->Document()->IsModified());
    }

    void pasteAsOriginalTellsTheSize() {
        NewDocument(50, 50);
        QApplication::clipboard()->setImage(Solid(10, 20, qRgb(1, 2, 3)));
        QString shown;
        test::AnswerMessageBox(QMessageBox::Ok, &shown);
        QVERIFY(Frame()->Dispatch(ID_PASTE_AS_ORIGINAL));
        QCOMPARE(
            shown,
            QString("The image (10,20) from the clipboard was set as Original of current image."));
    }

    void floatToolArrowAndDoubleClickMerge() {
        CTessaryView* view = NewDocument(100, 100);
        CCanvasWnd* canvas = view->Canvas();
        CCanvasModel& model = canvas->Model();
        const auto& g = canvas->Geometry();
        auto client = [&](int x, int y) {
            const auto p = g.ImageToClient(x, y);
            return QPoint(p.x, p.y);
        };
        AppState().ChooseTool(kToolFloat);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, client(10, 10));
        QTest::mouseMove(canvas->viewport(), client(30, 40));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, client(30, 40));
        QVERIFY(model.HasFloat());
        QCOMPARE(model.FloatImage().GetWidth(), 20);
        QCOMPARE(model.FloatImage().GetHeight(), 30);
        QCOMPARE(model.floatX, 10);

        // Drag it by its inside with the arrow tool: it moves by the drag.
        AppState().ChooseTool(kToolArrow);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, client(20, 25));
        QTest::mouseMove(canvas->viewport(), client(25, 28));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, client(25, 28));
        QCOMPARE(model.floatX, 15);
        QCOMPARE(model.floatY, 13);

        // Double click merges it; undo brings the picture and the float back.
        std::vector<std::uint8_t> floatPixels(20 * 30 * 3);
        model.FloatImage().ExportRGB(floatPixels.data());
        QTest::mouseDClick(canvas->viewport(), Qt::LeftButton, {}, client(60, 60));
        QVERIFY(!model.HasFloat());
        const std::uint8_t* merged = model.WorkingImage().GetRow(13) + 15 * 4;
        QCOMPARE(int(merged[2]), int(floatPixels[0]));
        QVERIFY(Frame()->QueryState(ID_EDIT_UNDO).enabled);
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(model.HasFloat());
        AppState().ChooseTool(kToolPaintBrush);
    }

    void finishCropChangesTheSizeAndUndoRestoresIt() {
        CTessaryView* view = NewDocument(120, 80);
        CCanvasWnd* canvas = view->Canvas();
        CCanvasModel& model = canvas->Model();
        const auto& g = canvas->Geometry();
        AppState().ChooseTool(kToolCrop);
        const auto a = g.ImageToClient(10, 10), b = g.ImageToClient(60, 50);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, QPoint(a.x, a.y));
        QTest::mouseMove(canvas->viewport(), QPoint(b.x, b.y));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, QPoint(b.x, b.y));
        QVERIFY(model.cropMode);
        QVERIFY(Frame()->QueryState(ID_FINISH_CROP).enabled);
        QVERIFY(Frame()->Dispatch(ID_FINISH_CROP));
        QCOMPARE(model.WorkingImage().GetWidth(), 50);
        QCOMPARE(model.WorkingImage().GetHeight(), 40);
        QCOMPARE(g.ImageWidth(), 50);
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QCOMPARE(model.WorkingImage().GetWidth(), 120);
        QCOMPARE(g.ImageWidth(), 120);
        QVERIFY(Frame()->Dispatch(ID_EDIT_REDO));
        QCOMPARE(model.WorkingImage().GetWidth(), 50);
        AppState().ChooseTool(kToolPaintBrush);
    }
};

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"
