// The tool panels, the Tools menu and the tablet as the application wires them.
#include "GuiTestSupport.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/devices/CTablet.h"
#include "gui/devices/CTabletDlg.h"
#include "gui/paint/CToolListPicker.h"
#include "gui/paint/CToolsPanel.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QToolButton>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

class ToolsTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

    QTabletEvent Event(QEvent::Type type, const QPointingDevice* device, double pressure) {
        return QTabletEvent(type, device, QPointF(5, 5), QPointF(5, 5), pressure, 0, 0, 0, 0, 0,
                            Qt::NoModifier, Qt::LeftButton, Qt::LeftButton);
    }

private slots:
    void init() {
        m_run.Start();
        QVERIFY(m_run.app->SelectTool(kToolPaintBrush));
    }
    void cleanup() { m_run.Stop(); }

    void panelChoicesFollowTheToolSet() {
        CMainFrame* frame = m_run.Frame();
        CToolsPanel* panel = frame->ToolsPanel();
        CTessaryView* view = test::NewPatternDocument(frame, 40, 30);
        QVERIFY(view);

        panel->Button(1)->click();
        QCOMPARE(AppState().tools.Current(), int(kToolPen));
        QVERIFY(panel->Button(1)->isChecked());
        QVERIFY(!panel->Button(0)->isChecked());
        QVERIFY(!frame->QueryState(ID_TOOL_ARROW).checked);

        // A menu tool leaves the bar; the canvas takes the tool's cursor.
        frame->Dispatch(ID_TOOL_MOVE_CANVAS);
        QVERIFY(frame->QueryState(ID_TOOL_MOVE_CANVAS).checked);
        for (int p = 0; p < kToolBarPositionCount; ++p) QVERIFY(!panel->Button(p)->isChecked());
        QCOMPARE(view->Canvas()->viewport()->cursor().shape(), Qt::OpenHandCursor);
        panel->Button(0)->click();
        QCOMPARE(view->Canvas()->viewport()->cursor().shape(),
                 Qt::BitmapCursor); // the brush outline
        QVERIFY(!frame->QueryState(ID_TOOL_MOVE_CANVAS).checked);

        // "Photo Retouch" shows its picker; a pick there becomes the button's tool.
        panel->Button(kPositionRetouch)->click();
        QCOMPARE(AppState().tools.Current(), int(kToolContrast));
        QVERIFY(frame->QueryState(ID_VIEW_RETOUCH).checked);
        QVERIFY(!frame->QueryState(ID_VIEW_EFFECTS).checked);
        QListWidget* list = frame->RetouchPicker()->List();
        QCOMPARE(list->currentRow(), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(3)).center());
        QCOMPARE(AppState().tools.Current(), int(kToolDesaturate));
        QVERIFY(panel->Button(kPositionRetouch)->toolTip().contains("Desaturate"));

        // Color Pick keeps the bar as it was and gives the tool back.
        QVERIFY(m_run.app->SelectTool(kToolColorPick));
        QVERIFY(panel->Button(kPositionRetouch)->isChecked());
        QVERIFY(m_run.app->ReturnToPreviousTool());
        QCOMPARE(AppState().tools.Current(), int(kToolDesaturate));

        // Nothing is chosen while a stroke goes on.
        AppState().tools.BeginStroke();
        panel->Button(0)->click();
        QCOMPARE(AppState().tools.Current(), int(kToolDesaturate));
        QVERIFY(!panel->Button(0)->isChecked());
        QVERIFY(!frame->QueryState(ID_TOOL_ARROW).enabled);
        AppState().tools.EndStroke();
        QVERIFY(frame->QueryState(ID_TOOL_ARROW).enabled);
    }

    void tabletDialogWithoutATablet() {
        QString status;
        bool checkable = true, checked = false;
        test::WhenModal<CTabletDlg>([&](CTabletDlg* d) {
            status = d->findChild<QLineEdit*>("installedDevice")->text();
            checkable = d->findChild<QCheckBox*>("enableTablet")->isEnabled();
            checked = d->findChild<QCheckBox*>("enableTablet")->isChecked();
            d->accept();
        });
        m_run.Frame()->Dispatch(ID_TABLET);
        QCOMPARE(status, QString("Tablet is not installed."));
        QVERIFY(!checkable);
        QVERIFY(checked); // "Tablet" is on by default
        QCOMPARE(m_run.app->Tablet().Pressure(), 255);
    }

    void tabletEventsGivePressureUntilThePenLeaves() {
        CTablet& tablet = m_run.app->Tablet();
        QVERIFY(tablet.IsLoaded());
        const QPointingDevice pen(
            "Test Pen", 901, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
            QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
        const QPointingDevice eraser(
            "Test Pen", 902, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Eraser,
            QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
        // 0.5 is raw 512 of 0 ... 1023: 512 x 255 / 1023 = 127.6.
        QVERIFY(tablet.Packet(Event(QEvent::TabletPress, &pen, 0.5)));
        QCOMPARE(tablet.Pressure(), 127);
        QVERIFY(!tablet.SecondCursorInUse());
        QVERIFY(tablet.Packet(Event(QEvent::TabletMove, &eraser, 0.5)));
        QVERIFY(tablet.SecondCursorInUse());
        tablet.Enable(false);
        QCOMPARE(tablet.Pressure(), 255);
        tablet.Enable(true);
        QCOMPARE(tablet.Pressure(), 127);
        QTabletEvent leave = Event(QEvent::TabletLeaveProximity, &pen, 0);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &leave);
        QCOMPARE(tablet.Pressure(), 255);
        QCOMPARE(tablet.State().Cursor(), 0u);
    }
};

QTEST_MAIN(ToolsTest)
#include "tst_tools.moc"
