// The floating panels as the main window wires them: View menu toggles, the title
// strip's buttons, dragging, and what a restart brings back.
#include "core/base/PanelGeometry.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/app/QtSettingsStore.h"
#include "gui/ui/CBubble.h"
#include "gui/ui/CInitDialogBar.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CSplashWnd.h"
#include "gui/ui/CToolBarEx.h"
#include "gui/ui/WindowPlacement.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDockWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

namespace {
constexpr int kViewCommands[kPanelCount] = {ID_VIEW_COLOR_BAR, ID_VIEW_BRUSHES, ID_VIEW_TOOLS,
                                            ID_VIEW_STAMP_BAR, ID_VIEW_RETOUCH, ID_VIEW_EFFECTS,
                                            ID_VIEW_CLONE_BAR};

void SendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
} // namespace

class PanelsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    std::unique_ptr<CTessaryApp> m_app;

    // The program with its settings in an INI file of the test's folder, so that a
    // restart reads what the last run wrote.
    void Start() {
        if (!m_folder) m_folder = std::make_unique<test::TempFolder>();
        auto store = std::make_unique<CQtSettingsStore>(
            QString::fromStdString(m_folder->File("Quiltara.ini")));
        store->SetInt("AppWin", "Run", 1);
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        QVERIFY(m_app->InitInstance());
        Frame()->show();
    }
    void Stop() {
        m_app->ExitInstance();
        m_app.reset();
    }
    CMainFrame* Frame() const { return m_app->MainFrame(); }
    QRect WorkArea() const { return Frame()->screen()->availableGeometry(); }

