#pragma once
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace quiltara {
class CTileWizardModel;
}

namespace quiltara::gui {

/// The wizard's preview (control 1006). Step 1: the picture under a fixed frame,
/// drawn by inverting the pixels under its outline, with a white line just outside;
/// dragging moves the picture. Step 2: the tile repeated over the whole preview.
class CTilePreviewWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 440, kHeight = 330;
    explicit CTilePreviewWnd(CTileWizardModel& model, QWidget* parent = nullptr);

    /// What the preview shows now, as drawn (for the dialog's tests and snapshots).
    QImage Render() const;

signals:
    /// The picture was dragged (the tile is already recomputed in step 2).
    void pictureMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CTileWizardModel& m_model;
    bool m_dragging = false;
    QPoint m_last;
};

} // namespace quiltara::gui
