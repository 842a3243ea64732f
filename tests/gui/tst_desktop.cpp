// The program on the desktop: a fresh program folder gets its data, and files given on
// the command line (or by a file manager) open as documents.
#include "GuiTestSupport.h"
#include "core/base/ProgramFolders.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/ProgramFolderLocator.h"
#include "gui/ui/CMainFrame.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QUrl>
#include <filesystem>
#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;

class DesktopTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;

    QString InFolder(const QString& name) const {
        return QString::fromStdString(m_folder->File(name.toStdString()));
    }
    std::unique_ptr<CTessaryApp> StartApp() {
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        auto app = std::make_unique<CTessaryApp>(std::move(store));
        app->InitInstance();
        return app;
    }

private slots:
    void init() { m_folder = std::make_unique<test::TempFolder>(); }
    void cleanup() { m_folder.reset(); }

    void freshProgramFolderGetsTheDataAndKeepsTheUsersFiles() {
        // The build tree's bin folder holds the data, as an installed share/quiltara does.
        QVERIFY(!InstalledDataFolders().isEmpty());
        std::filesystem::create_directories(m_folder->File("Help"));
        std::ofstream(m_folder->File("Help/index.html")) << "my own page";

        CTessaryApp app(std::make_unique<CMemorySettingsStore>());
        QCOMPARE(app.ProgramFolder() + "/", QString::fromStdString(m_folder->Path()));
        const QString help = QString::fromStdString(ProgramFolders().help);
        // The first document's help pictures and F1's page are there.
        QVERIFY(!QPixmap(help + "hlpfile1.png").isNull());
        QVERIFY(!QPixmap(help + "hlpfile2.png").isNull());
        std::ifstream page(m_folder->File("Help/index.html"));
        QCOMPARE(std::string(std::istreambuf_iterator<char>(page), {}), std::string("my own page"));
        for (const char* file :
             {"Brushes/Brush/default.brs", "Brushes/Natural/default.brs", "Samples/Brick.png"})
            QVERIFY2(QFileInfo::exists(InFolder(file)), file);
    }

    void commandLineFilesOpenThroughTheWizard() {
        QImage picture(48, 32, QImage::Format_RGB32);
        picture.fill(qRgb(90, 140, 30));
        const QString plain = InFolder("grass.png"), spaced = InFolder("a brick.png");
        QVERIFY(picture.save(plain, "PNG") && picture.save(spaced, "PNG"));

        QStringList wizardSaw;
        CTessaryDoc::tileWizard = [&wizardSaw](const CDIBSection2& p, TileWizardOutcome& out) {
            wizardSaw << QString("%1x%2").arg(p.GetWidth()).arg(p.GetHeight());
            return test::KeepWholeImage(p, out);
        };
        auto app = StartApp();
        QString message;
        test::AnswerMessageBox(QMessageBox::Ok, &message);
        const int opened = app->OpenCommandLineFiles(
            {"-geometry", plain, QUrl::fromLocalFile(spaced).toString(), InFolder("missing.png")});
        QCOMPARE(opened, 2);
        QCOMPARE(wizardSaw, QStringList({"48x32", "48x32"}));
        QVERIFY(message.contains("missing.png"));
        QStringList titles;
        for (QMdiSubWindow* w : app->MainFrame()->MdiArea()->subWindowList())
            titles << w->windowTitle();
        QCOMPARE(titles.size(), 2);
        QVERIFY(titles[0].startsWith("grass.png"));
        QVERIFY(titles[1].startsWith("a brick.png"));

        test::CloseAllWithoutSaving(app->MainFrame()->MdiArea());
        app->ExitInstance();
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
