#pragma once
#include "core/image/DIBSection2.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QLineEdit;

namespace quiltara::gui {

class CValueSlider;

/// "Auto Texture Maker": turns the neighbourhood of a point of the image into the
/// custom texture by the cross-fade that makes tiles seamless. "Size", "Y Ratio", "x 2"
/// and "Square Tile" shape the sampled window; dragging in the preview moves the point.
/// Every change makes the texture again at once and sends textureMade.
class CAutoTextureDlg : public QDialog {
    Q_OBJECT
public:
    /// x and bufferRow: the picked point (buffer rows count from the bottom).
    CAutoTextureDlg(const CDIBSection2& image, int x, int bufferRow, CDIBSection2& texture,
                    QWidget* parent = nullptr);

    CValueSlider* SizeSlider() const { return m_size; }
    CValueSlider* RatioSlider() const { return m_ratio; }
    QCheckBox* DoubleBox() const { return m_double; }
    int PointX() const { return m_x; }
    int PointRow() const { return m_row; }
    /// Moves the sampled point (wrapped into the image) and makes the texture.
    void MovePoint(int x, int bufferRow);
    /// Makes the texture from the controls now.
    void MakeTexture();

signals:
    void textureMade();

private:
    class CPreview;
    const CDIBSection2& m_image;
    CDIBSection2& m_texture;
    int m_x, m_row;
    QImage m_picture; // the image the right way up, for the preview
    CValueSlider* m_size;
    CValueSlider* m_ratio;
    QCheckBox* m_double;
    QLineEdit* m_width;
    QLineEdit* m_height;
    CPreview* m_preview;
};

} // namespace quiltara::gui
