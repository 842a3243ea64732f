// Painting on the canvas with the mouse and the pen: the wiring from events to the
// tools, the wrap across the tile's edges and the undo step of a stroke.
#include "GuiTestSupport.h"
#include "core/paint/BrushStamp.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/devices/CTablet.h"
#include "gui/ui/CHelpPictureWnd.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QPointingDevice>
#include <QTabletEvent>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

namespace {

const ColorRef kGreen = MakeColorRef(0, 255, 0);

int ChangedPixels(const CDIBSection2& a, const CDIBSection2& b) {
    int n = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            n += std::memcmp(a.GetRow(y) + 4 * x, b.GetRow(y) + 4 * x, 3) != 0;
    return n;
}

bool IsColor(const CDIBSection2& picture, int x, int y, ColorRef c) {
    const std::uint8_t* p = picture.GetRow(y) + 4 * x;
    return MakeColorRef(p[2], p[1], p[0]) == c;
}

} // namespace

class PaintingTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    CCanvasWnd* NewCanvas(int w, int h) {
        CTessaryView* view = test::NewPatternDocument(m_run.Frame(), w, h);
        return view ? view->Canvas() : nullptr;
    }
    static QPoint Client(const CCanvasWnd* canvas, int x, int y) {
        const auto p = canvas->Geometry().ImageToClient(x, y);
        return {p.x, p.y};
    }
    /// A hard or soft round brush in green, with the given pressure mode.
    static void UseBrush(int size, double blur, int pressureMode) {
        CBrush brush;
        brush.size = size;
        brush.blur = blur;
        brush.pressureMode = pressureMode;
        CPaintingContext& painting = AppState().painting;
        painting.SelectBrush(brush);
        painting.SetForeColor(kGreen);
        painting.opacity = 255;
        painting.blendMode = 0;
    }
    /// The number of pixels one click of the current tool changes at (x, y).
    int DabPixels(int x, int y) {
        CCanvasWnd* canvas = NewCanvas(80, 80);
        CDIBSection2 before;
        before.Copy(&canvas->Model().WorkingImage());
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, x, y));
        return ChangedPixels(before, canvas->Model().WorkingImage());
    }

