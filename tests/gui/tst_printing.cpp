// Printing to PDF files and the "Set Print Size" dialog.
#include "GuiTestSupport.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CSetPrintSizeDlg.h"
#include "gui/view/CTessaryView.h"
#include "gui/view/ViewPrinting.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <zlib.h>

using namespace quiltara;
using namespace quiltara::gui;

namespace {

// A placed image: its width and height on the page in points.
struct Placement {
    double width, height;
};

QByteArray Inflate(const QByteArray& data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    QByteArray out;
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - z.avail_out));
    }
    inflateEnd(&z);
    return status == Z_STREAM_END ? out : QByteArray();
}

// Every image drawn on the page, as the page's content stream places it: the current
// transformation (the "cm" operators between "q" and "Q") maps the image's unit
// square onto the page.
std::vector<Placement> PlacedImages(const QString& pdfPath) {
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray pdf = file.readAll();
    std::vector<Placement> placed;
    // Each stream runs from "stream" to "endstream"; its length may be given indirectly.
    static const QRegularExpression streamStart("<<([^>]*)>>\\s*stream\r?\n");
    for (auto it = streamStart.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        const QByteArray dictionary = m.captured(1).toLatin1();
        const qsizetype end = pdf.indexOf("endstream", m.capturedEnd());
        if (dictionary.contains("/Subtype /Image") || end < 0) continue;
        QByteArray content = pdf.mid(m.capturedEnd(), end - m.capturedEnd());
        if (dictionary.contains("/FlateDecode")) content = Inflate(content);
        using Matrix = std::array<double, 6>;
        Matrix ctm{1, 0, 0, 1, 0, 0};
        std::vector<Matrix> saved;
        std::vector<double> numbers;
        for (const QByteArray& token : content.simplified().split(' ')) {
            bool number = false;
            const double v = token.toDouble(&number);
            if (number) {
                numbers.push_back(v);
                continue;
            }
            if (token == "q") saved.push_back(ctm);
            if (token == "Q" && !saved.empty()) ctm = saved.back(), saved.pop_back();
            if (token == "cm" && numbers.size() >= 6) {
                const double* n = &numbers[numbers.size() - 6];
                ctm = {
                    n[0] * ctm[0] + n[1] * ctm[2],          n[0] * ctm[1] + n[1] * ctm[3],
                    n[2] * ctm[0] + n[3] * ctm[2],          n[2] * ctm[1] + n[3] * ctm[3],
                    n[4] * ctm[0] + n[5] * ctm[2] + ctm[4], n[4] * ctm[1] + n[5] * ctm[3] + ctm[5]};
            }
            if (token == "Do")
                placed.push_back({std::hypot(ctm[0], ctm[1]), std::hypot(ctm[2], ctm[3])});
            numbers.clear();
        }
    }
    return placed;
}

CDIBSection2 Picture(int w, int h) {
    CDIBSection2 picture;
    picture.Create(w, h, 32, true);
    picture.Fill(0x336699);
    return picture;
}

bool FakePrinter(PrinterDescription& out) {
    out.name = "Test Printer";
    out.figures = {4800, 6300, 600, 600}; // 8 x 10.5 inches printable
    return true;
}
} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
    test::TempFolder m_folder;

    std::vector<Placement> PrintToPdf(const CDIBSection2& picture, const PrintSizeSettings& s,
                                      const QString& name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        const QString path = QString::fromStdString(m_folder.Path()) + name + ".pdf";
        printer.setOutputFileName(path);
        if (!PrintPicture(printer, picture, s)) return {};
        return PlacedImages(path);
    }

