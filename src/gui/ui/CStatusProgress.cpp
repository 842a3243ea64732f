#include "gui/ui/CStatusProgress.h"

#include <QApplication>
#include <QFontMetrics>
#include <QProgressBar>
#include <QStatusBar>

namespace quiltara::gui {

namespace {
QPointer<QStatusBar>& MainStatusBar() {
    static QPointer<QStatusBar> bar;
    return bar;
}
} // namespace

void CStatusProgress::SetStatusBar(QStatusBar* bar) {
    MainStatusBar() = bar;
}

CStatusProgress::CStatusProgress(const QString& caption, int widthPercent, int maximum)
    : m_statusBar(MainStatusBar()) {
    if (!m_statusBar) return;
    m_statusBar->showMessage(caption);
    m_statusBar->repaint();
    // The message pane is the status bar less its permanent panes on the right.
    int paneRight = m_statusBar->width();
    for (QWidget* child :
         m_statusBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->x() > 0 && child->x() < paneRight) paneRight = child->x();
    const int captionWidth = QFontMetrics(m_statusBar->font()).horizontalAdvance(caption) + 8;
    const int height = m_statusBar->height();
    const int left = captionWidth;
    const int right = captionWidth + (paneRight - captionWidth) * widthPercent / 100;
    const int top = height * 15 / 100;
    const int bottom = height - height * 15 / 100;
    m_bar = new QProgressBar(m_statusBar);
    m_bar->setObjectName("statusProgress");
    m_bar->setTextVisible(false);
    m_bar->setRange(0, maximum);
    m_bar->setGeometry(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
    m_bar->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CStatusProgress::~CStatusProgress() {
    delete m_bar;
    if (m_statusBar) m_statusBar->showMessage("Ready");
}

void CStatusProgress::SetPos(int pos) {
    if (!m_bar) return;
    m_bar->setValue(pos);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CStatusProgressReporter::~CStatusProgressReporter() {
    delete m_progress;
}

void CStatusProgressReporter::Begin(const std::string& caption, int range) {
    delete m_progress;
    m_progress = new CStatusProgress(QString::fromStdString(caption), m_widthPercent, range);
}

void CStatusProgressReporter::SetPos(int pos) {
    if (m_progress) m_progress->SetPos(pos);
}

void CStatusProgressReporter::End() {
    delete m_progress;
    m_progress = nullptr;
}

} // namespace quiltara::gui