private slots:
    void init() {
        m_run.Start();
        QVERIFY(m_run.app->SelectTool(kToolPaintBrush));
    }
    void cleanup() { m_run.Stop(); }

    void strokeAcrossTheRightEdgeWrapsAndIsOneUndoStep() {
        UseBrush(6, 0, 0);
        CCanvasWnd* canvas = NewCanvas(100, 60);
        QVERIFY(canvas);
        CCanvasModel& model = canvas->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        // From inside the tile into its right neighbour on screen.
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 90, 30));
        QVERIFY(AppState().tools.StrokeActive());
        QVERIFY(!m_run.app->SelectTool(kToolPen)); // a stroke keeps its tool
        for (int x = 94; x <= 112; x += 4)
            QTest::mouseMove(canvas->viewport(), Client(canvas, x, 30));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 112, 30));
        QVERIFY(!AppState().tools.StrokeActive());

        const CDIBSection2& after = model.WorkingImage();
        QVERIFY(IsColor(after, 95, 30, kGreen));
        QVERIFY(IsColor(after, 5, 30, kGreen)); // the stroke went on at the left edge
        QVERIFY(IsColor(after, 12, 30, kGreen));
        QCOMPARE(ChangedPixels(before, after) > 0, true);
        for (int x = 25; x < 80; ++x)
            QVERIFY(!IsColor(after, x, 30, kGreen) || IsColor(before, x, 30, kGreen));
        QVERIFY(model.unsavedChanges);

        QVERIFY(model.CanUndo());
        model.Undo();
        QCOMPARE(ChangedPixels(before, model.WorkingImage()), 0);
        QVERIFY(!model.CanUndo()); // the whole stroke was one step
        model.Redo();
        QCOMPARE(ChangedPixels(after, model.WorkingImage()), 0);
    }

    void shiftClickPaintsAStraightLineFromTheLastStroke() {
        UseBrush(4, 0, 0);
        CCanvasWnd* canvas = NewCanvas(80, 40);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 10, 20));
        QVERIFY(!IsColor(canvas->Model().WorkingImage(), 40, 20, kGreen));
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          Client(canvas, 70, 20));
        for (int x = 10; x <= 70; x += 5)
            QVERIFY(IsColor(canvas->Model().WorkingImage(), x, 20, kGreen));
        QVERIFY(!IsColor(canvas->Model().WorkingImage(), 40, 30, kGreen));
    }

    void crossBorderClonerBringsTheSurroundingsAcrossTheEdge() {
        UseBrush(8, 0, 0);
        CCanvasWnd* canvas = NewCanvas(60, 40);
        CCanvasModel& model = canvas->Model();
        QVERIFY(m_run.app->SelectTool(kToolCrossBorder));
        // Without surroundings the help picture explains them.
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 30, 20));
        CHelpPictureWnd* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<CHelpPictureWnd*>(w); h && h->isVisible()) help = h;
        QVERIFY(help);
        help->close();
        QVERIFY(!model.CanUndo());

        CDIBSection2 surroundings;
        test::MakePatternPicture(surroundings, 180, 120, 9);
        model.surroundingsImage = &surroundings;
        model.tileOffsetX = 60, model.tileOffsetY = 40; // the tile in the middle
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 52, 20));
        QTest::mouseMove(canvas->viewport(), Client(canvas, 58, 20));
        QTest::mouseMove(canvas->viewport(), Client(canvas, 64, 20));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 64, 20));
        // Tile column 2 now holds what lies right of the tile in the photograph.
        const std::uint8_t* got = model.WorkingImage().GetRow(20) + 2 * 4;
        const std::uint8_t* want = surroundings.GetRow(20 + 40) + (60 + 60 + 2) * 4;
        QCOMPARE(std::memcmp(got, want, 3), 0);
        model.surroundingsImage = nullptr;
    }

    void rubberStampClonesFromTheRightClickedPoint() {
        UseBrush(6, 0, 0);
        AppState().clone.feedback = false;
        AppState().clone.aligned = true;
        CCanvasWnd* canvas = NewCanvas(80, 40);
        CDIBSection2 before;
        before.Copy(&canvas->Model().WorkingImage());
        QVERIFY(m_run.app->SelectTool(kToolRubberStamp));
        QTest::mouseClick(canvas->viewport(), Qt::RightButton, {}, Client(canvas, 10, 20));
        QVERIFY(AppState().clone.HasSource());
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 50, 20));
        const std::uint8_t* got = canvas->Model().WorkingImage().GetRow(20) + 50 * 4;
        QCOMPARE(std::memcmp(got, before.GetRow(20) + 10 * 4, 3), 0);
        QCOMPARE(AppState().clone.targetMarkerX, 50);
        // Another tool forgets the source.
        QVERIFY(m_run.app->SelectTool(kToolPaintBrush));
        QVERIFY(!AppState().clone.HasSource());
    }

    void originalCloneOnANewDocumentSaysWhyAndPaintsNothing() {
        UseBrush(6, 0, 0);
        CCanvasWnd* canvas = NewCanvas(40, 40);
        CDIBSection2 before;
        before.Copy(&canvas->Model().WorkingImage());
        AppState().painting.cloneSourceKind = kCloneOriginal;
        QString text;
        test::AnswerMessageBox(QMessageBox::Ok, &text);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 20, 20));
        AppState().painting.cloneSourceKind = kCloneNone;
        QVERIFY(text.startsWith("This image doesn't have an Original!"));
        QCOMPARE(ChangedPixels(before, canvas->Model().WorkingImage()), 0);
    }

    void restoreBrushPaintsTheOriginalBackFromItsSwapFile() {
        UseBrush(8, 0, 0);
        CCanvasWnd* canvas = NewCanvas(60, 40);
        CCanvasModel& model = canvas->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        QVERIFY(m_run.Frame()->Dispatch(ID_SET_AS_ORIGINAL));
        QVERIFY(model.originalRef && model.originalRef->IsSwappedOut());
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 30, 20));
        QVERIFY(IsColor(model.WorkingImage(), 30, 20, kGreen));
        QVERIFY(m_run.app->SelectTool(kToolRestoreBrush));
        UseBrush(20, 0, 0); // larger than the green dab, and hard
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 30, 20));
        QCOMPARE(ChangedPixels(before, model.WorkingImage()), 0);
        QVERIFY(model.originalRef->IsEmpty()); // still kept on disk only
    }

    void halfPenPressureShrinksAPressureBrushDab() {
        UseBrush(20, 3, 1); // "Pressure": the soft rim falls away first
        const int full = DabPixels(40, 40);
        const QPointingDevice pen(
            "Test Pen", 911, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
            QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
        CCanvasWnd* canvas = NewCanvas(80, 80);
        CDIBSection2 before;
        before.Copy(&canvas->Model().WorkingImage());
        const QPointF at = Client(canvas, 40, 40);
        QTabletEvent press(QEvent::TabletPress, &pen, at, canvas->viewport()->mapToGlobal(at), 0.5,
                           0, 0, 0, 0, 0, Qt::NoModifier, Qt::LeftButton, Qt::LeftButton);
        QCoreApplication::sendEvent(canvas->viewport(), &press);
        QCOMPARE(m_run.app->Tablet().Pressure(), 127);
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, at.toPoint());
        const int half = ChangedPixels(before, canvas->Model().WorkingImage());
        QVERIFY2(half > 0 && half < full, qPrintable(QString("%1 of %2").arg(half).arg(full)));
        m_run.app->Tablet().Reset();
    }

    void colourPickReturnsToThePreviousToolAndTheBucketFills() {
        CCanvasWnd* canvas = NewCanvas(40, 30);
        QVERIFY(m_run.app->SelectTool(kToolColorPick));
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 7, 9));
        QVERIFY(IsColor(canvas->Model().WorkingImage(), 7, 9, AppState().painting.foreColor));
        QCOMPARE(AppState().tools.Current(), int(kToolPaintBrush));

        QVERIFY(m_run.app->SelectTool(kToolPaintBucket));
        AppState().painting.backColor = kGreen;
        AppState().painting.opacity = 255;
        AppState().painting.textureDefined = false;
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 3, 3));
        for (int y = 0; y < 30; y += 7)
            for (int x = 0; x < 40; x += 9)
                QVERIFY(IsColor(canvas->Model().WorkingImage(), x, y, kGreen));
        QVERIFY(canvas->Model().CanUndo());
    }
};

QTEST_MAIN(PaintingTest)
#include "tst_painting.moc"
