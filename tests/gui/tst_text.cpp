// The text command as the application wires it: "Add Text", the "Text" dialog with its
// font list and size check, the placed text moved, edited again and combined.
#include "GuiTestSupport.h"
#include "core/image/FontRaster.h"
#include "gui/app/AppState.h"
#include "gui/paint/CTextDlg.h"
#include "gui/ui/CFontCombo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace quiltara;
using namespace quiltara::gui;

class TextTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_run;

private slots:
    void init() { m_run.Start(); }
    void cleanup() { m_run.Stop(); }

    void textIsPlacedMovedEditedAndCombined() {
        if (FindFont({}).file.empty()) QSKIP("no font installed at all");
        CMainFrame* frame = m_run.Frame();
        QVERIFY(frame->QueryState(ID_TOOL_ADD_TEXT).enabled);
        CTessaryView* view = test::NewPatternDocument(frame, 120, 80);
        QVERIFY(view);
        CCanvasWnd* canvas = view->Canvas();
        CCanvasModel& model = canvas->Model();
        CDIBSection2 before;
        before.Copy(&model.WorkingImage());

        // A size of 4000 is refused with the dialog kept open; 20 is taken.
        QString refusal;
        bool listed = false;
        test::WhenModal<CTextDlg>([&](CTextDlg* d) {
            listed = d->findChild<CFontCombo*>("fontCombo")->count() > 0;
            d->findChild<QPlainTextEdit*>("text")->setPlainText("Ab");
            d->findChild<QLineEdit*>("size")->setText("4000");
            test::AnswerMessageBox(QMessageBox::Ok, &refusal);
            d->accept();
            QVERIFY(d->isVisible());
            d->findChild<QLineEdit*>("size")->setText("20");
            d->findChild<QCheckBox*>("shadow")->setChecked(true);
            d->accept();
        });
        frame->Dispatch(ID_TOOL_ADD_TEXT);
        QVERIFY(listed);
        QVERIFY(refusal.startsWith("Please, please put the font size smaller!"));
        QVERIFY(model.HasText());
        QCOMPARE(AppState().tools.Current(), int(kToolArrow));
        QVERIFY(test::SamePixels(model.WorkingImage(), before)); // not in the picture yet
        QCOMPARE(m_run.app->Store().GetInt("Text", "Shadow", 0), 1);

        // Dragging inside the frame moves the text.
        const auto& g = canvas->Geometry();
        const CRect start = model.TextRect();
        const auto a = g.ImageToClient(start.left + 4, start.top + 4);
        const QPoint from(a.x, a.y), to = from + QPoint(int(10 * g.Zoom()), 0);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas->viewport(), to);
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(model.TextRect().left, start.left + 10);
        QCOMPARE(model.TextRect().top, start.top);

        // A double click opens it again with its own text; a longer one is wider.
        QString edited;
        test::WhenModal<CTextDlg>([&](CTextDlg* d) {
            auto* text = d->findChild<QPlainTextEdit*>("text");
            edited = text->toPlainText();
            text->setPlainText("Abcd");
            d->accept();
        });
        const int width = model.TextRect().Width();
        const auto c = g.ImageToClient(model.TextRect().left + 4, model.TextRect().top + 4);
        QTest::mouseDClick(canvas->viewport(), Qt::LeftButton, {}, QPoint(c.x, c.y));
        QCOMPARE(edited, QStringLiteral("Ab"));
        QVERIFY(model.TextRect().Width() > width);
        QCOMPARE(model.TextRect().left, start.left + 10);

        // Combined, it is in the picture; undo brings it back to be placed.
        QVERIFY(frame->QueryState(ID_COMBINE_WITH_IMAGE).enabled);
        frame->Dispatch(ID_COMBINE_WITH_IMAGE);
        QVERIFY(!model.HasText());
        QVERIFY(!test::SamePixels(model.WorkingImage(), before));
        frame->Dispatch(ID_EDIT_UNDO);
        QVERIFY(model.HasText());
        QVERIFY(test::SamePixels(model.WorkingImage(), before));
    }
};

QTEST_MAIN(TextTest)
#include "tst_text.moc"
