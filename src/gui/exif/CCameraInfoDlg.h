#pragma once
#include "core/exif/CameraSummary.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace quiltara::gui {

/// "Camera Information": the full report of a photograph's camera information,
/// read only, scrollable.
class CCameraInfoDlg : public QDialog {
    Q_OBJECT
public:
    CCameraInfoDlg(const QString& report, QWidget* parent = nullptr);
    QString Report() const;

private:
    QPlainTextEdit* m_text;
};

/// A small tool window with the camera summary of the photograph just opened.
class CCameraInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit CCameraInfoPanel(QWidget* parent = nullptr);
    void ShowSummary(const QString& title, const CCameraSummary& summary);
    QString Text() const;

private:
    QLabel* m_label;
};

/// The summary as the lines the panel shows (only what the photograph says).
QString SummaryText(const CCameraSummary& summary);

} // namespace quiltara::gui
