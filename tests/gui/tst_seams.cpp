// The seam meter in the window (status bar, "Show Seams"), "Flatten Light..." on the
// Filters menu and in the tile wizard, and "Export Tiled...": the wiring from the
// commands to the core.
#include "GuiTestSupport.h"
#include "core/filters/FlattenLight.h"
#include "core/image/ImageFileBuffer.h"
#include "core/tiling/TileRepeat.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CFlattenLightDlg.h"
#include "gui/tiling/CExportTiledDlg.h"
#include "gui/tiling/CTileWizardDlg.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QtTest>
#include <random>

using namespace quiltara;
using namespace quiltara::gui;

namespace {

// Grain that wraps; with a step, its right half brighter, so that the wrap shows.
void MakeTile(CDIBSection2& tile, int w, int h, int step) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> grain(100, 120);
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = tile.PixelAt(x, y);
            p[0] = p[1] = p[2] = std::uint8_t(grain(rng) + (x >= w / 2 ? step : 0));
            p[3] = 255;
        }
}

// The picture becomes tile through an edit, as a tool would make it, and the canvas
// says so as a tool does.
void EditTo(CCanvasWnd* canvas, const CDIBSection2& tile) {
    CCanvasEdit edit = canvas->Model().BeginEdit();
    edit.Image().Copy(&tile);
    edit.Commit();
    emit canvas->imageEdited();
}

} // namespace

class SeamsTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;
    CMainFrame* Frame() const { return m_run.Frame(); }

