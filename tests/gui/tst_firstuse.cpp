// What a user meets first: the changed mark, keys and menus, document windows, the
// main window's placement, typed filter values, the New dialog's refusals and icons.
#include "GuiTestSupport.h"
#include "core/image/ImageFileBuffer.h"
#include "core/tiling/TileWizardModel.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CFilterDlg.h"
#include "gui/filters/CGammaDlg.h"
#include "gui/tiling/CTileWizardDlg.h"
#include "gui/ui/CChildFrame.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/ui/CValueSlider.h"
#include "gui/ui/MenuTable.h"
#include "gui/ui/ToolIcons.h"
#include "gui/ui/WindowPlacement.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QToolBar>
#include <map>
#include <set>

using namespace quiltara;
using namespace quiltara::gui;

class FirstUseTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    CMainFrame* Frame() const { return m_run.Frame(); }

    // A picture file: grain over changing light (it does not wrap), or a finished tile.
    QString WritePicture(const char* name, const CDIBSection2& picture) {
        CImageFileBuffer buffer;
        buffer.Allocate(picture.GetWidth(), picture.GetHeight());
        picture.ExportRGB(buffer.LockRGB());
        buffer.Unlock();
        const std::string path = m_run.folder->File(name);
        buffer.Save(path, 3 /* PNG */);
        return QString::fromStdString(path);
    }
    static void MakePhoto(CDIBSection2& picture, int w, int h) {
        test::MakePatternPicture(picture, w, h, 5);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) picture.PixelAt(x, y)[2] = std::uint8_t(x * 255 / w);
    }
    CChildFrame* ActiveChild() const { return Frame()->ActiveChild(); }

