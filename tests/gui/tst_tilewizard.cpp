// The tile preparation wizard on the way from a file to a document.
#include "GuiTestSupport.h"
#include "core/image/ImageFileBuffer.h"
#include "core/tiling/TileEffects.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CFilterDlg.h"
#include "gui/tiling/CTilePreviewWnd.h"
#include "gui/tiling/CTileWizardDlg.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cstring>

using namespace quiltara;
using namespace quiltara::gui;

class TileWizardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    std::unique_ptr<CTessaryApp> m_app;
    CDIBSection2 m_picture; // what the written file holds, as the document loads it

    CMainFrame* Frame() { return m_app->MainFrame(); }

    // A photograph: grain over light that changes across it, so that its edges do not
    // meet (a picture that already wraps opens framed whole).
    static void MakePhoto(CDIBSection2& picture, int w, int h, std::uint32_t seed) {
        test::MakePatternPicture(picture, w, h, seed);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                picture.PixelAt(x, y)[1] = std::uint8_t(y * 255 / h);
                picture.PixelAt(x, y)[2] = std::uint8_t(x * 255 / w);
            }
    }

    QString WritePhoto(int w, int h) {
        MakePhoto(m_picture, w, h, 31);
        m_picture.SetAlpha(0); // the open routine imports with alpha 0
        CImageFileBuffer buffer;
        buffer.Allocate(w, h);
        m_picture.ExportRGB(buffer.LockRGB());
        buffer.Unlock();
        const std::string path = m_folder->File("photo.png");
        buffer.Save(path, 3 /* PNG */);
        return QString::fromStdString(path);
    }

    template <typename T> static T* Child(QWidget* dialog, const char* name) {
        T* child = dialog->findChild<T*>(name);
        if (!child) qWarning("no child %s", name);
        return child;
    }

    static bool SameColours(const CDIBSection2& a, const CDIBSection2& b) {
        if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
        for (int y = 0; y < a.GetHeight(); ++y)
            for (int x = 0; x < a.GetWidth(); ++x)
                if (std::memcmp(a.PixelAt(x, y), b.PixelAt(x, y), 3) != 0) return false;
        return true;
    }

