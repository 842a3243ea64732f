// Image processing through the window: adjustments, direct filters, rotations, the
// "FIlter" dialog and "Image Size...", each with its undo step.
#include "GuiTestSupport.h"
#include "core/filters/AdjustDispatcher.h"
#include "core/filters/FilterFactory.h"
#include "core/filters/Resize.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CAdjustDlg.h"
#include "gui/filters/CFilterDlg.h"
#include "gui/filters/CFilterPreviewWnd.h"
#include "gui/filters/CLevelsDlg.h"
#include "gui/filters/CResizeImageDlg.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/ui/CValueSlider.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

namespace {

// The same picture, pixel for pixel, of the same size.
bool Same(const CDIBSection2& a, const CDIBSection2& b) {
    return test::SamePixels(a, b);
}

int OriginalWidth(const CDIBSection2& original) {
    return original.IsSwappedOut() ? original.GetSwappedWidth() : original.GetWidth();
}
int OriginalHeight(const CDIBSection2& original) {
    return original.IsSwappedOut() ? original.GetSwappedHeight() : original.GetHeight();
}

// Replaces a line edit's text as typing does (textEdited fires).
void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// A mouse event delivered straight to a widget that need not be on the screen.
void Mouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const bool held = type != QEvent::MouseButtonRelease;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A drag along a value slider from one value to another, as the mouse does it.
void DragSlider(CValueSlider* slider, int from, int to) {
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->PositionOf(from), y));
    QTest::mouseMove(slider, QPoint(slider->PositionOf(to), y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->PositionOf(to), y));
}

} // namespace

class ImageCommandsTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    CMainFrame* Frame() { return m_run.Frame(); }

    CTessaryView* NewDocument(int w, int h, std::uint32_t seed = 1) {
        return test::NewPatternDocument(Frame(), w, h, seed);
    }

