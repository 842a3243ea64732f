// The "Color & Texture" bar, the brush bar and their dialogs as the main window wires them.
#include "GuiTestSupport.h"
#include "core/base/ControlMath.h"
#include "core/base/ProgramFolders.h"
#include "core/base/SettingsStore.h"
#include "core/paint/BrushLibrary.h"
#include "core/paint/DefaultBrushes.h"
#include "core/paint/ImageHose.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/paint/CBrushPanel.h"
#include "gui/paint/CBrushPropertiesDlg.h"
#include "gui/paint/CColorTexturePanel.h"
#include "gui/paint/CImageHoseDlg.h"
#include "gui/tiling/CAutoTextureDlg.h"
#include "gui/ui/CColorPicker.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CSliderButton.h"
#include "gui/ui/CValueSlider.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/PspFileWriter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;

class ColorBrushTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    static QPoint Client(const CCanvasWnd* canvas, int x, int y) {
        const auto p = canvas->Geometry().ImageToClient(x, y);
        return {p.x, p.y};
    }

private slots:
    void init() {
        m_run.Start();
        // The brush libraries of a fresh program folder, loaded as at start.
        QVERIFY(WriteDefaultLibraries(ProgramFolders().brushes));
        CMemorySettingsStore store;
        AppState().tools.LoadLibraries(ProgramFolders().brushes, store, AppState().painting);
        QVERIFY(m_run.app->SelectTool(kToolPaintBrush));
    }
    void cleanup() {
        askImageHosePath = nullptr;
        m_run.Stop();
    }

    void colourChoicesRecolourTheBrush() {
        CMainFrame* frame = m_run.Frame();
        CColorTexturePanel* panel = frame->ColorTexturePanel();
        CColorPicker* picker = panel->Picker();
        picker->resize(222, 52);
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(120, 20));
        const ColorRef picked = picker->Layout().PickAt(120, 20);
        QCOMPARE(AppState().painting.foreColor, picked);
        QCOMPARE(AppState().painting.brush.color, picked);
        // Right button: the background.
        QTest::mouseClick(picker, Qt::RightButton, {}, QPoint(40, 40));
        QCOMPARE(AppState().painting.backColor, picker->Layout().PickAt(40, 40));

        // Color Pick on the canvas: the bar shows the picked colour.
        CTessaryView* view = test::NewPatternDocument(frame, 40, 30);
        QVERIFY(view);
        QVERIFY(m_run.app->SelectTool(kToolColorPick));
        CCanvasWnd* canvas = view->Canvas();
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 5, 5));
        QVERIFY(AppState().painting.foreColor != picked);
        QCOMPARE(picker->ForeColor(), AppState().painting.foreColor);
        QCOMPARE(AppState().tools.Current(), int(kToolPaintBrush));

        // The clone strip and the Tools menu are one choice.
        frame->Dispatch(ID_CLONE_TEXTURE);
        QCOMPARE(AppState().painting.cloneSourceKind, int(kCloneTexture));
        frame->UpdateAllActions();
        QVERIFY(frame->Action(ID_CLONE_TEXTURE)->isChecked());
        frame->Action(ID_CLONE_NONE)->trigger();
        QCOMPARE(AppState().painting.cloneSourceKind, int(kCloneNone));
    }

    void textureListAndTexturePick() {
        CMainFrame* frame = m_run.Frame();
        CColorTexturePanel* panel = frame->ColorTexturePanel();
        QComboBox* list = panel->TextureList();
        QCOMPARE(list->itemText(0), QString("No Texture.bmp"));
        QCOMPARE(list->itemText(list->count() - 1), QString("Custom Texture"));

        CTessaryView* view = test::NewPatternDocument(frame, 120, 90);
        QVERIFY(view);
        QVERIFY(m_run.app->SelectTool(kToolTexturePick));
        CCanvasWnd* canvas = view->Canvas();
        int width = 0;
        test::WhenModal<CAutoTextureDlg>([&width](CAutoTextureDlg* d) {
            width = AppState().painting.customTexture.GetWidth();
            d->SizeSlider()->SetValue(40);
            d->MakeTexture();
            d->reject();
        });
        QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 60, 40));
        QCOMPARE(width, 50); // size 100 makes a 50-pixel texture
        QCOMPARE(AppState().painting.customTexture.GetWidth(), 20);
        QCOMPARE(list->currentText(), QString("Custom Texture"));
        QVERIFY(AppState().painting.textureDefined);
        QCOMPARE(AppState().painting.texture.GetWidth(), 20);
        QCOMPARE(AppState().tools.Current(), int(kToolPaintBrush)); // the previous tool

        // Saving it twice writes two files, never overwriting.
        for (const char* expected : {"MyTexture.png", "MyTexture1.png"}) {
            test::WhenModal<QInputDialog>([](QInputDialog* d) { d->accept(); });
            panel->SaveCustomTexture();
            QVERIFY(QFile::exists(QString::fromStdString(ProgramFolders().textures) + expected));
            QCOMPARE(list->currentText(), QString(expected));
        }
    }

    void gridSelectsAndPropertiesRoundTrip() {
        CBrushPanel* panel = m_run.Frame()->BrushPanel();
        CBrushGrid* grid = panel->Grid();
        grid->resize(3 * CBrushGrid::kCell, 2 * CBrushGrid::kCell);
        CBrushLibrary& library = AppState().tools.Library(AppState().tools.ActiveLibrary());
        QVERIFY(library.Count() > 4);
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          QPoint(CBrushGrid::kCell + 5, CBrushGrid::kCell + 5));
        const int clicked = grid->Columns() + 1;
        QCOMPARE(AppState().tools.Selection(AppState().tools.ActiveLibrary()), clicked);
        QCOMPARE(AppState().painting.brush.name, library.At(clicked)->name);
        QCOMPARE(panel->NameLabel()->text(), QString::fromStdString(library.At(clicked)->name));

        test::WhenModal<CBrushPropertiesDlg>([](CBrushPropertiesDlg* d) {
            d->NameField()->setText("Edited");
            d->SizeSlider()->setValue(33);
            d->SpacingSlider()->setValue(40);
            d->accept();
        });
        panel->EditBrush();
        const CBrush* edited = library.At(clicked);
        QCOMPARE(edited->name, std::string("Edited"));
        QCOMPARE(edited->size, 33);
        QCOMPARE(edited->spacing, 0.4);
        QCOMPARE(AppState().painting.brush.size, 33);
        // Saved to its file: a restart reads the same brush, byte for byte.
        CBrushLibrary again;
        QVERIFY(again.Load(library.Path()).ok);
        QVERIFY(again.Serialize() == library.Serialize());
        QCOMPARE(again.At(clicked)->name, std::string("Edited"));
    }

    // "Settings" of an "Image Hose" brush opens its editor: a film strip, a removed frame,
    // a tube without tube data cut as answered, a saved frame; OK gives the brush its
    // frames and distribution, and the Image Nozzle paints with them.
    void imageHoseEditorAndNozzle() {
        const std::string strip = m_run.folder->File("strip.png");
        const std::string tube = m_run.folder->File("plain.psp");
        const std::string saved = m_run.folder->File("frame.png");
        CDIBSection2 red;
        red.Create(12, 8, 32, true);
        red.FillOpaque(MakeColorRef(255, 0, 0));
        std::string message;
        QCOMPARE(SaveHoseFrame(red, strip, message), 0u);
        test::PspFileWriter w(5, 0);
        w.AddGeneralAttributes(20, 6, 1);
        w.AddLayers({test::ColourLayer(0, 0, 20, 6, 255, 0, 0)});
        const test::Bytes bytes = w.File();
        std::ofstream(tube, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::string next;
        askImageHosePath = [&](const QString&, const QStringList&, bool) {
            return QString::fromStdString(next);
        };

        CBrush hose;
        hose.type = kBrushImageHose;
        CBrushPropertiesDlg properties(hose);
        QPushButton* settings = nullptr;
        for (QPushButton* b : properties.findChildren<QPushButton*>())
            if (b->text() == "Settings") settings = b;
        QVERIFY(settings && settings->isEnabled());
        bool edited = false;
        test::WhenModal<CImageHoseDlg>([&](CImageHoseDlg* d) {
            QListWidget* list = d->FrameList();
            next = strip;
            d->findChild<QPushButton*>("FilmStrip")->click();
            QCOMPARE(list->count(), 12);
            QCOMPARE(list->item(11)->text(), QString("Image 12"));
            QCOMPARE(d->Selected(), 11);
            d->findChild<QPushButton*>("Remove")->click();
            QCOMPARE(list->count(), 11);
            QCOMPARE(d->Selected(), 10);
            d->ShowInfo()->setChecked(true);
            next = tube;
            test::WhenModal<CTubeCellsDlg>([](CTubeCellsDlg* c) {
                c->AcrossBox()->setValue(2);
                c->accept();
            });
            QString info;
            test::AnswerMessageBox(QMessageBox::Ok, &info);
            d->findChild<QPushButton*>("Import")->click();
            QCOMPARE(list->count(), 13);
            QVERIFY(info.contains("Selection mode: random"));
            QCOMPARE(d->Brush().hoseFrames.back().GetWidth(), 10);
            next = saved;
            d->findChild<QPushButton*>("SaveImage")->click();
            QVERIFY(QFile::exists(QString::fromStdString(saved)));
            d->Distribution()->button(kHoseRandom)->click();
            edited = true;
            d->accept();
        });
        settings->click();
        QVERIFY(edited);
        properties.accept();
        const CBrush& brush = properties.Brush();
        QCOMPARE(int(brush.hoseFrames.size()), 13);
        QCOMPARE(brush.hoseMode, int(kHoseRandom));
        QCOMPARE(brush.mask.GetWidth(), 10); // the widest and the tallest frame
        QCOMPARE(brush.mask.GetHeight(), 8);
        QCOMPARE(m_run.app->Store().GetInt(kHoseSettingsSection, kHoseShowInfoValue, 0), 1);

        CTessaryView* view = test::NewPatternDocument(m_run.Frame(), 60, 40);
        QVERIFY(view);
        QVERIFY(m_run.app->SelectTool(kToolImageNozzle));
        AppState().painting.SelectBrush(brush);
        CCanvasWnd* canvas = view->Canvas();
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 20, 20));
        QTest::mouseMove(canvas->viewport(), Client(canvas, 30, 20));
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, Client(canvas, 30, 20));
        const CDIBSection2& image = canvas->Model().WorkingImage();
        for (int x : {20, 30}) { // dab centres
            const std::uint8_t* p = image.GetRow(20) + x * 4;
            QCOMPARE(int(p[2]) * 1000 + p[1] * 10 + p[0], 255000);
        }
    }

    void sliderButtonWritesItsBuddy() {
        QLineEdit field;
        CSliderButton button;
        button.SetRange(&field, 100, 1200, true);
        button.SetStep(100);
        button.SetPosition(50);
        QCOMPARE(field.text(), QString("700"));
        field.setText("5000");
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(button.Position(), 100); // the nearer end
        QVERIFY(button.Popup());
        QTest::mouseRelease(&button, Qt::LeftButton);
        QVERIFY(!button.Popup());
    }
};

QTEST_MAIN(ColorBrushTest)
#include "tst_colorbrush.moc"
