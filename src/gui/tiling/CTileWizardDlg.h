#pragma once
#include "core/tiling/TileWizardModel.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QStackedWidget;

namespace quiltara::gui {

class CTilePreviewWnd;

/// "Tile Preparation": the two-step wizard every opened picture passes through.
/// The state and arithmetic live in CTileWizardModel; this dialog shows them and
/// forwards the user's actions.
class CTileWizardDlg : public QDialog {
    Q_OBJECT
public:
    /// picture: the loaded picture, 32 bits; it must outlive the dialog.
    explicit CTileWizardDlg(const CDIBSection2& picture, QWidget* parent = nullptr);

    CTileWizardModel& Model() { return m_model; }
    CTilePreviewWnd* Preview() const { return m_preview; }

    // The dialog's commands, also reached by its buttons.
    void OnNextOrBack();
    void OnFinish();
    void OnUseWholeImage();

private:
    QWidget* MakeStep1Page();
    QWidget* MakeStep2Page();
    void ShowStep();
    /// Fields, buttons and labels from the model.
    void RefreshStep1Fields();
    void RefreshButtons();
    void RefreshLabels();
    void Redraw();
    /// Runs one of the model's picture operations; when the memory runs out the user
    /// is told and false returned (the model keeps its last state).
    template <typename Operation> bool Guarded(Operation&& operation);
    /// The page's fields into the model (on "Next >" and "Finish").
    void StoreStep1Fields();

    void OnSourceWidthEdited(const QString& text);
    void OnSourceHeightEdited(const QString& text);
    void OnPercentEdited(const QString& text);
    void OnTileWidthEdited(const QString& text);
    void OnTileHeightEdited(const QString& text);
    void OnApplySize();
    void OnSharpen();
    void OnResetResample();
    void OnResetWhole();
    void OnSliderMoved();
    void OnApplyPitch();
    void OnEffectChosen(int mode);

    CTileWizardModel m_model;
    CTilePreviewWnd* m_preview = nullptr;
    QStackedWidget* m_pages = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QLabel* m_actualSize = nullptr;
    QLabel* m_heldNote = nullptr;
    // Step 1.
    QLineEdit* m_sourceWidth = nullptr;
    QLineEdit* m_sourceHeight = nullptr;
    QLineEdit* m_percent = nullptr;
    QPushButton* m_applySize = nullptr;
    QPushButton* m_sharpen = nullptr;
    QPushButton* m_resetResample = nullptr;
    QPushButton* m_resetWhole = nullptr;
    QLineEdit* m_tileWidth = nullptr;
    QLineEdit* m_tileHeight = nullptr;
    // Step 2.
    QSlider* m_sizeSlider = nullptr;
    QSlider* m_aspectSlider = nullptr;
    QLabel* m_tileSize = nullptr;
    QLineEdit* m_pitch = nullptr;
    QPushButton* m_applyPitch = nullptr;
    QButtonGroup* m_effects = nullptr;
    QCheckBox* m_flattenLight = nullptr;
};

/// Runs the wizard on a loaded picture. False on "Cancel"; otherwise the outcome
/// holds what the document takes.
bool RunTileWizardDialog(const CDIBSection2& picture, TileWizardOutcome& outcome);

} // namespace quiltara::gui
