// Opening and saving pictures through the window.
#include "GuiTestSupport.h"
#include "core/image/ImageFileRoutines.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/ui/CJpegQualityDlg.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CPrevFileDlg.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <filesystem>
#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;
using test::AnswerMessageBox;

class FilesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    std::unique_ptr<CTessaryApp> m_app;

    CMainFrame* Frame() { return m_app->MainFrame(); }

    // A picture written by Qt, not by our own writers.
    QString WriteForeignPng(const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x + y) % 256));
        const QString path = QString::fromStdString(m_folder->File(name.toStdString()));
        image.save(path, "PNG");
        return path;
    }

    static QImage Pixels(const CDIBSection2& picture) {
        QImage out(picture.GetWidth(), picture.GetHeight(), QImage::Format_RGB32);
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x) {
                const std::uint8_t* p = picture.GetRow(y) + x * 4;
                out.setPixel(x, y, qRgb(p[2], p[1], p[0]));
            }
        return out;
    }

private slots:
    void init() {
        m_folder = std::make_unique<test::TempFolder>();
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        m_app->InitInstance();
        // These tests are about files: every picture is opened whole.
        CTessaryDoc::tileWizard = test::KeepWholeImage;
    }
    void cleanup() {
        test::CloseAllWithoutSaving(Frame()->MdiArea());
        m_app->ExitInstance();
        m_app.reset();
        m_folder.reset();
    }

    void openShowsThePictureAndRemembersIt() {
        const QString path = WriteForeignPng("photo.png", 40, 30);
        CTessaryDoc* doc = m_app->OpenDocumentFile(path);
        QVERIFY(doc);
        QCOMPARE(doc->Title(), QString("photo.png"));
        CTessaryView* view = Frame()->ActiveView();
        QCOMPARE(Pixels(view->Canvas()->Model().WorkingImage()),
                 QImage(path).convertToFormat(QImage::Format_RGB32));
        // The opened picture is the Original, kept on disk.
        QVERIFY(doc->HasOriginal());
        QVERIFY(doc->original.IsSwappedOut());
        QCOMPARE(m_app->RecentFiles().first(), QFileInfo(path).absoluteFilePath());
        QVERIFY(Frame()->Action(ID_FILE_MRU_FILE1)->text().endsWith("photo.png"));
        QVERIFY(Frame()->QueryState(ID_RELOAD).enabled);
    }

    void openOfABrokenFileSaysSoAndMakesNoDocument() {
        const std::string path = m_folder->File("broken.png");
        std::ofstream(path) << "\x89PNG\r\n\x1a\n garbage";
        QString text;
        AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(!m_app->OpenDocumentFile(QString::fromStdString(path)));
        QVERIFY(text.contains("broken.png"));
        QVERIFY(Frame()->ActiveView() == nullptr);
    }

    void saveWritesTheWorkingImageAndClearsTheChanges() {
        CTessaryDoc* doc = m_app->OpenDocumentFile(WriteForeignPng("a.png", 20, 10));
        CCanvasModel& model = Frame()->ActiveView()->Canvas()->Model();
        model.WorkingImage().FillOpaque(MakeColorRef(12, 34, 56));
        model.unsavedChanges = true;
        const QString target = QString::fromStdString(m_folder->File("out.png"));
        QString offeredSuffix;
        doc->askSavePath = [&](const QString&, const QString&, const QStringList&,
                               const QString& suffix) {
            offeredSuffix = suffix;
            return target;
        };
        QVERIFY(Frame()->Dispatch(ID_FILE_SAVE));
        QCOMPARE(offeredSuffix, QString("png"));
        QVERIFY(!doc->IsModified());
        QCOMPARE(doc->pathName, target);
        QCOMPARE(QImage(target).pixel(5, 5), qRgb(12, 34, 56));
    }

    void saveMergesTheFloatAfterSayingSo() {
        CTessaryDoc* doc = m_app->OpenDocumentFile(WriteForeignPng("b.png", 20, 20));
        CCanvasModel& model = Frame()->ActiveView()->Canvas()->Model();
        QVERIFY(model.TakeFloat({0, 0, 5, 5}));
        model.FloatImage().FillOpaque(MakeColorRef(255, 0, 0));
        const QString target = QString::fromStdString(m_folder->File("merged.png"));
        doc->askSavePath = [&](auto&&...) { return target; };
        QString text;
        AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(doc->DoSave(QString(), true));
        QCOMPARE(text, QString("The selection will be merged with document"));
        QVERIFY(!model.HasFloat());
        QCOMPARE(QImage(target).pixel(2, 2), qRgb(255, 0, 0));
    }

    void unknownExtensionIsRefusedAndLeavesNoFile() {
        CTessaryDoc* doc = m_app->OpenDocumentFile(WriteForeignPng("c.png", 8, 8));
        const QString target = QString::fromStdString(m_folder->File("out.xyz"));
        doc->askSavePath = [&](auto&&...) { return target; };
        QString text;
        AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(!doc->DoSave(QString(), true));
        QCOMPARE(text, "Unknown extnsion\n" + target);
        QVERIFY(!QFileInfo::exists(target));
    }

    void jpegAsksForTheQualityAndRemembersIt() {
        CTessaryDoc* doc = m_app->OpenDocumentFile(WriteForeignPng("d.png", 16, 16));
        const QString target = QString::fromStdString(m_folder->File("out.jpg"));
        doc->askSavePath = [&](auto&&...) { return target; };
        int offered = -1;
        test::WhenModal<CJpegQualityDlg>([&offered](CJpegQualityDlg* d) {
            offered = d->Quality();
            d->findChild<QSpinBox*>("quality")->setValue(90);
            d->accept();
        });
        QVERIFY(doc->DoSave(QString(), true));
        QCOMPARE(offered, 75);
        QCOMPARE(m_app->Store().GetInt("Save", "JPGQ", 0), 90);
        QVERIFY(QFileInfo(target).size() > 0);
        // Cancelling the quality dialog cancels the save.
        const QString second = QString::fromStdString(m_folder->File("second.jpg"));
        doc->askSavePath = [&](auto&&...) { return second; };
        test::WhenModal<CJpegQualityDlg>([](CJpegQualityDlg* d) { d->reject(); });
        QVERIFY(!doc->DoSave(QString(), true));
        QVERIFY(!QFileInfo::exists(second));
        // A ".jpeg" name is JPEG too, quality dialog included.
        const QString third = QString::fromStdString(m_folder->File("third.jpeg"));
        doc->askSavePath = [&](auto&&...) { return third; };
        bool asked = false;
        test::WhenModal<CJpegQualityDlg>([&asked](CJpegQualityDlg* d) {
            asked = true;
            d->accept();
        });
        QVERIFY(doc->DoSave(QString(), true));
        QVERIFY(asked);
        QFile written(third);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(3), QByteArray("\xFF\xD8\xFF"));
    }

    void reloadBringsBackTheFile() {
        const QString path = WriteForeignPng("e.png", 12, 12);
        m_app->OpenDocumentFile(path);
        CCanvasModel& model = Frame()->ActiveView()->Canvas()->Model();
        model.WorkingImage().FillOpaque(0);
        AnswerMessageBox(QMessageBox::Yes);
        QVERIFY(Frame()->Dispatch(ID_RELOAD));
        QCOMPARE(Pixels(Frame()->ActiveView()->Canvas()->Model().WorkingImage()),
                 QImage(path).convertToFormat(QImage::Format_RGB32));
    }

    void closingAModifiedDocumentAsks() {
        m_app->OpenDocumentFile(WriteForeignPng("f.png", 12, 12));
        Frame()->ActiveView()->Canvas()->Model().unsavedChanges = true;
        QString text;
        AnswerMessageBox(QMessageBox::Cancel, &text);
        Frame()->MdiArea()->subWindowList().first()->close();
        QCOMPARE(text, QString("Save changes to f.png?"));
        QCOMPARE(Frame()->MdiArea()->subWindowList().size(), 1); // cancelled: still open
        AnswerMessageBox(QMessageBox::Discard);
        Frame()->MdiArea()->subWindowList().first()->close();
        QTest::qWait(1);
        QCOMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
    }

    void previewShrinksToFitAndShowsTheSize() {
        const QString big = WriteForeignPng("big.png", 1600, 1200);
        const QString small = WriteForeignPng("small.png", 40, 20);
        CPrevFileDlg dialog(nullptr, "Load image file", QString::fromStdString(m_folder->Path()),
                            {"All (*)"});
        QCOMPARE(dialog.SizeLabel()->text(), QString("No Image"));
        dialog.SelectionChanged(big);
        QCOMPARE(dialog.Preview()->DrawnSize(), QSize(160, 120));
        QCOMPARE(dialog.SizeLabel()->text(), QString("1600 x 1200\nPixels"));
        dialog.SelectionChanged(small);
        QCOMPARE(dialog.Preview()->DrawnSize(), QSize(40, 20));
        dialog.PreviewCheck()->setChecked(false);
        QCOMPARE(dialog.SizeLabel()->text(), QString("No Image"));
        QVERIFY(!CPrevFileDlg::PreviewFlag());
        dialog.PreviewCheck()->setChecked(true);
        QCOMPARE(dialog.SizeLabel()->text(), QString("40 x 20\nPixels"));
        dialog.FolderChanged();
        QCOMPARE(dialog.SizeLabel()->text(), QString("No Image"));
        const std::string junk = m_folder->File("junk.png");
        std::ofstream(junk) << "not a picture";
        dialog.SelectionChanged(QString::fromStdString(junk));
        QCOMPARE(dialog.SizeLabel()->text(), QString("No Image"));
    }
};

QTEST_MAIN(FilesTest)
#include "tst_files.moc"
