#pragma once
#include <QDialog>

class QCheckBox;

namespace quiltara::gui {

/// "Pressure Sensitive Tablet": the switch and the installed device. The switch is
/// disabled when no tablet is installed.
class CTabletDlg : public QDialog {
    Q_OBJECT
public:
    CTabletDlg(bool enabled, const QString& statusText, QWidget* parent = nullptr);
    bool TabletEnabled() const;

private:
    QCheckBox* m_enable;
};

} // namespace quiltara::gui
