// Scanning through the SANE "test" backend: documents made from scans.
#include "GuiTestSupport.h"
#include "core/base/SettingsStore.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/devices/CTwainSource.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "support/SaneTestBackend.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;

namespace {
const char* const kPatternSettings = "mode Color\ntest-picture \"Color pattern\"\nresolution 25\n";

// The picture a direct scan of the first test device gives with the same settings.
std::vector<std::uint8_t> ScanDirectly(int& w, int& h) {
    CSaneLibrary library;
    CSaneDevice device(library);
    CScanAssembler picture;
    if (!library.Load() || !device.Open("test:0") ||
        device.Scan(picture, nullptr) != ScanResult::Done)
        return {};
    w = picture.Width(), h = picture.Height();
    return picture.Rgb();
}

std::vector<std::uint8_t> DocumentRgb(CTessaryView* view) {
    const CDIBSection2& image = view->Canvas()->Model().WorkingImage();
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const std::uint8_t* p = image.GetRow(y) + 4 * x;
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    return rgb;
}
} // namespace

class AcquireTest : public QObject {
    Q_OBJECT
    test::AppUnderTest m_app;

    int Documents() { return int(m_app.Frame()->MdiArea()->subWindowList().size()); }
    CAcquireDlg* StartAcquire() {
        m_app.Frame()->Dispatch(ID_ACQUIRE);
        return m_app.app->TwainSource().AcquireWindow();
    }
    bool HaveLibrary() {
        CSaneLibrary library;
        return library.Load();
    }

private slots:
    void init() {
        if (!HaveLibrary()) QSKIP("the SANE library is not installed");
        m_app.Start();
    }
    void cleanup() {
        if (m_app.app) m_app.Stop();
    }

