// The application as a user meets it: menus, "&New", settings, tools.
#include "GuiTestSupport.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/ui/CSettingsDlg.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;

namespace {
template <typename T, typename F> void WhenDialogOpens(F action) {
    test::WhenModal<T>(std::function<void(T*)>(action));
}
} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    CMemorySettingsStore* m_store = nullptr;
    std::unique_ptr<CTessaryApp> m_app;

private slots:
    void init() {
        m_folder = std::make_unique<test::TempFolder>();
        std::ofstream(m_folder->File("tmp12345.tmp")) << "left over";
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1); // no first-run help picture in tests
        m_store = store.get();
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        QVERIFY(m_app->InitInstance());
    }
    void cleanup() {
        test::CloseAllWithoutSaving(m_app->MainFrame()->MdiArea());
        m_app->ExitInstance();
        m_app.reset();
        m_folder.reset();
    }

    void startRemovesSwapFilesAndOpensNoDocument() {
        QVERIFY(!std::filesystem::exists(m_folder->File("tmp12345.tmp")));
        QVERIFY(m_app->MainFrame()->ActiveView() == nullptr);
        QCOMPARE(m_app->MainFrame()->ZoomBox()->count(), 11);
        QCOMPARE(m_app->MainFrame()->ZoomBox()->currentText(), QString("100%"));
        QVERIFY(m_app->MainFrame()->MemoryPane()->text().startsWith("Mem:"));
    }

    void menuBarCarriesEveryCommandWithItsIdentifier() {
        CMainFrame* frame = m_app->MainFrame();
        const std::pair<int, const char*> expected[] = {
            {ID_FILE_NEW, "&New"},
            {ID_FILE_OPEN, "&Open..."},
            {32782, "Set  as Original"},
            {32869, "Gaussian Blur"},
            {32870, "Unsharp Mask"},
            {32833, "Boost"},
            {32885, "Thermo Vision"},
            {32832, "Plug-In Manager..."},
            {32894, "Extras Manger..."},
            {32876, "Gama..."},
            {32812, "90 CW"},
            {32889, "Tablet..."},
            {32892, "Select Source..."},
            {32886, "Clone bar"},
        };
        for (const auto& [id, text] : expected) {
            QAction* action = frame->Action(id);
            QVERIFY2(action, text);
            QCOMPARE(action->text(), QString(text));
        }
        // Without a document the view commands are off and "&New" is on.
        frame->UpdateAllActions();
        QVERIFY(frame->Action(ID_FILE_NEW)->isEnabled());
        QVERIFY(!frame->Action(ID_ZOOM_IN)->isEnabled());
    }

    void newMakesTheTileAndShowsItThreeByThree() {
        CMainFrame* frame = m_app->MainFrame();
        WhenDialogOpens<CNewTileSizeDlg>([](CNewTileSizeDlg* d) {
            QCOMPARE(d->findChild<QLineEdit*>("width")->text(), QString("200"));
            d->accept();
        });
        QVERIFY(frame->Dispatch(ID_FILE_NEW));
        CTessaryView* view = frame->ActiveView();
        QVERIFY(view);
        const CDIBSection2& image = view->Canvas()->Model().WorkingImage();
        QCOMPARE(image.GetWidth(), 200);
        QCOMPARE(image.GetHeight(), 200);
        QCOMPARE(int(image.GetRow(100)[0]), 255); // white
        QCOMPARE(int(image.GetRow(100)[3]), 255); // opaque
        // A new document has no Original of its own once the view took its copy.
        QVERIFY(!view->Document()->HasOriginal());
        // The background colour is the canvas colour.
        QCOMPARE(AppState().painting.backColor, MakeColorRef(255, 255, 255));

        // Now the view commands are on and reach the canvas.
        frame->UpdateAllActions();
        QVERIFY(frame->Action(ID_ZOOM_IN)->isEnabled());
        QVERIFY(frame->Dispatch(ID_ZOOM_IN));
        QVERIFY(qAbs(view->Canvas()->Geometry().Zoom() - 1.2) < 1e-9);
        QVERIFY(frame->Dispatch(ID_TILE_BORDER));
        QVERIFY(!view->Canvas()->ShowTileBorder());
        QVERIFY(!frame->QueryState(ID_TILE_BORDER).checked);

        // The zoom box follows, and choosing an entry zooms.
        frame->Dispatch(ID_ORIGINAL_SIZE);
        QCOMPARE(frame->ZoomBox()->currentText(), QString("100%"));
        frame->ZoomBox()->setCurrentIndex(frame->ZoomBox()->findText("300%"));
        emit frame->ZoomBox()->activated(frame->ZoomBox()->currentIndex());
        QCOMPARE(view->Canvas()->Geometry().Zoom(), 3.0);
    }

    void newRefusesMoreThan5000AndKeepsTheDialogOpen() {
        bool messageSeen = false;
        WhenDialogOpens<CNewTileSizeDlg>([&messageSeen](CNewTileSizeDlg* d) {
            d->findChild<QLineEdit*>("width")->setText("5001");
            QString text;
            test::AnswerMessageBox(QMessageBox::Ok, &text);
            d->accept();
            messageSeen =
                text == "The Maximum image size for your free memory is 5000x5000 pixels.";
            QVERIFY(d->isVisible()); // still open after the message
            d->findChild<QLineEdit*>("width")->setText("64");
            d->findChild<QLineEdit*>("height")->setText("32");
            d->accept();
        });
        m_app->MainFrame()->Dispatch(ID_FILE_NEW);
        QVERIFY(messageSeen);
        CTessaryView* view = m_app->MainFrame()->ActiveView();
        QVERIFY(view);
        QCOMPARE(view->Canvas()->Model().WorkingImage().GetWidth(), 64);
        m_app->ExitInstance(); // writes the settings
        QCOMPARE(m_store->GetInt("New", "Width", 0), 64);
        QCOMPARE(m_store->GetInt("New", "Height", 0), 32);
        QVERIFY(m_app->InitInstance());
    }

    void cancelledNewMakesNoDocument() {
        WhenDialogOpens<CNewTileSizeDlg>([](CNewTileSizeDlg* d) { d->reject(); });
        m_app->MainFrame()->Dispatch(ID_FILE_NEW);
        QVERIFY(m_app->MainFrame()->ActiveView() == nullptr);
    }

    void settingsDialogStoresAndWrites() {
        WhenDialogOpens<CSettingsDlg>([](CSettingsDlg* d) {
            d->findChild<QSpinBox*>("undoLevels")->setValue(7);
            d->findChild<QCheckBox*>("showExif")->setChecked(false);
            d->accept();
        });
        m_app->MainFrame()->Dispatch(ID_SETTINGS);
        QCOMPARE(m_store->GetInt("GSettings", "Undo", 0), 7);
        QCOMPARE(m_store->GetInt("GSettings", "ShowExif", 1), 0);
    }

    void statusProgressSitsRightOfItsCaptionAndLeavesReady() {
        QStatusBar* bar = m_app->MainFrame()->statusBar();
        const int paneRight = m_app->MainFrame()->MemoryPane()->x();
        {
            CStatusProgress progress("Loading", 100, 100);
            QCOMPARE(bar->currentMessage(), QString("Loading"));
            QProgressBar* p = progress.Bar();
            QVERIFY(p);
            QCOMPARE(p->maximum(), 100);
            QVERIFY(p->x() > 0);
            QCOMPARE(p->x() + p->width(), paneRight); // P = 100 fills the pane
            progress.SetPos(80);
            QCOMPARE(p->value(), 80);
            CStatusProgress narrow("Saving", 40, 10);
            QVERIFY(narrow.Bar()->width() < p->width());
        }
        QCOMPARE(bar->currentMessage(), QString("Ready"));
        QVERIFY(bar->findChildren<QProgressBar*>().isEmpty());
    }

    void toolCommandsSelectTheCanvasTools() {
        CMainFrame* frame = m_app->MainFrame();
        frame->Dispatch(ID_TOOL_MOVE_CANVAS);
        QCOMPARE(AppState().tools.Current(), int(kToolMoveCanvas));
        frame->Dispatch(ID_TOOL_ZOOM);
        QCOMPARE(AppState().tools.Current(), int(kToolZoom));
        QCOMPARE(AppState().tools.Previous(), int(kToolMoveCanvas));
        QVERIFY(frame->QueryState(ID_TOOL_ZOOM).checked);
        QVERIFY(!frame->QueryState(ID_TOOL_MOVE_CANVAS).checked);
        AppState().ChooseTool(kToolPaintBrush);
    }
};

QTEST_MAIN(MainFrameTest)
#include "tst_mainframe.moc"