private slots:
    void init() {
        m_folder = std::make_unique<test::TempFolder>();
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        m_app->InitInstance();
        CTessaryDoc::tileWizard = RunTileWizardDialog;
    }
    void cleanup() {
        test::CloseAllWithoutSaving(Frame()->MdiArea());
        m_app->ExitInstance();
        m_app.reset();
        m_folder.reset();
    }

    void walkingBothStepsGivesTheTileAndItsSurroundings() {
        const QString path = WritePhoto(500, 400);
        QString firstTitle, secondTitle, backText, tileLabel, actualLabel;
        QPoint moved;
        test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
            firstTitle = d->windowTitle();
            // Drag the picture 20 right and 10 down under the frame.
            CTilePreviewWnd* preview = d->Preview();
            QTest::mousePress(preview, Qt::LeftButton, {}, QPoint(100, 100));
            QTest::mouseMove(preview, QPoint(110, 104));
            QTest::mouseMove(preview, QPoint(120, 110));
            QTest::mouseRelease(preview, Qt::LeftButton, {}, QPoint(120, 110));
            moved = QPoint(d->Model().PictureX(), d->Model().PictureY());
            Child<QPushButton>(d, "next")->click();
            secondTitle = d->windowTitle();
            backText = Child<QPushButton>(d, "next")->text();
            Child<QSlider>(d, "sizeSlider")->setValue(240);
            Child<QSlider>(d, "aspectSlider")->setValue(150); // ratio 1.1
            Child<QRadioButton>(d, "effect3")->click();       // "H/V Wash"
            tileLabel = Child<QLabel>(d, "tileSize")->text();
            actualLabel = Child<QLabel>(d, "actualSize")->text();
            Child<QPushButton>(d, "finish")->click();
        });
        CTessaryDoc* doc = m_app->OpenDocumentFile(path);
        QVERIFY(doc);
        QCOMPARE(firstTitle, QString("Tile Preparation: Step 1"));
        QCOMPARE(secondTitle, QString("Tile Preparation: Step 2 - Fine Tuning"));
        QCOMPARE(backText, QString("< Back"));
        // Centred 500 x 400 in the 440 x 330 preview: (-30, -35), then dragged.
        QCOMPARE(moved, QPoint(-10, -25));
        QCOMPARE(tileLabel, QString("Tile Size: 240 x 264"));
        QCOMPARE(actualLabel, QString("Actual Tile Size: 120 x 132"));

        // Frame 240 x 264: the wash reads 264 / 2 rows above the frame, so the picture
        // moved down until they lie on it: top buffer row 400 - 132 = 268, left 110.
        CDIBSection2 expected;
        ComputeTile(m_picture, {110, 268, 240, 264}, kTileEffectWash, expected);
        const CDIBSection2& working = Frame()->ActiveView()->Canvas()->Model().WorkingImage();
        QVERIFY(SameColours(working, expected));
        QVERIFY(doc->HasOriginal());
        // Surroundings: columns 110 - 120 .. 110 + 240, buffer rows 4 - 132 .. 4 + 264,
        // both clipped at 0.
        QCOMPARE(doc->surroundingsImage.GetWidth(), 350);
        QCOMPARE(doc->surroundingsImage.GetHeight(), 268);
        QCOMPARE(doc->tileOffsetX, 110);
        QCOMPARE(doc->tileOffsetY, 4);
        QCOMPARE(0,
                 std::memcmp(doc->surroundingsImage.PixelAt(110, 4), m_picture.PixelAt(110, 4), 4));
    }

    void cancelOpensNothingAndSaysNothing() {
        const QString path = WritePhoto(64, 48);
        bool sawWizard = false;
        test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
            sawWizard = true;
            Child<QPushButton>(d, "cancel")->click();
        });
        QVERIFY(!m_app->OpenDocumentFile(path));
        QVERIFY(sawWizard);
        QTest::qWait(50);
        QVERIFY(QApplication::activeModalWidget() == nullptr); // no message box
        QCOMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
        QVERIFY(m_app->RecentFiles().isEmpty());
    }

    void typedSizeWaitsAndWholeImageTakesIt() {
        const QString path = WritePhoto(500, 400);
        QString percent, selected;
        bool applyBefore = true, applyAfter = false, sharpenAfter = true;
        test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
            auto* width = Child<QLineEdit>(d, "sourceWidth");
            applyBefore = Child<QPushButton>(d, "applySize")->isEnabled();
            width->selectAll();
            QTest::keyClicks(width, "0");
            selected = width->selectedText(); // a zero is selected for correction
            width->selectAll();
            QTest::keyClicks(width, "250");
            percent = Child<QLineEdit>(d, "sourcePercent")->text();
            applyAfter = Child<QPushButton>(d, "applySize")->isEnabled();
            sharpenAfter = Child<QPushButton>(d, "sharpen")->isEnabled();
            Child<QPushButton>(d, "useWholeImage")->click();
        });
        CTessaryDoc* doc = m_app->OpenDocumentFile(path);
        QVERIFY(doc);
        QVERIFY(!applyBefore);
        QCOMPARE(selected, QString("0"));
        QCOMPARE(percent, QString("50"));
        QVERIFY(applyAfter);
        QVERIFY(!sharpenAfter);
        // The waiting size was applied: the whole picture at 250 x 400, no surroundings.
        const CDIBSection2& working = Frame()->ActiveView()->Canvas()->Model().WorkingImage();
        QCOMPARE(working.GetWidth(), 250);
        QCOMPARE(working.GetHeight(), 400);
        QVERIFY(doc->surroundingsImage.IsEmpty());
        QCOMPARE(doc->tileOffsetX, 0);
    }

    void applySharpenPitchAndBack() {
        const QString path = WritePhoto(300, 200);
        bool sharpened = false, pitchEnabled = false, pitchDoneDisabled = false;
        QSize turned;
        QString tileField, backTitle, filterTitle;
        test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
            CTileWizardModel& m = d->Model();
            auto* percent = Child<QLineEdit>(d, "sourcePercent");
            percent->selectAll();
            QTest::keyClicks(percent, "50");
            Child<QPushButton>(d, "applySize")->click();
            CDIBSection2 before;
            before.Copy(&m.WorkingSource());
            // "Sharpen" opens the filter dialog with the unsharp mask chosen.
            test::WhenModal<CFilterDlg>([&](CFilterDlg* f) {
                filterTitle = f->windowTitle();
                f->findChild<QPushButton*>("apply")->click();
            });
            Child<QPushButton>(d, "sharpen")->click();
            sharpened = !test::SamePixels(before, m.WorkingSource());
            Child<QPushButton>(d, "next")->click();
            auto* angle = Child<QLineEdit>(d, "pitchAngle");
            angle->selectAll();
            QTest::keyClicks(angle, "-90");
            pitchEnabled = Child<QPushButton>(d, "applyPitch")->isEnabled();
            Child<QPushButton>(d, "applyPitch")->click();
            pitchDoneDisabled = !Child<QPushButton>(d, "applyPitch")->isEnabled();
            turned = QSize(m.WorkingSource().GetWidth(), m.WorkingSource().GetHeight());
            Child<QSlider>(d, "sizeSlider")->setValue(120);
            Child<QPushButton>(d, "next")->click(); // "< Back"
            backTitle = d->windowTitle();
            tileField = Child<QLineEdit>(d, "tileWidth")->text();
            Child<QPushButton>(d, "cancel")->click();
        });
        QVERIFY(!m_app->OpenDocumentFile(path));
        QCOMPARE(filterTitle, QString("Unsharp mask"));
        QVERIFY(sharpened);
        QVERIFY(pitchEnabled);
        QVERIFY(pitchDoneDisabled);
        QCOMPARE(turned, QSize(100, 150)); // 150 x 100 turned a quarter
        QCOMPARE(backTitle, QString("Tile Preparation: Step 1"));
        QCOMPARE(tileField, QString("100")); // 120 asked, held to the turned width
    }

    void previewInvertsTheFrameAndRepeatsTheTile() {
        CDIBSection2 picture;
        MakePhoto(picture, 600, 500, 4);
        CTileWizardDlg dialog(picture);
        CTileWizardModel& m = dialog.Model();
        QImage step1 = dialog.Preview()->Render();
        // The picture's pixel under the frame's top-left corner, drawn inverted.
        const int fx = m.FrameX(), fy = m.FrameY();
        const int px = fx - m.PictureX(), py = fy - m.PictureY(); // picture column and row
        const std::uint8_t* p = picture.GetRow(py) + (px + 5) * 4;
        QCOMPARE(step1.pixel(fx + 5, fy), qRgb(255 - p[2], 255 - p[1], 255 - p[0]));
        QCOMPARE(step1.pixel(fx + 5, fy - 1), qRgb(255, 255, 255)); // white just outside
        const std::uint8_t* inside = picture.GetRow(py + 5) + (px + 5) * 4;
        QCOMPARE(step1.pixel(fx + 5, fy + 5), qRgb(inside[2], inside[1], inside[0]));

        dialog.OnNextOrBack();
        m.SetSliders(100, 100);
        const QImage step2 = dialog.Preview()->Render();
        const CDIBSection2& tile = m.ResultTile();
        QCOMPARE(tile.GetWidth(), 100);
        // One copy where the frame is, and the next one a tile further on.
        const int tx = (CTilePreviewWnd::kWidth - 100) / 2,
                  ty = (CTilePreviewWnd::kHeight - 100) / 2;
        for (int k : {0, 1}) {
            const std::uint8_t* t = tile.GetRow(3) + 7 * 4;
            QCOMPARE(step2.pixel(tx + 7 + k * 100, ty + 3), qRgb(t[2], t[1], t[0]));
        }
        QCOMPARE(step2.pixel(tx + 7 - 100, ty + 3 + 100), step2.pixel(tx + 7, ty + 3));
    }

    void reloadShowsTheWizardAndCancelKeepsTheCanvas() {
        const QString path = WritePhoto(80, 60);
        CTessaryDoc::tileWizard = test::KeepWholeImage;
        QVERIFY(m_app->OpenDocumentFile(path));
        CCanvasModel& model = Frame()->ActiveView()->Canvas()->Model();
        model.WorkingImage().FillOpaque(MakeColorRef(1, 2, 3));
        CTessaryDoc::tileWizard = RunTileWizardDialog;
        bool sawWizard = false;
        test::AnswerMessageBox(QMessageBox::Yes);
        QTimer::singleShot(0, [&] {
            test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
                sawWizard = true;
                d->reject();
            });
        });
        QVERIFY(Frame()->Dispatch(ID_RELOAD));
        QVERIFY(sawWizard);
        QTest::qWait(50);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(model.WorkingImage().PixelAt(3, 3)[2], std::uint8_t(1));
    }
};

QTEST_MAIN(TileWizardTest)
#include "tst_tilewizard.moc"