private slots:
    void init() {
        m_run.Start();
        Frame()->show();
    }
    void cleanup() {
        CTessaryDoc::tileWizard = RunTileWizardDialog;
        m_run.Stop();
    }

    // A tile the wizard made is not what the file holds: the title says so and quitting
    // asks, with the desktop's Save / Discard / Cancel.
    void wizardTileIsChangedAndQuittingAsks() {
        CDIBSection2 photo;
        MakePhoto(photo, 300, 240);
        const QString path = WritePicture("Brick.png", photo);
        CTessaryDoc::tileWizard = [](const CDIBSection2& picture, TileWizardOutcome& outcome) {
            CTileWizardModel model(picture, 440, 330);
            model.EnterStep2();
            model.SetEffectMode(kTileEffectMandalay);
            model.Finish();
            model.TakeOutcome(outcome);
            return true;
        };
        CTessaryDoc* doc = m_run.app->OpenDocumentFile(path);
        QVERIFY(doc);
        QVERIFY(doc->IsModified());
        Frame()->UpdateAllActions();
        QCOMPARE(ActiveChild()->windowTitle(), QString("Brick.png[*]"));
        QVERIFY(ActiveChild()->isWindowModified());
        QCOMPARE(Frame()->windowTitle(), QString("Quiltara - Brick.png[*]"));
        QVERIFY(Frame()->isWindowModified());

        QString text;
        QMessageBox::StandardButtons buttons;
        test::WhenModal<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            buttons = box->standardButtons();
            box->button(QMessageBox::Cancel)->click();
        });
        Frame()->Dispatch(ID_APP_EXIT);
        QCOMPARE(text, QString("Save changes to Brick.png?"));
        QCOMPARE(int(buttons), int(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel));
        QCOMPARE(Frame()->MdiArea()->subWindowList().size(), 1); // cancelled: nothing lost
    }

    // A finished tile opened again comes out of the wizard as it went in: framed whole,
    // kept exactly, and unchanged.
    void reopenedTileIsKeptExactlyAndUnchanged() {
        CDIBSection2 photo, tile;
        MakePhoto(photo, 400, 300);
        ComputeTile(photo, {100, 250, 240, 200}, kTileEffectWash, tile); // wraps
        const QString path = WritePicture("tile.png", tile);
        QSize framed;
        test::WhenModal<CTileWizardDlg>([&](CTileWizardDlg* d) {
            framed = QSize(d->Model().TileWidth(), d->Model().TileHeight());
            d->findChild<QPushButton*>("finish")->click();
        });
        CTessaryDoc* doc = m_run.app->OpenDocumentFile(path);
        QVERIFY(doc);
        QCOMPARE(framed, QSize(120, 100));
        const CDIBSection2& working = Frame()->ActiveView()->Canvas()->Model().WorkingImage();
        QImage file(path);
        QCOMPARE(working.GetWidth(), file.width());
        bool same = true;
        for (int y = 0; y < file.height(); ++y)
            for (int x = 0; x < file.width(); ++x) {
                const std::uint8_t* p = working.GetRow(y) + x * 4;
                same = same && file.pixel(x, y) == qRgb(p[2], p[1], p[0]);
            }
        QVERIFY(same);
        QVERIFY(!doc->IsModified());
    }

    // "Gama..." left with Escape, after its slider moved the preview, changes nothing.
    void escapedAdjustmentLeavesTheDocumentUnchanged() {
        CTessaryView* view = test::NewPatternDocument(Frame(), 40, 30);
        QVERIFY(view);
        QVERIFY(!view->Document()->IsModified());
        test::WhenModal<CGammaDlg>([](CGammaDlg* d) {
            d->findChild<QSlider*>("gamma")->setValue(150);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        Frame()->Dispatch(ID_GAMMA);
        QVERIFY(!view->Document()->IsModified());
        Frame()->UpdateAllActions();
        QVERIFY(!ActiveChild()->isWindowModified());
    }

    // Every key of the menu table belongs to one command, the platform's extra keys are
    // there, and every menu title opens from the keyboard with a letter of its own.
    void menuTableKeysAndMnemonicsAreUnique() {
        std::map<QString, QString> owner;
        for (const MenuItem& item : MainMenuItems()) {
            if (!item.shortcut) continue;
            for (const QKeySequence& key : QKeySequence::listFromString(item.shortcut)) {
                const QString k = key.toString(QKeySequence::PortableText);
                QVERIFY2(!key.isEmpty() && key.count() == 1, item.shortcut);
                QVERIFY2(!owner.count(k), qPrintable(k + " twice: " + owner[k] + ", " + item.text));
                owner[k] = item.text;
            }
        }
        QCOMPARE(owner["Ctrl+Shift+Z"], QString("&Redo"));
        QCOMPARE(owner["Ctrl+Y"], QString("&Redo"));
        QCOMPARE(owner["Ctrl+0"], QString("Fit to screen"));
        QCOMPARE(owner["Ctrl+W"], QString("&Close"));
        std::set<QChar> letters;
        for (QAction* menu : Frame()->menuBar()->actions()) {
            const QString title = menu->text();
            const int amp = int(title.indexOf('&'));
            QVERIFY2(amp >= 0 && amp + 1 < title.size() && title.count('&') == 1,
                     qPrintable(title));
            QVERIFY2(letters.insert(title[amp + 1].toLower()).second, qPrintable(title));
        }
    }

    // With documents open no two actions of the window claim one key (the document
    // windows' own menus included), and Ctrl+W closes the active document.
    void ctrlWClosesTheActiveDocument() {
        test::NewPatternDocument(Frame(), 40, 30);
        test::NewPatternDocument(Frame(), 50, 30);
        std::map<QString, int> claims;
        for (QAction* action : Frame()->findChildren<QAction*>())
            for (const QKeySequence& key : action->shortcuts())
                ++claims[key.toString(QKeySequence::PortableText)];
        for (const auto& [key, count] : claims) QVERIFY2(count == 1, qPrintable(key));

        QApplication::setActiveWindow(Frame());
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QWidget* canvas = Frame()->ActiveView()->Canvas();
        canvas->setFocus();
        QTest::keyClick(canvas, Qt::Key_W, Qt::ControlModifier);
        QTest::qWait(1);
        QCOMPARE(Frame()->MdiArea()->subWindowList().size(), 1);
    }

    // Document windows open inside the work area, cascaded; the Window menu lists them
    // with the active one checked, and Ctrl+Tab and Ctrl+Shift+Tab go round them.
    void windowsCascadeAndTheWindowMenuListsThem() {
        for (int i = 0; i < 3; ++i) test::NewPatternDocument(Frame(), 60 + i, 40);
        const QList<QMdiSubWindow*> windows = Frame()->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 3);
        const QRect area = Frame()->MdiArea()->viewport()->rect();
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(area.contains(windows[i]->geometry()), qPrintable(QString::number(i)));
            if (i > 0) QVERIFY(windows[i]->pos().x() > windows[i - 1]->pos().x());
        }
        auto* menu = Frame()->findChild<QMenu*>("&Window");
        QVERIFY(menu);
        auto listed = [&] {
            emit menu->aboutToShow();
            QStringList entries;
            for (QAction* a : menu->actions())
                if (a->objectName().startsWith("window"))
                    entries << (a->isChecked() ? "*" : "") + a->text();
            return entries;
        };
        QCOMPARE(listed(), QStringList({"&1 Tile1", "&2 Tile2", "*&3 Tile3"}));
        Frame()->Dispatch(ID_WINDOW_NEXT);
        QCOMPARE(listed(), QStringList({"*&1 Tile1", "&2 Tile2", "&3 Tile3"}));
        Frame()->Dispatch(ID_WINDOW_PREVIOUS);
        Frame()->Dispatch(ID_WINDOW_PREVIOUS);
        QCOMPARE(listed(), QStringList({"&1 Tile1", "*&2 Tile2", "&3 Tile3"}));
        menu->actions().last()->trigger(); // "&3 Tile3"
        QCOMPARE(ActiveChild()->Document()->Title(), QString("Tile3"));

        QApplication::setActiveWindow(Frame());
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame()->ActiveView()->Canvas(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(ActiveChild()->Document()->Title(), QString("Tile1"));
        QTest::keyClick(Frame()->ActiveView()->Canvas(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ActiveChild()->Document()->Title(), QString("Tile3"));
    }

    void placementArithmetic() {
        const QSize area(800, 500), window(600, 375);
        QCOMPARE(CascadePlace(0, window, area, 24), QPoint(0, 0));
        QCOMPARE(CascadePlace(2, window, area, 24), QPoint(48, 48));
        QCOMPARE(CascadePlace(6, window, area, 24), QPoint(0, 0)); // 125 / 24: five places
        QCOMPARE(CascadePlace(3, QSize(900, 600), area, 24), QPoint(0, 0));
        const QRect screen(0, 0, 1024, 768);
        const struct {
            QRect frame, held;
        } frames[] = {
            {{100, 100, 800, 600}, {100, 100, 800, 600}},
            {{0, 0, 2400, 1600}, {0, 0, 1024, 768}},      // doubled by the scale factor
            {{900, 700, 400, 300}, {624, 468, 400, 300}}, // hanging off the corner
            {{-500, -40, 300, 200}, {0, 0, 300, 200}},
        };
        for (const auto& f : frames) QCOMPARE(HoldInside(f.frame, screen), f.held);
    }

    // A placement saved at another scale or on a larger screen opens on this screen.
    void restoredPlacementStaysOnTheScreen() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QRect saved : {QRect(40, 30, 5000, 4000), QRect(3000, 3000, 600, 400)}) {
            m_run.app->ExitInstance();
            m_run.app->Store().SetInt("Frame", "Status", 0);
            m_run.app->Store().SetInt("Frame", "Left", saved.left());
            m_run.app->Store().SetInt("Frame", "Top", saved.top());
            m_run.app->Store().SetInt("Frame", "Right", saved.right() + 1);
            m_run.app->Store().SetInt("Frame", "Bottom", saved.bottom() + 1);
            QVERIFY(m_run.app->InitInstance());
            QVERIFY(available.contains(Frame()->frameGeometry()));
        }
    }

    // The number beside a filter slider takes a typed value on Return, held to the
    // slider's range, without applying the filter.
    void filterValueBoxesTakeTypedNumbers() {
        CDIBSection2 picture;
        test::MakePatternPicture(picture, 60, 40);
        CMemorySettingsStore store;
        CFilterDlg dialog(2, picture, nullptr, &store); // "Color - Balance": -128 .. 127
        dialog.show();
        auto* box = dialog.findChild<QLineEdit*>("value0");
        const int renders = dialog.PreviewRenders();
        const struct {
            const char* typed;
            int slider;
            const char* shown;
        } cases[] = {{"40", 168, "40"}, {"500", 255, "127"}, {"-300", 0, "-128"}, {"x", 0, "-128"}};
        for (const auto& c : cases) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, c.typed);
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(dialog.Slider(0)->Value(), c.slider);
            QCOMPARE(box->text(), QString(c.shown));
        }
        QVERIFY(dialog.PreviewRenders() > renders);
        QVERIFY(dialog.isVisible()); // Return set the value; it did not apply
    }

    void newRefusesAZeroSizeAndSaysWhy() {
        QString text;
        bool stillOpen = false;
        test::WhenModal<CNewTileSizeDlg>([&](CNewTileSizeDlg* d) {
            d->findChild<QLineEdit*>("width")->setText("0");
            test::AnswerMessageBox(QMessageBox::Ok, &text);
            d->accept();
            stillOpen = d->isVisible();
            d->reject();
        });
        Frame()->Dispatch(ID_FILE_NEW);
        QCOMPARE(text, QString("The Minimum image size is 1x1 pixels."));
        QVERIFY(stillOpen);
        QVERIFY(Frame()->ActiveView() == nullptr);
    }

    // The windows carry the program's icon, and the toolbar's icons are the program's own
    // art, with pixels of their own at double scale (not one pixel blown up to four).
    void iconsAreTheProgramsOwnAtBothScales() {
        test::NewPatternDocument(Frame(), 40, 30);
        const QImage own = ProgramIcon().pixmap(32).toImage();
        QCOMPARE(QApplication::windowIcon().pixmap(32).toImage(), own);
        QCOMPARE(Frame()->windowIcon().pixmap(32).toImage(), own);
        QCOMPARE(ActiveChild()->windowIcon().pixmap(32).toImage(), own);
        auto* bar = Frame()->findChild<QToolBar*>("toolbar");
        for (QAction* action : bar->actions()) {
            if (action->isSeparator() || action->icon().isNull()) continue;
            const int id = action->data().toInt();
            const QPixmap normal = action->icon().pixmap(QSize(22, 22), 1.0);
            const QPixmap doubled = action->icon().pixmap(QSize(22, 22), 2.0);
            QCOMPARE(normal.toImage(), ToolIcon(id).pixmap(QSize(22, 22), 1.0).toImage());
            QCOMPARE(doubled.size(), QSize(44, 44));
        }
    }
};

QTEST_MAIN(FirstUseTest)
#include "tst_firstuse.moc"
