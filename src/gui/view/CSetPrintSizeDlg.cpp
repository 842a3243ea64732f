#include "gui/view/CSetPrintSizeDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace quiltara::gui {

/// The page in its orientation with the picture's place on it (every copy when the
/// page is tiled).
class CPrintPagePreview : public QWidget {
public:
    explicit CPrintPagePreview(QWidget* parent) : QWidget(parent) {
        setObjectName("pagePreview");
        setFixedSize(120, 120);
    }
    void SetPage(double pageWidth, double pageHeight, double width, double height, int columns,
                 int rows) {
        m_pageWidth = pageWidth, m_pageHeight = pageHeight;
        m_width = width, m_height = height, m_columns = columns, m_rows = rows;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (!(m_pageWidth > 0 && m_pageHeight > 0)) return;
        const double scale = std::min((width() - 10) / m_pageWidth, (height() - 10) / m_pageHeight);
        const QRectF page((width() - m_pageWidth * scale) / 2,
                          (height() - m_pageHeight * scale) / 2, m_pageWidth * scale,
                          m_pageHeight * scale);
        p.fillRect(page.translated(3, 3), Qt::darkGray);
        p.fillRect(page, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(page);
        p.setClipRect(page);
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c) {
                const QRectF picture(page.left() + c * m_width * scale,
                                     page.top() + r * m_height * scale, m_width * scale,
                                     m_height * scale);
                p.fillRect(picture, QColor(150, 180, 220));
                p.drawRect(picture);
            }
    }

private:
    double m_pageWidth = 0, m_pageHeight = 0, m_width = 0, m_height = 0;
    int m_columns = 0, m_rows = 0;
};

std::function<bool(PrinterDescription&)> CSetPrintSizeDlg::defaultPrinter =
    [](PrinterDescription& out) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) return false;
        QPrinter printer(info, QPrinter::HighResolution);
        const int resolution = printer.resolution();
        const QRect area = printer.pageLayout().paintRectPixels(resolution);
        out.name = info.printerName();
        out.figures = {area.width(), area.height(), resolution, resolution};
        out.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
        return true;
    };

CSetPrintSizeDlg::CSetPrintSizeDlg(int imageWidth, int imageHeight,
                                   const PrintSizeSettings& settings, QWidget* parent)
    : QDialog(parent), m_imageWidth(imageWidth), m_imageHeight(imageHeight),
      m_modes(new QButtonGroup(this)), m_dpi(new QLineEdit(this)), m_width(new QLineEdit(this)),
      m_height(new QLineEdit(this)), m_printerName(new QLabel(this)),
      m_printerFigures(new QLabel(this)), m_actual(new QLabel(this)), m_metric(new QLabel(this)),
      m_current(new QLabel(this)), m_image(new QLabel(this)), m_warning(new QLabel(this)),
      m_preview(new CPrintPagePreview(this)) {
    setWindowTitle("Set Print Size");
    m_dpi->setObjectName("dpi");
    m_width->setObjectName("width");
    m_height->setObjectName("height");
    m_actual->setObjectName("actualSize");
    m_metric->setObjectName("metricSize");
    m_current->setObjectName("currentDpi");
    m_image->setObjectName("imageSize");
    m_printerName->setObjectName("printerName");
    m_printerFigures->setObjectName("printerFigures");
    m_warning->setObjectName("warning");
    m_dpi->setValidator(new QIntValidator(0, 99999, this));
    m_width->setValidator(new QDoubleValidator(0, 9999, 2, this));
    m_height->setValidator(new QDoubleValidator(0, 9999, 2, this));
    m_warning->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    m_warning->setToolTip("The picture is larger than the page.");

    auto* how = new QGroupBox("How To Print the Image", this);
    auto* howLayout = new QGridLayout(how);
    const char* const names[] = {"Stretch to fit", "Set DPI of Image", "Fit Into Format",
                                 "Tile the Page"};
    for (int mode = kPrintStretchToFit; mode <= kPrintTileThePage; ++mode) {
        auto* button = new QRadioButton(names[mode], how);
        m_modes->addButton(button, mode);
        howLayout->addWidget(button, mode, 0);
    }
    howLayout->addWidget(m_dpi, kPrintSetDpi, 1);
    auto* format = new QHBoxLayout;
    format->addWidget(m_width);
    format->addWidget(new QLabel("x", how));
    format->addWidget(m_height);
    format->addWidget(new QLabel("inch", how));
    howLayout->addLayout(format, kPrintFitIntoFormat, 1);

    auto* printerBox = new QGroupBox("Current Printer", this);
    auto* printerLayout = new QVBoxLayout(printerBox);
    printerLayout->addWidget(m_printerName);
    printerLayout->addWidget(m_printerFigures);

    auto* figures = new QVBoxLayout;
    for (QLabel* label : {m_image, m_actual, m_metric, m_current}) figures->addWidget(label);
    auto* pageRow = new QHBoxLayout;
    pageRow->addLayout(figures);
    pageRow->addWidget(m_warning);
    pageRow->addWidget(m_preview);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Set");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(how);
    layout->addWidget(printerBox);
    layout->addLayout(pageRow);
    layout->addWidget(buttons);

    const int mode = settings.mode >= kPrintStretchToFit && settings.mode <= kPrintTileThePage
                         ? settings.mode
                         : 0;
    m_modes->button(mode)->setChecked(true);
    m_dpi->setText(QString::number(SanitisePrintDpi(settings.dpi)));
    m_width->setText(QString::number(SanitisePrintInches(settings.width), 'f', 2));
    m_height->setText(QString::number(SanitisePrintInches(settings.height), 'f', 2));

    m_hasPrinter = defaultPrinter && defaultPrinter(m_printer);
    if (!m_hasPrinter) {
        QMessageBox::warning(parent, "Quiltara", "There is no printer installed.");
    } else {
        m_printerName->setText(m_printer.name);
        m_printerFigures->setText(QString::fromStdString(PrinterText(m_printer.figures)));
    }
    connect(m_modes, &QButtonGroup::idClicked, this, &CSetPrintSizeDlg::Recompute);
    for (QLineEdit* edit : {m_dpi, m_width, m_height}) {
        connect(edit, &QLineEdit::textChanged, this, &CSetPrintSizeDlg::Recompute);
        connect(edit, &QLineEdit::editingFinished, this, &CSetPrintSizeDlg::RefillFields);
    }
    Recompute();
}

