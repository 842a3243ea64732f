#pragma once
#include <QFileDialog>
#include <QImage>

class QCheckBox;
class QLabel;

namespace quiltara::gui {

/// The small preview area of the open dialog: the selected picture shrunk to fit,
/// centred on white.
class CPreviewWnd : public QWidget {
    Q_OBJECT
public:
    explicit CPreviewWnd(QWidget* parent = nullptr);
    void Clear();
    /// Loads path through the image file layer; false (and cleared) when it is no picture.
    bool Show(const QString& path);
    int PictureWidth() const { return m_width; }
    int PictureHeight() const { return m_height; }
    /// The size the picture is drawn at (0 x 0 when none).
    QSize DrawnSize() const { return m_shown.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_shown;
    int m_width = 0, m_height = 0;
};

/// "&Open..."'s dialog: the open-file dialog with a "&Preview" check box, a preview of
/// the selected picture and its size in pixels.
class CPrevFileDlg : public QFileDialog {
    Q_OBJECT
public:
    CPrevFileDlg(QWidget* parent, const QString& title, const QString& startFolder,
                 const QStringList& nameFilters);

    CPreviewWnd* Preview() const { return m_preview; }
    QLabel* SizeLabel() const { return m_sizeLabel; }
    QCheckBox* PreviewCheck() const { return m_check; }
    /// The preview flag: on at program start, changed only by the check box.
    static bool& PreviewFlag();

    /// What the dialog does when the selection changes to path.
    void SelectionChanged(const QString& path);
    void FolderChanged();

private:
    void UpdateLabel();
    void PreviewToggled(bool on);

    QCheckBox* m_check;
    CPreviewWnd* m_preview;
    QLabel* m_sizeLabel;
    QString m_current;
};

} // namespace quiltara::gui