private slots:
    // The printed size in inches (72 points each) for the sizing modes.
    void printedSizeOnPaper() {
        struct Case {
            int w, h;
            PrintSizeSettings settings;
            double inchesWide, inchesHigh;
        };
        const Case cases[] = {
            {600, 400, {kPrintSetDpi, 100, 6, 4}, 6.0, 4.0},
            {600, 600, {kPrintFitIntoFormat, 96, 6, 4}, 4.0, 4.0},
            {100, 50, {kPrintSetDpi, 1, 6, 4}, 100.0, 50.0}, // far beyond the page: cut
        };
        int index = 0;
        for (const Case& c : cases) {
            const auto placed =
                PrintToPdf(Picture(c.w, c.h), c.settings, QString("p%1").arg(index++));
            QCOMPARE(placed.size(), std::size_t(1));
            QVERIFY2(std::abs(placed[0].width - c.inchesWide * 72) < 0.05,
                     qPrintable(QString::number(placed[0].width)));
            QVERIFY2(std::abs(placed[0].height - c.inchesHigh * 72) < 0.05,
                     qPrintable(QString::number(placed[0].height)));
        }
    }

    // "Tile the Page" repeats the tile at its size until the printable area is covered.
    void tiledPage() {
        QPrinter letter(QPrinter::HighResolution);
        letter.setPageSize(QPageSize(QPageSize::Letter));
        const PrintSizeSettings s{kPrintTileThePage, 100, 6, 4};
        const PrintPlacement expected = PlacePrint(200, 150, s, FiguresOf(letter));
        const auto placed = PrintToPdf(Picture(200, 150), s, "tiled");
        QCOMPARE(int(placed.size()), expected.columns * expected.rows);
        QVERIFY(expected.columns > 1 && expected.rows > 1);
        for (const Placement& p : placed) {
            QVERIFY(std::abs(p.width - 144) < 0.05);
            QVERIFY(std::abs(p.height - 108) < 0.05);
        }
        // Below one pixel per inch: an empty page.
        QVERIFY(PrintToPdf(Picture(200, 150), {kPrintSetDpi, 0, 6, 4}, "empty").empty());
    }

    void dialogFiguresAndSet() {
        CSetPrintSizeDlg::defaultPrinter = FakePrinter;
        CSetPrintSizeDlg dialog(600, 400, {kPrintSetDpi, 100, 6, 4});
        auto text = [&dialog](const char* name) { return dialog.findChild<QLabel*>(name)->text(); };
        QCOMPARE(dialog.windowTitle(), QString("Set Print Size"));
        QCOMPARE(text("actualSize"), QString("Actual Size: 6.00 x 4.00 inch"));
        QCOMPARE(text("metricSize"), QString("Metric: 15.24 x 10.16 cm"));
        QCOMPARE(text("printerName"), QString("Test Printer"));
        QVERIFY(dialog.findChild<QLabel*>("warning")->isHidden());
        // A DPI of 0 turns into 1: the picture's size in inches, larger than the page.
        auto* dpi = dialog.findChild<QLineEdit*>("dpi");
        dpi->setText("0");
        emit dpi->editingFinished();
        QCOMPARE(dpi->text(), QString("1"));
        QCOMPARE(text("actualSize"), QString("Actual Size: 600.00 x 400.00 inch"));
        QVERIFY(!dialog.findChild<QLabel*>("warning")->isHidden());
        // "Fit Into Format" 6 x 4 for the same picture: 6 x 4.
        for (QRadioButton* b : dialog.findChildren<QRadioButton*>())
            if (b->text() == "Fit Into Format") b->click();
        QCOMPARE(text("actualSize"), QString("Actual Size: 6.00 x 4.00 inch"));
        QCOMPARE(dialog.Settings().mode, int(kPrintFitIntoFormat));
    }

    // "Set Print Size..." through the menu stores the settings; without a printer the
    // dialog says so and shows no figures.
    void commandStoresTheSettings() {
        test::AppUnderTest app;
        app.Start();
        // "P&rint Setup..." needs no picture.
        QString setupTitle;
        test::WhenModal<QPrintDialog>([&setupTitle](QPrintDialog* d) {
            setupTitle = d->windowTitle();
            d->reject();
        });
        app.Frame()->Dispatch(ID_FILE_PRINT_SETUP);
        QCOMPARE(setupTitle, QString("Print Setup"));
        QVERIFY(test::NewPatternDocument(app.Frame(), 600, 600));
        CSetPrintSizeDlg::defaultPrinter = [](PrinterDescription&) { return false; };
        QString message;
        test::AnswerMessageBox(QMessageBox::Ok, &message);
        QString shownSize = "unset";
        test::WhenModal<CSetPrintSizeDlg>([&shownSize](CSetPrintSizeDlg* d) {
            shownSize = d->findChild<QLabel*>("actualSize")->text();
            for (QRadioButton* b : d->findChildren<QRadioButton*>())
                if (b->text() == "Tile the Page") b->click();
            d->findChild<QLineEdit*>("dpi")->setText("150");
            d->accept();
        });
        app.Frame()->Dispatch(ID_SET_PRINT_SIZE);
        QCOMPARE(message, QString("There is no printer installed."));
        message.clear();
        QCOMPARE(shownSize, QString());
        QCOMPARE(app.app->SettingsValue().printMode, int(kPrintTileThePage));
        QCOMPARE(app.app->SettingsValue().dpi, 150);
        QCOMPARE(app.app->Store().GetInt("GSettings", "DPI", 0), 150);

        // The preview draws the page through the same printing.
        bool previewed = false;
        test::WhenModal<QPrintPreviewDialog>([&previewed](QPrintPreviewDialog* d) {
            previewed = true;
            d->reject();
        });
        app.Frame()->Dispatch(ID_FILE_PRINT_PREVIEW);
        QVERIFY(previewed);
        // Printing at once with no printer at all (never on a machine that has one).
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            test::AnswerMessageBox(QMessageBox::Ok, &message);
            app.Frame()->Dispatch(ID_FILE_PRINT_DIRECT);
            QCOMPARE(message, QString("There is no printer installed."));
        }
        app.Stop();
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
