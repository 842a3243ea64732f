#pragma once
#include <QDialog>

namespace quiltara::gui {

/// A small window showing one picture of the Help folder with an "OK" button.
class CHelpPictureWnd : public QDialog {
    Q_OBJECT
public:
    /// Shows fileName from the Help folder, or "Can't find " + name when it cannot be
    /// loaded. Returns false in that case.
    static bool Show(const QString& fileName, QWidget* parent);

private:
    CHelpPictureWnd(const QPixmap& picture, QWidget* parent);
};

} // namespace quiltara::gui