    // One scan, one document holding the test pattern, loaded from the transfer file.
    void oneScanMakesADocumentOfThePattern() {
        test::SaneTestBackend backend(kPatternSettings);
        int w = 0, h = 0;
        const std::vector<std::uint8_t> expected = ScanDirectly(w, h);
        QVERIFY(!expected.empty());
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->findChild<QComboBox*>("mode")->currentText(), QString("Color"));
        QSignalSpy ended(window, &CAcquireDlg::scanEnded);
        QVERIFY(window->StartScan());
        QTRY_COMPARE(ended.count(), 1);
        QTRY_COMPARE(Documents(), 1);
        CTessaryView* view = m_app.Frame()->ActiveView();
        QCOMPARE(view->Canvas()->Model().WorkingImage().GetWidth(), w);
        QCOMPARE(view->Canvas()->Model().WorkingImage().GetHeight(), h);
        QVERIFY(DocumentRgb(view) == expected);
        QVERIFY(QFileInfo::exists(CTwainSource::TransferFile()));
        // The source stays open for more until its window is closed.
        QVERIFY(window->findChild<QPushButton*>("scan")->isEnabled());
        window->reject();
        QTRY_VERIFY(!m_app.app->TwainSource().AcquireWindow());
    }

    void threeScansInOneRunMakeThreeDocuments() {
        test::SaneTestBackend backend(kPatternSettings);
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        QSignalSpy ended(window, &CAcquireDlg::scanEnded);
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(window->StartScan());
            QVERIFY(!window->StartScan()); // one scan at a time
            QTRY_COMPARE(ended.count(), i);
            QTRY_COMPARE(Documents(), i);
        }
        const auto windows = m_app.Frame()->MdiArea()->subWindowList();
        const auto first = DocumentRgb(qobject_cast<CTessaryView*>(windows[0]->widget()));
        for (QMdiSubWindow* w : windows)
            QVERIFY(DocumentRgb(qobject_cast<CTessaryView*>(w->widget())) == first);
    }

    // From the document feeder one "Scan" takes every sheet, each a document.
    void feederScansEverySheet() {
        test::SaneTestBackend backend("resolution 10\n");
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        auto* source = window->findChild<QComboBox*>("source");
        const int feeder = source->findText("Automatic Document Feeder");
        if (feeder < 0) QSKIP("this test backend has no document feeder");
        source->setCurrentIndex(feeder);
        QSignalSpy ended(window, &CAcquireDlg::scanEnded);
        QVERIFY(window->StartScan());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
        QTRY_VERIFY(Documents() > 1);
    }

    // A transfer file that cannot be written: the writer's code, and no document.
    void unwritableTransferFileMakesNoDocument() {
        test::SaneTestBackend backend("resolution 10\n");
        QVERIFY(QDir().mkpath(CTwainSource::TransferFile()));
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        QString text;
        test::AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(window->StartScan());
        QTRY_VERIFY(text.startsWith("Unsupported Error Error !\nError # "));
        QCOMPARE(Documents(), 0);
    }

    // Cancel stops a slow scan; no document comes of it and the window can scan again.
    void cancelLeavesNoDocument() {
        test::SaneTestBackend backend("read-limit true\nread-limit-size 1\nread-delay true\n"
                                      "read-delay-duration 2000\n");
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        QSignalSpy ended(window, &CAcquireDlg::scanEnded);
        QVERIFY(window->StartScan());
        QVERIFY(window->Scanning());
        window->findChild<QPushButton*>("cancel")->click();
        QTRY_COMPARE(ended.count(), 1);
        QTest::qWait(50);
        QCOMPARE(Documents(), 0);
        QVERIFY(window->findChild<QPushButton*>("scan")->isEnabled());
    }

    // The chosen device is remembered and used by the next acquisition.
    void selectSourceRemembersTheChoice() {
        test::SaneTestBackend backend;
        test::WhenModal<CSelectSourceDlg>([](CSelectSourceDlg* d) {
            auto* list = d->findChild<QListWidget*>("sources");
            QCOMPARE(list->count(), 2);
            list->setCurrentRow(1);
            d->accept();
        });
        m_app.Frame()->Dispatch(ID_SELECT_SOURCE);
        QCOMPARE(m_app.app->TwainSource().SelectedSource(), QString("test:1"));
        QCOMPARE(m_app.app->Store().GetString("Acquire", "Source", ""), std::string("test:1"));
        CAcquireDlg* window = StartAcquire();
        QVERIFY(window);
        bool namesSecond = false;
        for (QLabel* label : window->findChildren<QLabel*>())
            namesSecond = namesSecond || label->text().contains("test:1");
        QVERIFY(namesSecond);
    }

    // A machine without the library: both commands say so, and the program goes on.
    void missingLibrary() {
        CSaneLibrary::SetLibraryFile("libsane-not-installed.so.1");
        QStringList texts;
        test::WhenModal<QMessageBox>([&texts](QMessageBox* box) {
            texts << box->text();
            box->accept();
            test::WhenModal<QMessageBox>([&texts](QMessageBox* second) {
                texts << second->text();
                second->accept();
            });
        });
        QVERIFY(!StartAcquire());
        QTRY_COMPARE(texts, QStringList({"Can't find libsane.so.1",
                                         "There was a problem with the device."}));
        texts.clear();
        test::AnswerMessageBox(QMessageBox::Ok, &texts.emplace_back());
        m_app.Frame()->Dispatch(ID_SELECT_SOURCE);
        QCOMPARE(texts.front(), QString("Can't find libsane.so.1"));
        CSaneLibrary::SetLibraryFile(CSaneLibrary::kLibraryName);
        QVERIFY(test::NewPatternDocument(m_app.Frame(), 8, 8)); // still working
    }

    // Without any device: the device message, and no window.
    void noDeviceIsAProblemWithTheDevice() {
        test::TempFolder empty;
        std::ofstream(empty.File("dll.conf")) << "\n";
        qputenv("SANE_CONFIG_DIR", QByteArray::fromStdString(empty.Path()));
        QString text;
        test::AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(!StartAcquire());
        QCOMPARE(text, QString("There was a problem with the device."));
        qunsetenv("SANE_CONFIG_DIR");
    }
};

QTEST_MAIN(AcquireTest)
#include "tst_acquire.moc"
