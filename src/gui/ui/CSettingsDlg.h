#pragma once
#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace quiltara::gui {

/// "Settings...": the undo levels and whether camera information is shown on opening.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CSettingsDlg(int undoLevels, bool showExif, QWidget* parent = nullptr);
    int UndoLevels() const;
    bool ShowExif() const;

private:
    QSpinBox* m_undo;
    QCheckBox* m_showExif;
};

} // namespace quiltara::gui
