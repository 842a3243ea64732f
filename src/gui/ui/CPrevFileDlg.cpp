#include "gui/ui/CPrevFileDlg.h"

#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace quiltara::gui {

CPreviewWnd::CPreviewWnd(QWidget* parent) : QWidget(parent) {
    setObjectName("preview");
    setFixedSize(162, 122);
}

void CPreviewWnd::Clear() {
    m_shown = QImage();
    m_width = m_height = 0;
    update();
}

bool CPreviewWnd::Show(const QString& path) {
    Clear();
    const std::string file = path.toStdString();
    CImageFileBuffer buffer;
    if (buffer.LoadAs(file, FormatFromExtension(PathExtension(file))) != 0 || !buffer.HasPixels())
        return false;
    m_width = buffer.Width();
    m_height = buffer.Height();
    const std::uint8_t* rgb = buffer.LockRGB();
    if (!rgb) return false;
    const QImage full(rgb, m_width, m_height, m_width * 3, QImage::Format_RGB888);
    const int cw = width() - 2, ch = height() - 2;
    if (m_width > cw || m_height > ch) {
        const double s = std::max(double(m_width) / cw, double(m_height) / ch);
        m_shown = full.scaled(int(m_width / s), int(m_height / s), Qt::IgnoreAspectRatio,
                              Qt::SmoothTransformation);
    } else {
        m_shown = full.copy();
    }
    buffer.Unlock();
    update();
    return true;
}

void CPreviewWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(area, Qt::white);
    if (m_shown.isNull()) return;
    const QPoint at(area.x() + (area.width() - m_shown.width()) / 2,
                    area.y() + (area.height() - m_shown.height()) / 2);
    painter.drawImage(at, m_shown);
}

bool& CPrevFileDlg::PreviewFlag() {
    static bool flag = true;
    return flag;
}

CPrevFileDlg::CPrevFileDlg(QWidget* parent, const QString& title, const QString& startFolder,
                           const QStringList& nameFilters)
    : QFileDialog(parent, title, startFolder) {
    setObjectName("PrevFileDlg");
    // Our own side panel needs Qt's dialog rather than the desktop's.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(nameFilters);

    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    m_check = new QCheckBox("&Preview");
    m_check->setObjectName("previewCheck");
    m_check->setChecked(PreviewFlag());
    m_preview = new CPreviewWnd;
    m_sizeLabel = new QLabel("No Image");
    m_sizeLabel->setObjectName("sizeLabel");
    m_sizeLabel->setAlignment(Qt::AlignCenter);
    auto* recent = new QPushButton("Recent"); // kept for its place; it does nothing
    recent->setEnabled(false);
    column->addWidget(m_check);
    column->addWidget(m_preview);
    column->addWidget(m_sizeLabel);
    column->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(m_check, &QCheckBox::toggled, this, &CPrevFileDlg::PreviewToggled);
    connect(this, &QFileDialog::currentChanged, this, &CPrevFileDlg::SelectionChanged);
    connect(this, &QFileDialog::directoryEntered, this, &CPrevFileDlg::FolderChanged);
}

void CPrevFileDlg::SelectionChanged(const QString& path) {
    m_current = path;
    if (!PreviewFlag()) {
        m_preview->Clear();
    } else if (QFileInfo(path).isFile()) {
        // Let the dialog catch up before a long load.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_preview->Show(path);
    } else {
        m_preview->Clear();
    }
    UpdateLabel();
}

void CPrevFileDlg::FolderChanged() {
    m_preview->Clear();
    UpdateLabel();
}

void CPrevFileDlg::PreviewToggled(bool on) {
    PreviewFlag() = on;
    if (on && !m_current.isEmpty())
        SelectionChanged(m_current);
    else
        m_preview->Clear();
    UpdateLabel();
}

void CPrevFileDlg::UpdateLabel() {
    const int w = m_preview->PictureWidth(), h = m_preview->PictureHeight();
    m_sizeLabel->setText(w > 0 && h > 0 ? QString("%1 x %2\nPixels").arg(w).arg(h) : "No Image");
}

} // namespace quiltara::gui
