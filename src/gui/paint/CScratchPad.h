#pragma once
#include "core/image/DIBSection2.h"
#include "core/paint/Brush.h"

#include <QWidget>
#include <memory>

namespace quiltara {
class CStroke;
}

namespace quiltara::gui {

/// A small white canvas where a brush being edited is tried with the stroke engine,
/// in the foreground colour and the painting context's blend mode, at the pad's own
/// opacity.
class CScratchPad : public QWidget {
    Q_OBJECT
public:
    explicit CScratchPad(QWidget* parent = nullptr);
    ~CScratchPad() override;
    /// The brush the pad paints with (copied, stamp in the foreground colour).
    void SetBrush(const CBrush& brush);
    void SetOpacity(int opacity) { m_opacity = opacity; }
    /// Fills the pad with white.
    void Clear();
    const CDIBSection2& Picture() const { return m_picture; }
    QSize sizeHint() const override { return {220, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CDIBSection2 m_picture;
    CBrush m_brush;
    int m_opacity = 255;
    std::unique_ptr<CStroke> m_stroke;
};

} // namespace quiltara::gui
