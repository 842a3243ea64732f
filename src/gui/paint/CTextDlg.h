#pragma once
#include "core/paint/TextTool.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CFontCombo;
class CSliderButton;

/// The "Text" dialog: the text, its font, size, style, alignment and colours, drop
/// shadow and 3D, and the character map. On OK the size is checked (the dialog stays
/// open with a message when it is refused) and the settings are remembered.
class CTextDlg : public QDialog {
    Q_OBJECT
public:
    /// editing: an existing text is edited again; when its font is not installed the
    /// dialog says so once it is up.
    CTextDlg(const CTextSettings& settings, ISettingsStore* store, QWidget* parent = nullptr,
             bool editing = false);
    CTextSettings Settings() const;
    void accept() override;

private:
    void ChooseColor(QPushButton* button, ColorRef& color);
    void ShowColor(QPushButton* button, ColorRef color);
    void InsertCharacter();

    ISettingsStore* m_store;
    QPlainTextEdit* m_text;
    CFontCombo* m_font;
    QLineEdit* m_size;
    CSliderButton* m_sizeSlider;
    QCheckBox *m_bold, *m_italic, *m_shadow, *m_bevel;
    QRadioButton* m_align[3];
    QPushButton *m_textColor, *m_shadowColor;
    QSpinBox* m_distance;
    ColorRef m_color, m_colorB;
    QString m_face; // the face asked for, kept when it is not installed
};

} // namespace quiltara::gui
