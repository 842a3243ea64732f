// Filter plug-ins and Extras in the program: the Filters and Extras menus, the manager
// dialogs, and runs that crash, hang or are stopped with a key.
#include "GuiTestSupport.h"
#include "core/base/ProgramFolders.h"
#include "core/plugins/PluginCatalog.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/plugins/CExtrasManager.h"
#include "gui/plugins/CPlugInManager.h"
#include "gui/plugins/PluginDialogs.h"
#include "gui/ui/CFolderPicker.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

using namespace quiltara;
using namespace quiltara::gui;
namespace fs = std::filesystem;

class PluginsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    std::unique_ptr<CTessaryApp> m_app;

    CMainFrame* Frame() { return m_app->MainFrame(); }
    // The submenus of Filters titled text, in menu order.
    QList<QMenu*> FilterSubmenus(const QString& text) {
        QList<QMenu*> found;
        for (QAction* a : m_app->PlugIns()->FiltersMenu()->actions())
            if (a->menu() && a->text() == text) found << a->menu();
        return found;
    }
    CTessaryView* NewPicture(int w, int h) {
        test::WhenModal<CNewTileSizeDlg>([w, h](CNewTileSizeDlg* d) {
            d->findChild<QLineEdit*>("width")->setText(QString::number(w));
            d->findChild<QLineEdit*>("height")->setText(QString::number(h));
            d->accept();
        });
        Frame()->Dispatch(ID_FILE_NEW);
        CTessaryView* view = Frame()->ActiveView();
        if (view) test::MakePatternPicture(view->Canvas()->Model().WorkingImage(), w, h);
        return view;
    }
    void Install(const std::string& from, const std::string& to) {
        fs::create_directories(fs::path(to).parent_path());
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    }

