#pragma once
#include "core/filters/FilterFactory.h"
#include "core/image/DIBSection2.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CFilterPreviewWnd;
class CValueSlider;

/// The "FIlter" dialog: one slot of the filter engine with up to eight colour sliders,
/// their value texts and a zoomable, pannable preview. "Apply" filters the target
/// picture and remembers the values; "Cancel" leaves picture and settings alone.
class CFilterDlg : public QDialog {
    Q_OBJECT
public:
    /// target: the 32-bit picture to filter (the floating selection, the working
    /// image, or any other picture). store: where the values are remembered; the
    /// application's settings when null.
    CFilterDlg(int slot, CDIBSection2& target, QWidget* parent = nullptr,
               ISettingsStore* store = nullptr);
    ~CFilterDlg() override;

    /// Runs the dialog on any picture; true when "Apply" changed it.
    static bool Run(CDIBSection2& picture, int slot, QWidget* parent = nullptr);

    CFilterFactory& Factory() { return m_factory; }
    CFilterPreviewWnd* Preview() const { return m_preview; }
    CValueSlider* Slider(int i) const { return m_sliders[std::size_t(i)]; }
    /// The value text of row i.
    QString ValueText(int i) const;
    /// How often the preview was filtered (a slider release, a pan, a zoom).
    int PreviewRenders() const { return m_previewRenders; }

    /// Called when "Apply" is about to change the target (the picture is copied
    /// already): the last moment to take an undo step. Returning false keeps the
    /// picture as it is and the dialog open.
    void SetBeforeApply(std::function<bool()> beforeApply) {
        m_beforeApply = std::move(beforeApply);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectSlot(int slot);
    /// The number typed into value box i: the slider takes it, held to its range.
    void TakeTypedValue(int i);
    /// Builds the preview picture at the current zoom and filters it.
    void RenderPreview();
    /// Filters the working preview picture from its pristine copy.
    void FilterPreview();
    /// A slider was let go (or Random / Default): the values follow the sliders.
    void SlidersChanged();
    void SetSlidersFromValues();
    void RefreshValueTexts();
    void ChangeZoom(double zoom);
    void OnApply();

    CDIBSection2& m_target;
    CFilterFactory m_factory;
    CFilterPreviewWnd* m_preview = nullptr;
    std::array<QLabel*, 8> m_labels{};
    std::array<CValueSlider*, 8> m_sliders{};
    std::array<QLineEdit*, 8> m_values{};
    std::array<QWidget*, 8> m_rows{};
    QPushButton* m_random = nullptr;
    QComboBox* m_names = nullptr;
    int m_previewRenders = 0;
    std::function<bool()> m_beforeApply;
};

} // namespace quiltara::gui