private slots:
    void init() { m_run.Start(); }
    void cleanup() {
        askExportTiledPath = nullptr;
        m_run.Stop();
    }

    void meterFollowsEditsAndUndoIntoTheStatusBar() {
        CTessaryView* view = test::NewPatternDocument(Frame(), 120, 90);
        QVERIFY(view);
        CCanvasWnd* canvas = view->Canvas();
        CDIBSection2 seamed, wrapping;
        MakeTile(seamed, 120, 90, 60);
        MakeTile(wrapping, 120, 90, 0);
        EditTo(canvas, seamed);
        QVERIFY(view->Seams().Scores().leftRight.score > 1);
        QCOMPARE(view->Seams().Scores().topBottom.score, 0.0);
        // The seams at once, the repetition once edits pause.
        view->FlushSeamMeter();
        QVERIFY(view->Seams().Repetition() > 0.5);
        Frame()->UpdateSeamPane();
        const QString text = Frame()->SeamPane()->text();
        QVERIFY2(text.startsWith("Seams ") && text.contains("(L/R ") && text.contains("Repetition"),
                 qPrintable(text));

        EditTo(canvas, wrapping);
        QCOMPARE(view->Seams().Scores().overall.score, 0.0);
        // Undo is a command: the meter follows it.
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(view->Seams().Scores().leftRight.score > 1);
        view->FlushSeamMeter();
        Frame()->UpdateSeamPane();
        QCOMPARE(Frame()->SeamPane()->text(), view->Seams().StatusText());
    }

    void showSeamsHeatsTheSeamBetweenTheCopies() {
        CTessaryView* view = test::NewPatternDocument(Frame(), 60, 50);
        CCanvasWnd* canvas = view->Canvas();
        CDIBSection2 seamed;
        MakeTile(seamed, 60, 50, 80);
        EditTo(canvas, seamed);
        canvas->SetShowTileBorder(false);
        canvas->SetZoom(1.0);
        auto render = [canvas] {
            QImage image(canvas->viewport()->size(), QImage::Format_ARGB32);
            QPainter painter(&image);
            canvas->PaintCanvas(painter, image.rect());
            return image;
        };
        const auto seam = canvas->Geometry().ImageToClient(60, 25);
        const auto inside = canvas->Geometry().ImageToClient(30, 25);
        QVERIFY(QRect(QPoint(), canvas->viewport()->size()).contains(seam.x, seam.y));
        const QImage plain = render();
        QVERIFY(qRed(plain.pixel(seam.x, seam.y)) < 200);

        QVERIFY(Frame()->Dispatch(ID_SHOW_SEAMS));
        QVERIFY(Frame()->QueryState(ID_SHOW_SEAMS).checked);
        QCOMPARE(canvas->SeamOverlay(), &view->Seams());
        const QImage shown = render();
        const QRgb hot = shown.pixel(seam.x, seam.y);
        QVERIFY2(qRed(hot) > 200 && qGreen(hot) < 100,
                 qPrintable(QString::number(hot, 16))); // red: the wrap shows there
        QCOMPARE(shown.pixel(inside.x, inside.y), plain.pixel(inside.x, inside.y));
        // The top/bottom seam wraps: a cool, faint green.
        const auto cool = canvas->Geometry().ImageToClient(15, 50);
        QVERIFY(qGreen(shown.pixel(cool.x, cool.y)) > qRed(shown.pixel(cool.x, cool.y)));

        QVERIFY(Frame()->Dispatch(ID_SHOW_SEAMS));
        QVERIFY(!canvas->SeamOverlay());
    }

    void flattenLightFromTheFiltersMenuTakesAStep() {
        CTessaryView* view = test::NewPatternDocument(Frame(), 96, 64);
        CCanvasModel& model = view->Canvas()->Model();
        CDIBSection2 lit, expected;
        MakeTile(lit, 96, 64, 50);
        EditTo(view->Canvas(), lit);
        int radius = 0;
        test::WhenModal<CFlattenLightDlg>([&radius](CFlattenLightDlg* d) {
            radius = d->findChild<QSpinBox*>("radius")->value();
            d->findChild<QSpinBox*>("radius")->setValue(12);
            d->accept();
        });
        QVERIFY(Frame()->Dispatch(ID_FLATTEN_LIGHT));
        QCOMPARE(radius, 6); // a sixteenth of 96
        expected.Copy(&lit);
        QVERIFY(FlattenLight(expected, {12, FlattenLightMode::Divide}));
        QVERIFY(test::SamePixels(model.WorkingImage(), expected));
        QVERIFY(Frame()->Dispatch(ID_EDIT_UNDO));
        QVERIFY(test::SamePixels(model.WorkingImage(), lit));
        // Cancel changes nothing and takes no step.
        test::WhenModal<CFlattenLightDlg>([](CFlattenLightDlg* d) { d->reject(); });
        QVERIFY(Frame()->Dispatch(ID_FLATTEN_LIGHT));
        QVERIFY(test::SamePixels(model.WorkingImage(), lit));
    }

    void exportTiledWritesTheSheetAndRemembersTheChoice() {
        CTessaryView* view = test::NewPatternDocument(Frame(), 40, 30);
        const QString path = QString::fromStdString(m_run.folder->File("sheet.png"));
        QString offered;
        askExportTiledPath = [&](const QString& start) {
            offered = start;
            return path;
        };
        test::WhenModal<CExportTiledDlg>([](CExportTiledDlg* d) {
            d->findChild<QSpinBox*>("across")->setValue(3);
            d->findChild<QSpinBox*>("down")->setValue(2);
            d->findChild<QCheckBox*>("offsetHalf")->setChecked(true);
            QCOMPARE(d->findChild<QLabel*>("sheetSize")->text(), QString("Sheet: 120 x 60 pixels"));
            d->accept();
        });
        QVERIFY(Frame()->Dispatch(ID_EXPORT_TILED));
        QVERIFY(offered.endsWith("-tiled.png"));
        CImageFileBuffer buffer;
        QCOMPARE(buffer.Load(path.toStdString()), 0u);
        CDIBSection2 written, expected;
        written.ImportRGB(buffer.LockRGB(), buffer.Width(), buffer.Height(), 255);
        buffer.Unlock();
        QCOMPARE(RepeatTile(view->Canvas()->Model().WorkingImage(), 3, 2, true, expected),
                 RepeatResult::Done);
        expected.SetAlpha(255);
        QVERIFY(test::SamePixels(written, expected));
        // The next export starts where this one left off.
        int across = 0;
        bool offset = false;
        test::WhenModal<CExportTiledDlg>([&](CExportTiledDlg* d) {
            across = d->Across();
            offset = d->OffsetHalf();
            d->reject();
        });
        QVERIFY(Frame()->Dispatch(ID_EXPORT_TILED));
        QCOMPARE(across, 3);
        QVERIFY(offset);
    }

    void wizardFlattensTheTileWhenTicked() {
        CDIBSection2 picture;
        MakeTile(picture, 400, 300, 40);
        CTileWizardDlg dialog(picture);
        dialog.OnNextOrBack();
        auto* box = dialog.findChild<QCheckBox*>("flattenLight");
        QVERIFY(box);
        CDIBSection2 before;
        before.Copy(&dialog.Model().ResultTile());
        box->click();
        QVERIFY(dialog.Model().FlattenLightOn());
        QVERIFY(!test::SamePixels(before, dialog.Model().ResultTile()));
    }
};

QTEST_MAIN(SeamsTest)
#include "tst_seams.moc"
