#pragma once
#include "core/filters/ResizeImageModel.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quiltara::gui {

class CSpinArrows;

/// "Resize Image": the new size in pixels or percent, kept in proportion with
/// "Preserve Ratio", the memory the picture will take, and the interpolation.
class CResizeImageDlg : public QDialog {
    Q_OBJECT
public:
    CResizeImageDlg(int width, int height, int interpolation, QWidget* parent = nullptr);

    unsigned NewWidth() const { return m_model.NewWidth(); }
    unsigned NewHeight() const { return m_model.NewHeight(); }
    int Interpolation() const;
    const CResizeImageModel& Model() const { return m_model; }

private:
    enum Field { kWidth, kHeight, kWidthPercent, kHeightPercent };
    void Typed(Field field);
    void Stepped(Field field, int step);
    /// Every field but the one being typed in shows the model, and the memory text.
    void ShowFields(int except);

    CResizeImageModel m_model;
    QLineEdit* m_fields[4] = {};
    CSpinArrows* m_spins[4] = {};
    QCheckBox* m_preserve = nullptr;
    QComboBox* m_interpolation = nullptr;
    QLabel* m_memory = nullptr;
};

} // namespace quiltara::gui
