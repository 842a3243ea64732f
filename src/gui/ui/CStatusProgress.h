#pragma once
#include "core/base/ProgressReporter.h"

#include <QPointer>
#include <QString>

class QProgressBar;
class QStatusBar;

namespace quiltara::gui {

/// The status bar's progress indicator: a caption in the message pane and a bar to
/// its right for the duration of one long operation. "Ready" returns when it goes.
class CStatusProgress {
public:
    /// caption, bar width in percent of the pane right of the caption, maximum.
    CStatusProgress(const QString& caption, int widthPercent, int maximum);
    ~CStatusProgress();
    CStatusProgress(const CStatusProgress&) = delete;
    CStatusProgress& operator=(const CStatusProgress&) = delete;

    /// Moves the bar and lets the window repaint (input waits until the work ends).
    void SetPos(int pos);
    QProgressBar* Bar() const { return m_bar; }

    /// The main window's status bar, where indicators appear; none, none appear.
    static void SetStatusBar(QStatusBar* bar);

private:
    QPointer<QStatusBar> m_statusBar;
    QProgressBar* m_bar = nullptr;
};

/// The core's progress interface shown with a CStatusProgress.
class CStatusProgressReporter final : public IProgressReporter {
public:
    explicit CStatusProgressReporter(int widthPercent = 40) : m_widthPercent(widthPercent) {}
    ~CStatusProgressReporter() override;
    void Begin(const std::string& caption, int range) override;
    void SetPos(int pos) override;
    void End() override;

private:
    int m_widthPercent;
    CStatusProgress* m_progress = nullptr;
};

} // namespace quiltara::gui