private slots:
    void init() {
        qputenv("QUILTARA_PLUGIN_TIMEOUT_MS", "700");
        m_folder = std::make_unique<test::TempFolder>();
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        QVERIFY(m_app->InitInstance());
        CPlugInManager::List().Clear();
    }
    void cleanup() {
        test::CloseAllWithoutSaving(Frame()->MdiArea());
        m_app->ExitInstance();
        m_app.reset();
        m_folder.reset();
    }

    void filtersMenuGetsCategorySubmenus() {
        CPlugInManager* manager = m_app->PlugIns();
        // No cache: the program's Plugins folder is listed and searched, and the cache
        // written, so the samples are on the menu from the first start.
        QVERIFY(fs::exists(ProgramFolders().plugins + "OffsetHalf.8bf"));
        manager->EnsureLoaded();
        QCOMPARE(manager->Folders(), std::vector<std::string>{ProgramFolders().plugins});
        QVERIFY(FilterSubmenus("Tile").size() == 1);
        QVERIFY(fs::exists(m_folder->File("plugins.lib")));
        CPluginList& list = CPlugInManager::List();
        list.Clear();
        list.Accept("/p/a.8bf#0", "Blur", "Soft Focus");
        list.Accept("/p/a.8bf#1", "Blur", "Soft Focus"); // listed once
        list.Accept("/p/b.8bf#0", "Tile", "z");          // shown as the category
        list.Accept("/p/b.8bf#1", "Blur", "Haze");
        for (int round = 0; round < 2; ++round) { // a rebuild leaves nothing of the last one
            manager->BuildFiltersMenu();
            const QList<QMenu*> blur = FilterSubmenus("Blur");
            QCOMPARE(blur.size(), 2); // the built-in one and the plug-ins' own below
            QCOMPARE(blur[1]->actions().size(), 2);
            QCOMPARE(blur[1]->actions()[0]->text(), QString("Soft Focus"));
            QCOMPARE(blur[1]->actions()[0]->data().toInt(), kPluginFirstId);
            QCOMPARE(blur[1]->actions()[1]->data().toInt(), kPluginFirstId + 2);
            QCOMPARE(FilterSubmenus("Tile").size(), 1);
            QCOMPARE(FilterSubmenus("Tile")[0]->actions()[0]->text(), QString("Tile"));
        }
        // A search of no folders finds nothing and leaves only the fixed items.
        manager->Folders().clear();
        QString count;
        test::AnswerMessageBox(QMessageBox::Ok, &count);
        manager->FullSearch();
        QCOMPARE(count, QString("Quiltara found 0 comatible plug-ins and filters."));
        const QList<QAction*> items = manager->FiltersMenu()->actions();
        QVERIFY(items.size() >= 2);
        QCOMPARE(items[items.size() - 2]->text(), QString("Plug-In Manager..."));
        QVERIFY(items.last()->isSeparator());
    }

    void searchRunAndFailuresLeaveThePicture() {
        const std::string plug = m_folder->File("My Plugins/");
        const std::string programs = QUILTARA_PROGRAM_DIR, tests = QUILTARA_TEST_PLUGIN_DIR;
        Install(programs + "Plugins/ChannelMixer.8bf", plug + "ChannelMixer.8bf");
        Install(tests + "Crash.8bf", plug + "deeper/Crash.8bf");
        Install(tests + "Hang.8bf", plug + "Hang.8bf");
        CPlugInManager* manager = m_app->PlugIns();
        manager->EnsureLoaded();
        manager->Folders() = {plug};
        QString count;
        int folders = -1;
        test::WhenModal<CPlugInManagerDlg>([&](CPlugInManagerDlg* d) {
            folders = d->List()->count();
            test::AnswerMessageBox(QMessageBox::Ok, &count);
            d->findChild<QPushButton*>("reloadButton")->click();
        });
        Frame()->Dispatch(ID_PLUGIN_MANAGER);
        QCOMPARE(folders, 1);
        QCOMPARE(count, QString("Quiltara found 5 comatible plug-ins and filters."));
        QVERIFY(fs::exists(m_folder->File("plugins.lib")));
        QCOMPARE(FilterSubmenus("Test").size(), 1);

        CTessaryView* view = NewPicture(40, 30);
        QVERIFY(view);
        CDIBSection2 before;
        before.Copy(&view->Canvas()->Model().WorkingImage());
        auto idOf = [](const char* name) {
            for (const PluginEntry& e : CPlugInManager::List().Entries())
                if (e.name == name) return e.commandId;
            return 0;
        };
        struct Run {
            const char* name;
            const char* message; // part of the message, or null for none
        };
        for (const Run& r : {Run{"Crash", "crashed"}, Run{"Hang", "stopped responding"}}) {
            QString text;
            test::AnswerMessageBox(QMessageBox::Ok, &text);
            QVERIFY(Frame()->Dispatch(idOf(r.name)));
            QVERIFY2(text.contains(r.message), qPrintable(text));
            QVERIFY(test::SamePixels(view->Canvas()->Model().WorkingImage(), before));
        }
        // A key pressed while a plug-in runs stops it without a word.
        qputenv("QUILTARA_PLUGIN_TIMEOUT_MS", "60000");
        QTimer::singleShot(200, view->Canvas(), [canvas = view->Canvas()] {
            QKeyEvent* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::postEvent(canvas, key);
        });
        QVERIFY(Frame()->Dispatch(idOf("Hang")));
        QVERIFY(test::SamePixels(view->Canvas()->Model().WorkingImage(), before));

        QVERIFY(Frame()->Dispatch(idOf("Swap Red and Blue")));
        const CDIBSection2& after = view->Canvas()->Model().WorkingImage();
        QCOMPARE(after.PixelAt(3, 4)[0], before.PixelAt(3, 4)[2]);
        QVERIFY(view->Canvas()->Model().CanUndo());
    }

    void driveSearchOfOneChosenFolderRebuildsTheFolderList() {
        const std::string plug = m_folder->File("Disk/");
        const std::string programs = QUILTARA_PROGRAM_DIR;
        Install(programs + "Plugins/OffsetHalf.8bf", plug + "a/b/OffsetHalf.8bf");
        Install(programs + "Plugins/ChannelMixer.8bf", plug + "a/ChannelMixer.8bf");
        CPlugInManager* manager = m_app->PlugIns();
        manager->EnsureLoaded();
        manager->Folders() = {plug};
        QString first;
        test::WhenModal<CYourComputerDlg>([&](CYourComputerDlg* d) {
            first = d->Drives()->itemText(0);
            d->Drives()->setCurrentIndex(d->Drives()->findText(QString::fromStdString(plug)));
            test::AnswerMessageBox(QMessageBox::Ok);
            d->accept();
        });
        manager->DriveSearch();
        QCOMPARE(first, QString("All Drives"));
        QCOMPARE(CPlugInManager::List().Entries().size(), std::size_t(4));
        // The two plug-in folders nest: only the outer one stays.
        QCOMPARE(manager->Folders(), std::vector<std::string>{plug + "a/"});
    }

    void extrasManagerMenuAndResize() {
        const std::string programs = QUILTARA_PROGRAM_DIR, tests = QUILTARA_TEST_PLUGIN_DIR;
        const std::string extras = ProgramFolders().extras;
        Install(programs + "Extras/Stretch300x200.xtr", extras + "Stretch300x200.xtr");
        Install(tests + "NoName.xtr", extras + "NoName.xtr");
        Install(programs + "Extras/WarmTint.xtr", extras + "Sub/WarmTint.xtr");
        fs::remove(extras + "WarmTint.xtr"); // seeded at start
        int listed = -1;
        QString description;
        test::WhenModal<CExtrasDlg>([&](CExtrasDlg* d) {
            listed = d->List()->count();
            d->List()->setCurrentRow(0);
            description = d->Description()->toPlainText();
            d->accept();
        });
        Frame()->Dispatch(ID_EXTRAS_MANAGER);
        QCOMPARE(listed, 1); // no name, or below a sub-folder: not listed
        QVERIFY(!description.isEmpty());
        QMenu* menu = m_app->Extras()->ExtrasMenu();
        QCOMPARE(menu->actions().size(), 3); // manager, separator, the one Extra
        QCOMPARE(menu->actions()[2]->data().toInt(), kExtrasFirstId);
        QVERIFY(fs::exists(m_folder->File("extras.lib")));

        CTessaryView* view = NewPicture(256, 256);
        QVERIFY(view);
        QVERIFY(Frame()->Dispatch(kExtrasFirstId));
        QCOMPARE(view->Canvas()->Model().WorkingImage().GetWidth(), 300);
        QCOMPARE(view->Canvas()->Model().WorkingImage().GetHeight(), 200);
    }

    void folderPickerChecksAndCreatesTypedFolders() {
        const QString base = QString::fromStdString(m_folder->Path()).chopped(1);
        CFolderPicker picker("Select Plug-In Folder", "title", base, Frame());
        QString invalid, question;
        bool stayedOpen = false;
        test::WhenModal<CFolderPicker>([&](CFolderPicker* d) {
            d->PathEdit()->setText(base + "/Images/");
            test::AnswerMessageBox(QMessageBox::Ok, &invalid);
            d->accept();
            stayedOpen = d->isVisible() && !d->Accepted();
            d->PathEdit()->setText(base + "/New Folder/Sub");
            test::AnswerMessageBox(QMessageBox::Yes, &question);
            d->accept();
        });
        QCOMPARE(picker.Choose(), 1);
        QVERIFY(stayedOpen);
        QVERIFY(invalid.contains("is invalid. Please reenter."));
        QVERIFY(question.contains("does not exist. Do you want the folder to be created?"));
        QCOMPARE(picker.Result(), base + "/New Folder/Sub");
        QVERIFY(fs::is_directory((base + "/New Folder/Sub").toStdString()));

        // Cancelling leaves the result as it was.
        test::WhenModal<CFolderPicker>([](CFolderPicker* d) { d->reject(); });
        QVERIFY(picker.Choose() != 1);
        QCOMPARE(picker.Result(), base + "/New Folder/Sub");
    }
};

QTEST_MAIN(PluginsTest)
#include "tst_plugins.moc"
