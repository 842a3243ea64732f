#include "gui/exif/CCameraInfoDlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quiltara::gui {

CCameraInfoDlg::CCameraInfoDlg(const QString& report, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Camera Information");
    setObjectName("CameraInfoDlg");
    m_text = new QPlainTextEdit;
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(report);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(620, 520);
}

QString CCameraInfoDlg::Report() const {
    return m_text->toPlainText();
}

QString SummaryText(const CCameraSummary& s) {
    QStringList lines;
    auto add = [&lines](const char* label, const QString& value) {
        if (!value.isEmpty()) lines << QString("%1: %2").arg(label, value);
    };
    add("Camera",
        QString::fromStdString(s.make + (s.model.empty() ? "" : " " + s.model)).trimmed());
    add("Taken", QString::fromStdString(s.dateTime));
    if (s.exposureTime > 0)
        add("Exposure", s.exposureTime < 1 ? QString("1/%1 s").arg(qRound(1.0 / s.exposureTime))
                                           : QString("%1 s").arg(s.exposureTime));
    if (s.fNumber > 0) add("Aperture", QString("f/%1").arg(s.fNumber, 0, 'f', 1));
    if (s.focalLength > 0) add("Focal length", QString("%1 mm").arg(s.focalLength));
    if (s.isoSpeed > 0) add("ISO", QString::number(s.isoSpeed));
    if (s.exposureBias != 0) add("Exposure bias", QString("%1 EV").arg(s.exposureBias, 0, 'f', 2));
    add("Program", QString::fromStdString(s.exposureProgram));
    add("Metering", QString::fromStdString(s.meteringMode));
    if (s.flash >= 0) add("Flash", (s.flash & 1) ? "fired" : "did not fire");
    return lines.join('\n');
}

CCameraInfoPanel::CCameraInfoPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("CameraInfoPanel");
    setWindowTitle("Camera Info");
    m_label = new QLabel;
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
}

void CCameraInfoPanel::ShowSummary(const QString& title, const CCameraSummary& summary) {
    setWindowTitle("Camera Info - " + title);
    const QString text = SummaryText(summary);
    m_label->setText(text.isEmpty() ? "The photograph names no camera settings." : text);
    adjustSize();
    show();
    raise();
}

QString CCameraInfoPanel::Text() const {
    return m_label->text();
}

} // namespace quiltara::gui
