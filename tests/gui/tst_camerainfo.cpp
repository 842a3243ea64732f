// Camera information of opened photographs: the panel and "Show EXIF Info...".
#include "GuiTestSupport.h"
#include "core/image/codecs/Codecs.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/exif/CCameraInfoDlg.h"
#include "gui/ui/CMainFrame.h"
#include "support/ExifBlockWriter.h"
#include "support/TestSupport.h"

#include <fstream>

using namespace quiltara;
using namespace quiltara::gui;

class CameraInfoTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempFolder> m_folder;
    std::unique_ptr<CTessaryApp> m_app;

    // A small JPEG whose APP1 segments are given (marker and length dropped).
    QString WriteJpeg(const std::string& name, const std::vector<std::vector<std::uint8_t>>& app1) {
        std::vector<JPGMarker> markers;
        for (const auto& s : app1) markers.push_back({0xE1, {s.begin() + 4, s.end()}});
        const std::vector<std::uint8_t> rgb(16 * 16 * 3, 100);
        CSink sink;
        if (!WriteJPG(sink, rgb.data(), 16, 16, 90, &markers)) return {};
        const std::string path = m_folder->File(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(sink.Bytes().data()),
                  std::streamsize(sink.Bytes().size()));
        return QString::fromStdString(path);
    }

    static std::vector<std::uint8_t> CameraBlock() {
        test::ExifBlockWriter w(false); // Motorola order
        w.AddAscii(test::ExifBlockWriter::Ifd0, 271, "Olympus");
        w.AddAscii(test::ExifBlockWriter::Ifd0, 272, "E-M10");
        w.AddPointer(test::ExifBlockWriter::Ifd0, 34665, test::ExifBlockWriter::Exif);
        w.AddRationals(test::ExifBlockWriter::Exif, 33434, {{1, 125}});
        w.AddRationals(test::ExifBlockWriter::Exif, 33437, {{56, 10}});
        return w.Segment();
    }

private slots:
    void init() {
        m_folder = std::make_unique<test::TempFolder>();
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        m_app = std::make_unique<CTessaryApp>(std::move(store));
        m_app->InitInstance();
        // These tests are about the camera block: every picture is opened whole.
        CTessaryDoc::tileWizard = test::KeepWholeImage;
    }
    void cleanup() {
        test::CloseAllWithoutSaving(m_app->MainFrame()->MdiArea());
        m_app->ExitInstance();
        m_app.reset();
        m_folder.reset();
    }

    void openingAPhotographShowsItsCameraAndTheFullReport() {
        // An XMP block after the camera block must not hide it.
        const std::vector<std::uint8_t> xmp = {0xFF, 0xE1, 0, 8, 'h', 't', 't', 'p', ':', '/'};
        const QString path = WriteJpeg("photo.jpg", {CameraBlock(), xmp});
        QVERIFY(!path.isEmpty());
        CTessaryDoc* doc = m_app->OpenDocumentFile(path);
        QVERIFY(doc);
        QVERIFY(doc->hasCameraInfo);
        QVERIFY(m_app->CameraPanel());
        QVERIFY(m_app->CameraPanel()->isVisible());
        const QString summary = m_app->CameraPanel()->Text();
        QVERIFY2(summary.contains("Camera: Olympus E-M10"), qPrintable(summary));
        QVERIFY2(summary.contains("Exposure: 1/125 s"), qPrintable(summary));
        QVERIFY2(summary.contains("Aperture: f/5.6"), qPrintable(summary));

        QString report;
        test::WhenModal<CCameraInfoDlg>([&report](CCameraInfoDlg* d) {
            report = d->Report();
            d->accept();
        });
        QVERIFY(m_app->MainFrame()->Dispatch(ID_SHOW_EXIF));
        QVERIFY2(report.startsWith("Make: Olympus\nModel: E-M10\n"), qPrintable(report.left(80)));
        QVERIFY2(report.contains("\nF Number: 5.60\n"), qPrintable(report.left(200)));
    }

    void withoutCameraInformationTheCommandSaysSo() {
        CTessaryDoc* doc = m_app->OpenDocumentFile(WriteJpeg("plain.jpg", {}));
        QVERIFY(doc);
        QVERIFY(!doc->hasCameraInfo);
        QVERIFY(!m_app->CameraPanel() || !m_app->CameraPanel()->isVisible());
        QString text;
        test::AnswerMessageBox(QMessageBox::Ok, &text);
        QVERIFY(m_app->MainFrame()->Dispatch(ID_SHOW_EXIF));
        QCOMPARE(text, QString("No Camera information can be found in this document..."));
    }

    void theSettingTurnsThePanelOff() {
        m_app->Settings().showExif = 0;
        QVERIFY(m_app->OpenDocumentFile(WriteJpeg("quiet.jpg", {CameraBlock()})));
        QVERIFY(!m_app->CameraPanel());
    }
};

QTEST_MAIN(CameraInfoTest)
#include "tst_camerainfo.moc"
