#pragma once
#include "core/image/DIBSection2.h"

#include <QWidget>

class QAction;
class QComboBox;
class QToolButton;

namespace quiltara::gui {

class CColorPicker;
class CValueSlider;

/// The "Color & Texture" bar: the foreground and background colours, the opacity, the
/// texture list of the textures folder with "No Texture.bmp" and "Custom Texture", the
/// texture's strength and modes ("Screen", "F-B", "Align", "CL"), the clone-source
/// strip and the custom texture's "Save...", "Export Custom..." and "Import Custom...".
/// It edits the application's painting context.
class CColorTexturePanel : public QWidget {
    Q_OBJECT
public:
    explicit CColorTexturePanel(QWidget* parent = nullptr);

    /// The clone-source strip runs these commands ("Paint with Color", "Texture Clone",
    /// "Original Clone"), so menu and strip show the same choice.
    void SetCloneActions(QAction* none, QAction* texture, QAction* original);
    /// Shows the painting context's colours and opacity again (after Color Pick).
    void Refresh();
    /// Reads the textures folder again; the entry shown stays selected when it is there.
    void RebuildTextureList();
    /// Selects "Custom Texture" and applies the bar (after a custom texture was made).
    void SelectCustomTexture();
    /// Selects "No Texture.bmp" and clears the texture.
    void ResetTexture();
    /// Reads every control into the painting context.
    void Apply();
    /// Texture Pick's release: the "Auto Texture Maker" on the picture at the point.
    void RunAutoTextureMaker(const CDIBSection2& image, int x, int bufferRow);
    void SaveCustomTexture();
    void ExportCustomTexture();
    void ImportCustomTexture();

    CColorPicker* Picker() const { return m_picker; }
    QComboBox* TextureList() const { return m_textures; }
    CValueSlider* Strength() const { return m_strength; }
    CValueSlider* Opacity() const { return m_opacity; }
    QToolButton* ModeButton(const char* label) const;

signals:
    /// "CL" changed: the bars that depend on it are refreshed.
    void centreSamplingChanged();
    /// The foreground colour changed (the brush was recoloured).
    void colorsChanged();

private:
    void ApplyTexture(bool reload);
    void ShowTextureControls();

    CColorPicker* m_picker;
    CValueSlider* m_opacity;
    QComboBox* m_textures;
    CValueSlider* m_strength;
    QToolButton* m_screen;
    QToolButton* m_foreBack;
    QToolButton* m_align;
    QToolButton* m_centre;
    QToolButton* m_clone[3] = {};
    QToolButton* m_menu;
};

} // namespace quiltara::gui
