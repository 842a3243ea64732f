#pragma once
#include "core/document/PrintSize.h"

#include <QDialog>
#include <QString>
#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace quiltara::gui {

class CPrintPagePreview;

/// The printer the dialog reports on.
struct PrinterDescription {
    QString name;
    PrinterFigures figures;
    bool landscape = false;
};

/// "Set Print Size": the sizing mode, the DPI and the format in inches, with the size
/// the picture will print at on the default printer, a page preview and a warning
/// when the picture is larger than the page. "Set" accepts.
class CSetPrintSizeDlg : public QDialog {
    Q_OBJECT
public:
    CSetPrintSizeDlg(int imageWidth, int imageHeight, const PrintSizeSettings& settings,
                     QWidget* parent = nullptr);

    /// The settings as the fields hold them (with the dialog's replacements).
    PrintSizeSettings Settings() const;
    const PrintSizeReport& Report() const { return m_report; }

    /// The default printer, or false when there is none. Qt's by default; tests put
    /// a printer of their own here.
    static std::function<bool(PrinterDescription&)> defaultPrinter;

private:
    void Recompute();
    void RefillFields();

    int m_imageWidth, m_imageHeight;
    PrinterDescription m_printer;
    bool m_hasPrinter = false;
    PrintSizeReport m_report;
    QButtonGroup* m_modes;
    QLineEdit* m_dpi;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QLabel* m_printerName;
    QLabel* m_printerFigures;
    QLabel* m_actual;
    QLabel* m_metric;
    QLabel* m_current;
    QLabel* m_image;
    QLabel* m_warning;
    CPrintPagePreview* m_preview;
};

} // namespace quiltara::gui
