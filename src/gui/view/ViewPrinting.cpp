#include "gui/view/ViewPrinting.h"

#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/app/CommandTarget.h"
#include "gui/image/PictureDrawing.h"
#include "gui/view/CSetPrintSizeDlg.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <memory>
#include <new>

namespace quiltara::gui {

namespace {
const char* const kBitmapError = "Error, Can't create bitmap. Low Memory?";
std::unique_ptr<QPrinter> s_printer;
} // namespace

QPrinter& SharedPrinter() {
    if (!s_printer) {
        s_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Before the application's objects go, the printer goes.
        qAddPostRoutine([] { s_printer.reset(); });
    }
    return *s_printer;
}

PrintSizeSettings CurrentPrintSettings() {
    PrintSizeSettings settings;
    if (CTessaryApp* app = CTessaryApp::Instance()) {
        const CAppSettings& s = app->SettingsValue();
        settings.mode = s.printMode;
        settings.dpi = s.dpi;
        settings.width = s.printWidth / 100.0;
        settings.height = s.printHeight / 100.0;
    }
    return settings;
}

PrinterFigures FiguresOf(const QPrinter& printer) {
    const int resolution = printer.resolution();
    const QRect area = printer.pageLayout().paintRectPixels(resolution);
    return {area.width(), area.height(), resolution, resolution};
}

bool PrintPicture(QPrinter& printer, const CDIBSection2& picture, const PrintSizeSettings& settings,
                  QString* error) {
    const PrinterFigures figures = FiguresOf(printer);
    const PrintPlacement placement =
        PlacePrint(picture.GetWidth(), picture.GetHeight(), settings, figures);
    QImage image;
    if (placement.printable) {
        try {
            // Paper shows the colours; the fourth byte is not coverage here.
            image = PictureToImage(picture).convertToFormat(QImage::Format_RGB32);
        } catch (const std::bad_alloc&) {
            image = QImage();
        }
        if (image.isNull()) {
            if (error) *error = kBitmapError;
            return false;
        }
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        // Without any printer Qt's printer is a PDF writer without a file.
        if (error)
            *error = QPrinterInfo::availablePrinterNames().isEmpty() &&
                             printer.outputFileName().isEmpty()
                         ? "There is no printer installed."
                         : "The printer cannot be opened.";
        return false;
    }
    if (placement.printable) {
        // The painter's origin is the printable area's top left, in printer pixels.
        painter.setClipRect(QRect(0, 0, figures.printableWidth, figures.printableHeight));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (int row = 0; row < placement.rows; ++row)
            for (int column = 0; column < placement.columns; ++column)
                painter.drawImage(QRectF(column * placement.width, row * placement.height,
                                         placement.width, placement.height),
                                  image);
    }
    painter.end();
    return true;
}

namespace {
void PrintWithMessage(QWidget* view, QPrinter& printer, const CDIBSection2& picture) {
    QString error;
    if (!PrintPicture(printer, picture, CurrentPrintSettings(), &error))
        QMessageBox::warning(view, "Quiltara", error);
}

void SetPrintSize(QWidget* view, const CDIBSection2& picture) {
    CTessaryApp* app = CTessaryApp::Instance();
    if (!app) return;
    CSetPrintSizeDlg dialog(picture.GetWidth(), picture.GetHeight(), CurrentPrintSettings(), view);
    if (dialog.exec() != QDialog::Accepted) return;
    const PrintSizeSettings chosen = dialog.Settings();
    CAppSettings& s = app->Settings();
    s.printMode = chosen.mode;
    s.dpi = chosen.dpi;
    s.printWidth = int(std::lround(chosen.width * 100));
    s.printHeight = int(std::lround(chosen.height * 100));
    app->WriteSettings();
}
} // namespace

void RunPrintSetup(QWidget* parent) {
    // The printer and its page are chosen; nothing is printed.
    QPrintDialog dialog(&SharedPrinter(), parent);
    dialog.setWindowTitle("Print Setup");
    dialog.exec();
}

bool RunPrintCommand(int id, QWidget* view, const CDIBSection2& picture) {
    switch (id) {
    case ID_FILE_PRINT: {
        QPrintDialog dialog(&SharedPrinter(), view);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialog.exec() == QDialog::Accepted) PrintWithMessage(view, SharedPrinter(), picture);
        return true;
    }
    case ID_FILE_PRINT_DIRECT:
        PrintWithMessage(view, SharedPrinter(), picture);
        return true;
    case ID_FILE_PRINT_PREVIEW: {
        QPrintPreviewDialog preview(&SharedPrinter(), view);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, view,
                         [&picture](QPrinter* printer) {
                             PrintPicture(*printer, picture, CurrentPrintSettings());
                         });
        preview.exec();
        return true;
    }
    case ID_SET_PRINT_SIZE:
        SetPrintSize(view, picture);
        return true;
    default:
        return false;
    }
}

bool UpdatePrintCommand(int id, const CDIBSection2& picture, CommandState& state) {
    switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
    case ID_SET_PRINT_SIZE:
        state.enabled = !picture.IsEmpty();
        return true;
    default:
        return false;
    }
}

} // namespace quiltara::gui
