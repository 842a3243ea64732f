#pragma once
#include "core/paint/Brush.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace quiltara::gui {

class CScratchPad;

/// "Brush Properties": edits a copy of one brush record; OK gives it back through
/// Brush(). "APPLY" makes the stamp and preview from the fields and refreshes the
/// "Scratch Pad", where the brush can be tried.
class CBrushPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBrushPropertiesDlg(const CBrush& brush, QWidget* parent = nullptr);
    /// The brush as edited (the fields are stored and the stamp made on OK).
    const CBrush& Brush() const { return m_brush; }
    /// Stores the fields into the brush and remakes its stamp and preview.
    void ApplyFields();
    /// "Settings" of an "Image Hose": the editor of its frames; after its OK the mask
    /// shows the frame the next dab lays.
    void EditImageHose();

    QLineEdit* NameField() const { return m_name; }
    QSlider* SizeSlider() const { return m_size; }
    QSlider* BlurSlider() const { return m_blur; }
    QSlider* SpacingSlider() const { return m_spacing; }
    QButtonGroup* TypeGroup() const { return m_type; }
    QComboBox* PressureList() const { return m_pressure; }
    CScratchPad* ScratchPad() const { return m_pad; }

    void accept() override;

private:
    void ShowFields();
    void UpdateEnabling();
    bool LoadPicture(CDIBSection2& picture, bool* hasAlpha = nullptr);

    CBrush m_brush;
    QLineEdit* m_name;
    QSlider* m_size;
    QLineEdit* m_sizeText;
    QSlider* m_blur;
    QLineEdit* m_blurText;
    QSlider* m_spacing;
    QLineEdit* m_spacingText;
    QCheckBox* m_spacingOn;
    QButtonGroup* m_type;
    QCheckBox* m_overlay;
    QCheckBox* m_autoGenerate;
    QComboBox* m_pressure;
    QPushButton* m_loadImage;
    QPushButton* m_loadMask;
    QCheckBox* m_negative;
    QPushButton* m_loadPreview;
    QPushButton* m_pastePreview;
    QLabel* m_maskSize;
    QLabel* m_preview;
    CScratchPad* m_pad;
};

} // namespace quiltara::gui