PrintSizeSettings CSetPrintSizeDlg::Settings() const {
    PrintSizeSettings s;
    s.mode = std::max(0, m_modes->checkedId());
    s.dpi = SanitisePrintDpi(m_dpi->text().toInt());
    s.width = SanitisePrintInches(m_width->text().toDouble());
    s.height = SanitisePrintInches(m_height->text().toDouble());
    return s;
}

void CSetPrintSizeDlg::RefillFields() {
    // Empty or zero entries are replaced rather than refused.
    const PrintSizeSettings s = Settings();
    if (m_dpi->text().toInt() != s.dpi) m_dpi->setText(QString::number(s.dpi));
    if (!(m_width->text().toDouble() > 0)) m_width->setText(QString::number(s.width, 'f', 2));
    if (!(m_height->text().toDouble() > 0)) m_height->setText(QString::number(s.height, 'f', 2));
}

void CSetPrintSizeDlg::Recompute() {
    const PrintSizeSettings s = Settings();
    m_dpi->setEnabled(s.mode == kPrintSetDpi || s.mode == kPrintTileThePage);
    m_width->setEnabled(s.mode == kPrintFitIntoFormat);
    m_height->setEnabled(s.mode == kPrintFitIntoFormat);
    m_image->setText(QString::fromStdString(ImageSizeText(m_imageWidth, m_imageHeight)));
    m_report = ReportPrintSize(m_imageWidth, m_imageHeight, s,
                               m_hasPrinter ? m_printer.figures : PrinterFigures{});
    const bool shown = m_report.valid;
    m_actual->setText(shown ? QString::fromStdString(ActualSizeText(m_report)) : QString());
    m_metric->setText(shown ? QString::fromStdString(MetricSizeText(m_report)) : QString());
    m_current->setText(shown ? QString::fromStdString(CurrentResolutionText(m_report)) : QString());
    m_warning->setVisible(shown && m_report.largerThanPage);
    if (!shown) {
        m_preview->SetPage(0, 0, 0, 0, 0, 0);
        return;
    }
    int columns = 1, rows = 1;
    if (s.mode == kPrintTileThePage) {
        const PrintPlacement placement =
            PlacePrint(m_imageWidth, m_imageHeight, s, m_printer.figures);
        columns = placement.columns, rows = placement.rows;
    }
    m_preview->SetPage(m_report.pageWidth, m_report.pageHeight, m_report.width, m_report.height,
                       columns, rows);
}

} // namespace quiltara::gui