private slots:
    void init() {
        m_run.Start();
        AppState().ChooseTool(kToolPaintBrush);
    }
    void cleanup() { m_run.Stop(); }

    void commandsNeedAView() {
        Frame()->UpdateAllActions();
        QVERIFY(!Frame()->QueryState(ID_NEGATIVE).enabled);
        QVERIFY(!Frame()->QueryState(ID_IMAGE_SIZE).enabled);
        QVERIFY(!Frame()->QueryState(ID_FILTER_FIRST + 36).enabled);
        NewDocument(20, 20);
        for (const AdjustOperationInfo& op : AdjustOperations())
            QVERIFY2(Frame()->QueryState(op.commandId).enabled, op.command);
        QVERIFY(Frame()->QueryState(ID_IMAGE_SIZE).enabled);
        QVERIFY(Frame()->QueryState(ID_FILTER_FIRST + 36).enabled);
        // Slot 28 holds no filter.
        QVERIFY(!Frame()->QueryState(ID_FILTER_FIRST + 28).enabled);
    }

    void oneShotCommandChangesThePictureAndUndoRestoresIt_data() {
        QTest::addColumn<int>("operation");
        for (const AdjustOperationInfo& op : AdjustOperations())
            if (!op.hasDialog) QTest::newRow(op.command) << op.number;
    }
    void oneShotCommandChangesThePictureAndUndoRestoresIt() {
        QFETCH(int, operation);
        CTessaryView* view = NewDocument(40, 30);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());

        // What the dispatcher makes of the same picture on its own.
        CDIBSection2 expected;
        expected.Copy(&before);
        AdjustTarget target = AdjustTarget::ForPicture(expected);
        QVERIFY(RunAdjustment(target, operation));

        QVERIFY(Frame()->Dispatch(AdjustOperations()[std::size_t(operation)].commandId));
        QVERIFY(!Same(model.WorkingImage(), before));
        QVERIFY(Same(model.WorkingImage(), expected));
        QVERIFY(Same(model.BeforeImage(), model.WorkingImage()));
        QVERIFY(model.unsavedChanges);

        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
        QCOMPARE(model.geometry.ImageWidth(), 40);
    }

    void rotationTurnsANonSquarePictureAndUndoTurnsItBack() {
        CTessaryView* view = NewDocument(40, 30);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        QVERIFY(Frame()->Dispatch(ID_ROTATE_90_CW));
        QCOMPARE(model.WorkingImage().GetWidth(), 30);
        QCOMPARE(model.WorkingImage().GetHeight(), 40);
        QCOMPARE(model.geometry.ImageWidth(), 30);
        QCOMPARE(model.geometry.ImageHeight(), 40);
        // Turned clockwise: the top row becomes the right column, read downwards.
        for (int x = 0; x < 40; ++x)
            QCOMPARE(
                std::memcmp(model.WorkingImage().GetRow(x) + 29 * 4, before.GetRow(0) + x * 4, 4),
                0);
        QCOMPARE(model.BeforeImage().GetWidth(), 30);

        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
        QCOMPARE(model.geometry.ImageWidth(), 40);
        QCOMPARE(model.geometry.ImageHeight(), 30);
    }

    void commandOnAFloatChangesOnlyTheFloat() {
        CTessaryView* view = NewDocument(40, 30);
        CCanvasModel& model = view->Canvas()->Model();
        QVERIFY(model.TakeFloat(CRect{5, 5, 25, 15}));
        CDIBSection2 image, floatBefore;
        image.Copy(&model.WorkingImage());
        floatBefore.Copy(&model.FloatImage());

        QVERIFY(Frame()->Dispatch(ID_NEGATIVE));
        QVERIFY(Same(model.WorkingImage(), image));
        for (std::size_t i = 0; i < floatBefore.PixelBytes(); ++i)
            if (i % 4 != 3)
                QCOMPARE(int(model.FloatImage().GetBits()[i]), 255 - floatBefore.GetBits()[i]);
        // A later resize of the float starts from the result.
        QVERIFY(Same(model.FloatBackup(), model.FloatImage()));

        // A turn changes the float's shape, not the picture's.
        QVERIFY(Frame()->Dispatch(ID_ROTATE_90_CCW));
        QCOMPARE(model.FloatImage().GetWidth(), 10);
        QCOMPARE(model.FloatImage().GetHeight(), 20);
        QCOMPARE(model.WorkingImage().GetWidth(), 40);

        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.FloatImage(), floatBefore));
        QVERIFY(Same(model.WorkingImage(), image));

        // A filter of the "FIlter" dialog too.
        test::WhenModal<CFilterDlg>(
            [](CFilterDlg* d) { d->findChild<QPushButton*>("apply")->click(); });
        QVERIFY(Frame()->Dispatch(ID_FILTER_FIRST + 9)); // "Color - Quantize"
        QVERIFY(Same(model.WorkingImage(), image));
        QVERIFY(!Same(model.FloatImage(), floatBefore));
    }

    void adjustmentDialogPreviewsOnReleaseAndKeepsTheResult_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("value");
        QTest::newRow("Brightness & Contrast")
            << int(ID_BRIGHTNESS_CONTRAST) << "brightness" << 180;
        QTest::newRow("Gamma") << int(ID_GAMMA) << "gamma" << 150;
        QTest::newRow("RGB Curves") << int(ID_RGB_CURVES) << "green" << 40;
        QTest::newRow("Hue/Saturation") << int(ID_HUE_SATURATION) << "hue" << 250;
    }
    void adjustmentDialogPreviewsOnReleaseAndKeepsTheResult() {
        QFETCH(int, command);
        QFETCH(QString, bar);
        QFETCH(int, value);
        CTessaryView* view = NewDocument(32, 24);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());

        bool previewed = false, heldDuringDrag = false;
        AdjustSettings confirmed;
        test::WhenModal<CAdjustDlg>([&](CAdjustDlg* d) {
            auto* slider = d->findChild<QSlider*>(bar);
            QVERIFY(slider);
            // While the handle is held nothing is rendered.
            slider->setSliderDown(true);
            slider->setValue(value);
            heldDuringDrag = d->Renders() == 0 && Same(model.WorkingImage(), before);
            slider->setSliderDown(false);
            QTest::qWait(0);
            previewed = d->Renders() > 0 && !Same(model.WorkingImage(), before);
            confirmed = d->Settings();
            d->accept();
        });
        QVERIFY(Frame()->Dispatch(command));
        QVERIFY(heldDuringDrag);
        QVERIFY(previewed);

        CDIBSection2 expected;
        expected.Copy(&before);
        AdjustTarget target = AdjustTarget::ForPicture(expected);
        QVERIFY(RunAdjustment(target, CImageCommandsOperation(command), &confirmed));
        QVERIFY(Same(model.WorkingImage(), expected));

        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
    }

    void cancelInAnAdjustmentDialogRestoresExactly_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("bar");
        QTest::newRow("Brightness & Contrast") << int(ID_BRIGHTNESS_CONTRAST) << "contrast";
        QTest::newRow("Gamma") << int(ID_GAMMA) << "gamma";
        QTest::newRow("RGB Curves") << int(ID_RGB_CURVES) << "red";
        QTest::newRow("Hue/Saturation") << int(ID_HUE_SATURATION) << "saturation";
    }
    void cancelInAnAdjustmentDialogRestoresExactly() {
        QFETCH(int, command);
        QFETCH(QString, bar);
        CTessaryView* view = NewDocument(32, 24, 5);
        CCanvasModel& model = view->Canvas()->Model();
        QVERIFY(model.TakeFloat(CRect{2, 3, 20, 17}));
        CDIBSection2 image, floatBefore;
        image.Copy(&model.WorkingImage());
        floatBefore.Copy(&model.FloatImage());
        bool previewed = false;
        test::WhenModal<CAdjustDlg>([&](CAdjustDlg* d) {
            d->findChild<QSlider*>(bar)->setValue(10);
            previewed = !Same(model.FloatImage(), floatBefore);
            d->reject();
        });
        QVERIFY(Frame()->Dispatch(command));
        QVERIFY(previewed);
        QVERIFY(Same(model.FloatImage(), floatBefore));
        QVERIFY(Same(model.WorkingImage(), image));
    }

    void rgbCurvesAllTogetherMovesTheThreeBars() {
        NewDocument(16, 16);
        int green = -1, blue = -1;
        test::WhenModal<CAdjustDlg>([&](CAdjustDlg* d) {
            d->findChild<QCheckBox*>("allTogether")->setChecked(true);
            d->findChild<QSlider*>("red")->setValue(160);
            green = d->findChild<QSlider*>("green")->value();
            blue = d->Settings().curvesPosition[2];
            d->findChild<QPushButton*>("reset")->click();
            QCOMPARE(d->Settings().curvesPosition[0], 100);
            d->reject();
        });
        QVERIFY(Frame()->Dispatch(ID_RGB_CURVES));
        QCOMPARE(green, 160);
        QCOMPARE(blue, 160);
    }

    void levelsDialogHoldsTypedValuesAndPicks() {
        CTessaryView* view = NewDocument(32, 24, 9);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        QString shownWhite, shownBlack;
        int rendersAfterTyping = -1;
        LevelsChannel red, blue;
        test::WhenModal<CLevelsDlg>([&](CLevelsDlg* d) {
            auto* inWhite = d->findChild<QLineEdit*>("inWhite");
            Type(inWhite, "300");
            shownWhite = inWhite->text();
            Type(inWhite, "200");
            // The picture follows a typed value once typing has settled.
            QTRY_VERIFY_WITH_TIMEOUT(d->Renders() > 0, 3000);
            rendersAfterTyping = d->Renders();
            // A highlight darker than the shadow: each black goes one below its white.
            d->Picked(true, QColor(100, 100, 100));
            d->Picked(false, QColor(50, 60, 70));
            shownBlack = d->findChild<QLineEdit*>("inBlack")->text();
            red = d->Model().Channel(0);
            blue = d->Model().Channel(2);
            d->accept();
        });
        QVERIFY(Frame()->Dispatch(ID_LEVELS));
        QCOMPARE(shownWhite, QString("255"));
        QCOMPARE(rendersAfterTyping, 1);
        QCOMPARE(red.inWhite, 50);
        QCOMPARE(red.inBlack, 49);
        QCOMPARE(blue.inWhite, 70);
        QCOMPARE(blue.inBlack, 69);
        QCOMPARE(shownBlack, QString("49")); // "RGB" shows red's values
        QVERIFY(!Same(model.WorkingImage(), before));
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
    }

    void levelsMidtoneStandsForGamma() {
        QCOMPARE(CLevelsDlg::MidtoneFor(0, 255, 1.0), 128);
        QVERIFY(CLevelsDlg::MidtoneFor(0, 255, 2.0) < 128); // brighter: the handle goes left
        QVERIFY(std::abs(CLevelsDlg::GammaFor(0, 255, CLevelsDlg::MidtoneFor(0, 255, 1.6)) - 1.6) <
                0.02);
        QVERIFY(std::abs(CLevelsDlg::GammaFor(20, 200, CLevelsDlg::MidtoneFor(20, 200, 0.5)) -
                         0.5) < 0.02);
    }

    void filterDialogButtonsAndCancel() {
        CTessaryView* view = NewDocument(600, 400, 3);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        ISettingsStore& store = m_run.app->Store();
        store.SetInt("Effects", "EFF2_0", 30); // the remembered red of "Color - Balance"

        QString title;
        int remembered = -1, defaultRed = -1, randomShown = -1;
        QString redText;
        bool randomInRange = true, valuesFollowSliders = true;
        double zoomIn = 0, zoomMax = 0, zoomMin = 0;
        int rendersBefore = 0, rendersAfterDrag = 0, dragged = -1, factoryAfterDrag = -1;
        test::WhenModal<CFilterDlg>([&](CFilterDlg* d) {
            title = d->windowTitle();
            remembered = d->Slider(0)->Value();
            randomShown = d->findChild<QPushButton*>("random")->isVisibleTo(d);
            // A drag renders once, when it ends.
            rendersBefore = d->PreviewRenders();
            DragSlider(d->Slider(1), d->Slider(1)->Value(), 200);
            rendersAfterDrag = d->PreviewRenders();
            dragged = d->Slider(1)->Value();
            factoryAfterDrag = d->Factory().GetValue(1);

            d->findChild<QPushButton*>("default")->click();
            defaultRed = d->Slider(0)->Value();
            redText = d->ValueText(0);
            for (int n = 0; n < 5; ++n) {
                d->findChild<QPushButton*>("random")->click();
                for (int i = 0; i < 8; ++i) {
                    const int v = d->Slider(i)->Value();
                    randomInRange = randomInRange && v >= 0 && v <= 255;
                    valuesFollowSliders = valuesFollowSliders && d->Factory().GetValue(i) == v;
                }
            }
            const double z0 = d->Preview()->Zoom();
            d->findChild<QPushButton*>("zoomIn")->click();
            zoomIn = d->Preview()->Zoom() / z0;
            for (int n = 0; n < 20; ++n) d->findChild<QPushButton*>("zoomIn")->click();
            zoomMax = d->Preview()->Zoom();
            for (int n = 0; n < 40; ++n) d->findChild<QPushButton*>("zoomOut")->click();
            zoomMin = d->Preview()->Zoom();
            d->findChild<QPushButton*>("cancel")->click();
        });
        QVERIFY(Frame()->Dispatch(ID_FILTER_FIRST + 2));
        QCOMPARE(title, QString("Color - Balance"));
        QCOMPARE(remembered, 30);
        QVERIFY(randomShown);
        QCOMPARE(rendersAfterDrag, rendersBefore + 1);
        QCOMPARE(dragged, 200);
        QCOMPARE(factoryAfterDrag, 200);
        QCOMPARE(defaultRed, 128);
        QCOMPARE(redText, QString("0")); // Centered: 128 shows 0
        QVERIFY(randomInRange);
        QVERIFY(valuesFollowSliders);
        QVERIFY(std::abs(zoomIn - 1.4) < 1e-9);
        QCOMPARE(zoomMax, 3.0);
        QCOMPARE(zoomMin, 0.02);
        // Cancel: the picture and the remembered values are as they were.
        QVERIFY(Same(model.WorkingImage(), before));
        QCOMPARE(store.GetInt("Effects", "EFF2_0", -1), 30);
        QCOMPARE(store.GetInt("Effects", "EFF2_1", -1), -1);
        QVERIFY(!model.CanUndo());
    }

    void filterDialogApplyFiltersAndRemembers() {
        CTessaryView* view = NewDocument(50, 30, 4);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        bool oneToOne = false, randomHidden = false;
        test::WhenModal<CFilterDlg>([&](CFilterDlg* d) {
            oneToOne = d->Preview()->Zoom() == 1.0;
            randomHidden = !d->findChild<QPushButton*>("random")->isVisibleTo(d);
            d->Slider(0)->SetValue(90);
            emit d->Slider(0)->scrolled(CValueSlider::kEndScroll, 90);
            d->findChild<QPushButton*>("apply")->click();
        });
        QVERIFY(Frame()->Dispatch(ID_FILTER_FIRST + 36)); // "Gaussian Blur"
        QVERIFY(oneToOne);
        QVERIFY(randomHidden);
        QCOMPARE(m_run.app->Store().GetInt("Effects", "EFF36_0", -1), 90);
        QCOMPARE(m_run.app->Store().GetInt("Effects", "EFF36_7", -1), 0); // all eight are written

        CDIBSection2 expected;
        expected.Copy(&before);
        CFilterFactory engine;
        engine.SelectFilter(36);
        engine.SetValue(0, 90);
        engine.SetImage(expected.GetBits(), expected.GetWidth(), expected.GetHeight());
        engine.Apply();
        QVERIFY(Same(model.WorkingImage(), expected));
        QVERIFY(!Same(model.WorkingImage(), before));
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
    }

    void filterDialogRunsOnAnyPicture() {
        CDIBSection2 picture, before;
        test::MakePatternPicture(picture, 700, 500, 8);
        before.Copy(&picture);
        double zoom = 0;
        QSize preview;
        test::WhenModal<CFilterDlg>([&](CFilterDlg* d) {
            zoom = d->Preview()->Zoom();
            preview =
                QSize(d->Preview()->Working().GetWidth(), d->Preview()->Working().GetHeight());
            d->findChild<QPushButton*>("cancel")->click();
        });
        QVERIFY(!CFilterDlg::Run(picture, 0));
        QVERIFY(Same(picture, before));
        // The preview shows "Color - Boost" on the whole picture scaled into 400 x 300.
        QVERIFY(std::abs(zoom - 0.5714285714) < 1e-6);
        QCOMPARE(preview, QSize(int(std::min(700 * zoom, 400.0)), 285));

        test::WhenModal<CFilterDlg>(
            [](CFilterDlg* d) { d->findChild<QPushButton*>("apply")->click(); });
        QVERIFY(CFilterDlg::Run(picture, 37)); // "Unsharp mask"
        QVERIFY(!Same(picture, before));
    }

    void filterPreviewPansWithinThePicture() {
        CDIBSection2 picture;
        test::MakePatternPicture(picture, 900, 700, 2);
        CFilterPreviewWnd preview(&picture, QSize(400, 300));
        preview.SetZoom(1.0);
        QVERIFY(preview.Rebuild());
        QCOMPARE(preview.Working().GetWidth(), 400);
        // Centred: the preview's top-left is picture pixel (250, 200).
        QCOMPARE(std::memcmp(preview.Working().GetRow(0), picture.GetRow(200) + 250 * 4, 3), 0);
        QSignalSpy finished(&preview, &CFilterPreviewWnd::panFinished);
        Mouse(&preview, QEvent::MouseButtonPress, QPoint(100, 100));
        Mouse(&preview, QEvent::MouseMove, QPoint(150, 130));
        Mouse(&preview, QEvent::MouseButtonRelease, QPoint(150, 130));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(std::memcmp(preview.Working().GetRow(0), picture.GetRow(170) + 200 * 4, 3), 0);
        // Far past the edge the pan is held there.
        Mouse(&preview, QEvent::MouseButtonPress, QPoint(0, 0));
        Mouse(&preview, QEvent::MouseMove, QPoint(399, 299));
        Mouse(&preview, QEvent::MouseMove, QPoint(399, 300));
        Mouse(&preview, QEvent::MouseButtonRelease, QPoint(399, 300));
        QCOMPARE(preview.PanX(), 250.0);
        QCOMPARE(preview.PanY(), 200.0);
        QCOMPARE(std::memcmp(preview.Working().GetRow(0), picture.GetRow(0), 3), 0);
    }

    void resizeDialogKeepsTheRatioAndTellsTheMemory() {
        CResizeImageDlg d(100, 50, 1);
        auto* width = d.findChild<QLineEdit*>("width");
        auto* height = d.findChild<QLineEdit*>("height");
        auto* memory = d.findChild<QLabel*>("memory");
        QCOMPARE(memory->text(), QString("Memory Image Size: 20 kb"));
        Type(width, "50");
        QCOMPARE(height->text(), QString("25"));
        QCOMPARE(d.findChild<QLineEdit*>("widthPercent")->text(), QString("50"));
        QCOMPARE(d.findChild<QLineEdit*>("heightPercent")->text(), QString("50"));
        QCOMPARE(memory->text(), QString("Memory Image Size: 5 kb"));
        QVERIFY(!d.findChild<QWidget*>("heightSpin")->isVisibleTo(&d));
        Type(width, "7000");
        QCOMPARE(memory->text(), QString("Well, aren't you going a bit too far?"));
        QCOMPARE(d.NewWidth(), 7000u);
        Type(d.findChild<QLineEdit*>("heightPercent"), "300");
        QCOMPARE(width->text(), QString("300"));
        QCOMPARE(memory->text(), QString("Memory Image Size: 180 kb"));
        // A zero changes nothing.
        Type(width, "0");
        QCOMPARE(d.NewWidth(), 300u);

        d.findChild<QCheckBox*>("preserveRatio")->setChecked(false);
        QVERIFY(d.findChild<QWidget*>("heightSpin")->isVisibleTo(&d));
        Type(width, "150");
        QCOMPARE(height->text(), QString("150"));
        // The pixel spins step within a quarter to twice the size.
        Type(width, "201");
        d.findChild<QWidget*>("widthSpin")->findChild<QToolButton*>("up")->click();
        QCOMPARE(width->text(), QString("200"));
        d.findChild<QWidget*>("widthSpin")->findChild<QToolButton*>("down")->click();
        QCOMPARE(width->text(), QString("199"));
    }

    void imageSizeResizes_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("Bilinear") << 0;
        QTest::newRow("Bicubic") << 1;
    }
    void imageSizeResizes() {
        QFETCH(int, method);
        CTessaryView* view = NewDocument(100, 50, 6);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());
        m_run.app->Store().SetInt("Resize", "type", 1 - method);
        int startMethod = -1;
        test::WhenModal<CResizeImageDlg>([&](CResizeImageDlg* d) {
            startMethod = d->findChild<QComboBox*>("interpolation")->currentIndex();
            d->findChild<QComboBox*>("interpolation")->setCurrentIndex(method);
            Type(d->findChild<QLineEdit*>("widthPercent"), "70");
            d->accept();
        });
        QVERIFY(Frame()->Dispatch(ID_IMAGE_SIZE));
        QCOMPARE(startMethod, 1 - method);
        QCOMPARE(m_run.app->Store().GetInt("Resize", "type", -1), method);
        QCOMPARE(model.WorkingImage().GetWidth(), 70);
        QCOMPARE(model.WorkingImage().GetHeight(), 35);
        QCOMPARE(model.geometry.ImageWidth(), 70);
        QCOMPARE(OriginalWidth(view->Document()->original), 70);
        QCOMPARE(OriginalHeight(view->Document()->original), 35);

        CDIBSection2 expected;
        expected.Create(70, 35, 32, before.HasAlpha());
        if (method == 0)
            ResizeBilinear(before.GetBits(), 100, 50, expected.GetBits(), 70, 35);
        else
            ResizeBicubic(before.GetBits(), 100, 50, expected.GetBits(), 70, 35);
        QVERIFY(Same(model.WorkingImage(), expected));

        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(Same(model.WorkingImage(), before));
        QCOMPARE(OriginalWidth(view->Document()->original), 100);
    }

    void imageSizeCancelledChangesNothing() {
        CTessaryView* view = NewDocument(30, 20);
        CCanvasModel& model = view->Canvas()->Model();
        test::WhenModal<CResizeImageDlg>([](CResizeImageDlg* d) {
            Type(d->findChild<QLineEdit*>("width"), "60");
            d->reject();
        });
        QVERIFY(Frame()->Dispatch(ID_IMAGE_SIZE));
        QCOMPARE(model.WorkingImage().GetWidth(), 30);
        QVERIFY(!model.CanUndo());
    }

private:
    static int CImageCommandsOperation(int command) {
        for (const AdjustOperationInfo& op : AdjustOperations())
            if (op.commandId == command) return op.number;
        return -1;
    }
};

QTEST_MAIN(ImageCommandsTest)
#include "tst_imagecommands.moc"