private slots:
    void cleanup() {
        if (m_app) Stop();
        m_folder.reset();
        qunsetenv("QUILTARA_DOCKED_PANELS");
    }

    // Each View command shows its panel when hidden and hides it when shown, with the
    // menu's check mark following; the panels are tool windows of the frame.
    void viewCommandsToggleWithCheckMarks() {
        Start();
        for (int i = 0; i < kPanelCount; ++i) {
            CInitDialogBar* panel = Frame()->Panel(i);
            QVERIFY(panel->isWindow());
            QCOMPARE(panel->parentWidget(), Frame());
            const bool before = i < kPanelStamp; // the four tool panels start hidden
            QCOMPARE(panel->IsShown(), before);
            QCOMPARE(panel->isVisible(), before);
            for (bool expected : {!before, before}) {
                QVERIFY(Frame()->Dispatch(kViewCommands[i]));
                Frame()->UpdateAllActions();
                QCOMPARE(panel->isVisible(), expected);
                QCOMPARE(Frame()->Action(kViewCommands[i])->isChecked(), expected);
            }
        }
        // Hiding the frame takes the panels with it, and they come back with it.
        Frame()->hide();
        QVERIFY(!Frame()->Panel(kPanelTools)->isVisible());
        Frame()->show();
        QVERIFY(Frame()->Panel(kPanelTools)->isVisible());
    }

    // Collapse and close from the strip, a drag that lands on the work area's edge, and
    // a restart that brings back what was left.
    void stripDragAndRestart() {
        Start();
        CInitDialogBar* colour = Frame()->Panel(kPanelColor);
        CInitDialogBar* tools = Frame()->Panel(kPanelTools);
        CInitDialogBar* brushes = Frame()->Panel(kPanelBrushes);
        const int fullHeight = colour->height();
        SendMouse(colour, QEvent::MouseButtonPress, {105, 10}, Qt::LeftButton);
        QVERIFY(colour->Small());
        QCOMPARE(colour->height(), kPanelStripHeight);
        SendMouse(brushes, QEvent::MouseButtonPress, {120, 10}, Qt::LeftButton);
        QVERIFY(!brushes->IsShown());
        Frame()->UpdateAllActions();
        QVERIFY(!Frame()->Action(ID_VIEW_BRUSHES)->isChecked());

        // Dragged by its background to 5 pixels from the work area's left edge.
        const QPoint start = tools->pos();
        const QPoint grip(tools->width() / 2, tools->height() - 3);
        SendMouse(tools, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        const int dx = WorkArea().left() + 5 - start.x();
        const int dy = 300 - start.y();
        SendMouse(tools, QEvent::MouseMove, grip + QPoint(dx, dy), Qt::LeftButton);
        SendMouse(tools, QEvent::MouseButtonRelease, grip + QPoint(dx, dy), Qt::NoButton);
        QCOMPARE(tools->pos(), QPoint(WorkArea().left(), 300));

        Frame()->ShowStampPanel(true); // a tool panel left open still restarts hidden
        Stop();
        Start();
        colour = Frame()->Panel(kPanelColor);
        QVERIFY(colour->Small());
        QCOMPARE(colour->height(), kPanelStripHeight);
        QVERIFY(colour->IsShown());
        QVERIFY(!Frame()->Panel(kPanelBrushes)->IsShown());
        QVERIFY(!Frame()->Panel(kPanelStamp)->IsShown());
        QCOMPARE(Frame()->Panel(kPanelTools)->pos(), QPoint(WorkArea().left(), 300));
        // Expanding again gives the full height back.
        colour->ToggleSmall();
        QCOMPARE(colour->height(), fullHeight);
    }

    // The strip's buttons explain themselves in a balloon; the start-up picture goes at
    // the first key pressed anywhere.
    void stripBalloonAndSplash() {
        Start();
        CInitDialogBar* colour = Frame()->Panel(kPanelColor);
        SendMouse(colour, QEvent::MouseMove, {120, 10}, Qt::NoButton);
        CBubble* bubble = colour->findChild<CBubble*>();
        QVERIFY(bubble);
        QTRY_VERIFY(bubble->isVisible());
        QCOMPARE(bubble->Text(), QString("Close"));
        SendMouse(colour, QEvent::MouseMove, {50, 60}, Qt::NoButton);
        QVERIFY(!bubble->isVisible());

        QPointer<CSplashWnd> splash = CSplashWnd::ShowSplash(Frame());
        QVERIFY(splash->isVisible());
        QTest::keyClick(Frame(), Qt::Key_Shift);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash); // gone at the key, long before its own 750 ms
    }

    // The toolbar follows the button under the mouse; disabled commands stay flat.
    void toolbarFollowsTheHotButton() {
        Start();
        CToolBarEx* bar = Frame()->ToolBar();
        Frame()->UpdateAllActions(); // no picture: the zoom commands are off
        QAction* zoomIn = Frame()->Action(ID_ZOOM_IN);
        QAction* open = Frame()->Action(ID_FILE_OPEN);
        QVERIFY(!zoomIn->isEnabled());
        QVERIFY(open->isEnabled());
        SendMouse(bar->widgetForAction(open), QEvent::MouseMove, {5, 5}, Qt::NoButton);
        QCOMPARE(bar->HotAction(), open);
        SendMouse(bar->widgetForAction(zoomIn), QEvent::MouseMove, {5, 5}, Qt::NoButton);
        QCOMPARE(bar->HotAction(), nullptr);
    }

    // A panel saved off the screen comes back where it can be grabbed.
    void restoreHoldsPanelsOnTheScreen() {
        m_folder = std::make_unique<test::TempFolder>();
        {
            CQtSettingsStore store(QString::fromStdString(m_folder->File("Quiltara.ini")));
            store.SetInt("PosColor", "Left", -50);
            store.SetInt("PosColor", "Top", 100);
            store.SetInt("PosColor", "Right", 80);
            store.SetInt("PosColor", "Bottom", 300);
            store.SetInt("PosTools", "Left", 100000);
            store.SetInt("PosTools", "Top", 120);
            store.SetInt("PosTools", "Right", 100130);
            store.SetInt("PosTools", "Bottom", 400);
            store.Flush();
        }
        Start();
        QCOMPARE(Frame()->Panel(kPanelColor)->pos(), QPoint(WorkArea().left(), 100));
        QCOMPARE(Frame()->Panel(kPanelTools)->pos(),
                 QPoint(WorkArea().left() + WorkArea().width() - 40, 120));
    }

    // A new document window opens between the panels floating over the sides.
    void documentWindowsOpenBetweenThePanels() {
        const QRect area(0, 0, 1200, 700);
        struct Case {
            const char* what;
            std::vector<QRect> covers;
            QRect band;
        } cases[] = {
            {"tools left, colour right",
             {QRect(10, 10, 132, 230), QRect(900, 0, 300, 220)},
             QRect(142, 0, 758, 700)},
            {"two on the right: the nearer to the middle counts",
             {QRect(1000, 0, 200, 100), QRect(850, 300, 350, 100)},
             QRect(0, 0, 850, 700)},
            {"outside the area", {QRect(-300, 0, 200, 100)}, area},
            {"too little left over", {QRect(0, 0, 500, 100), QRect(700, 0, 500, 100)}, area},
        };
        for (const Case& c : cases) QVERIFY2(UncoveredBand(area, c.covers, 600) == c.band, c.what);
    }

    // Where a program cannot place its own windows the panels dock, and the View
    // commands still show and hide them.
    void dockedPanelsWhereWindowsCannotBePlaced() {
        qputenv("QUILTARA_DOCKED_PANELS", "1");
        Start();
        CInitDialogBar* tools = Frame()->Panel(kPanelTools);
        QVERIFY(!tools->isWindow());
        QDockWidget* dock = tools->Dock();
        QVERIFY(dock);
        QCOMPARE(dock->windowTitle(), QString("Tools"));
        QVERIFY(Frame()->Dispatch(ID_VIEW_TOOLS));
        QVERIFY(dock->isHidden());
        QVERIFY(!Frame()->QueryState(ID_VIEW_TOOLS).checked);
        Frame()->ShowRetouchPanel(true);
        QVERIFY(Frame()->Panel(kPanelRetouch)->Dock()->isVisible());
    }
};

QTEST_MAIN(PanelsTest)
#include "tst_panels.moc"
