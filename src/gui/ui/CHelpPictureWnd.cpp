#include "gui/ui/CHelpPictureWnd.h"

#include "core/base/ProgramFolders.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QVBoxLayout>

namespace quiltara::gui {

CHelpPictureWnd::CHelpPictureWnd(const QPixmap& picture, QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(" ");
    auto* label = new QLabel;
    label->setPixmap(picture);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

bool CHelpPictureWnd::Show(const QString& fileName, QWidget* parent) {
    const QString path = QString::fromStdString(ProgramFolders().help) + fileName;
    QPixmap picture;
    if (!picture.load(path, "PNG")) {
        QMessageBox::warning(parent, "Quiltara", "Can't find " + fileName);
        return false;
    }
    auto* window = new CHelpPictureWnd(picture, parent);
    window->show();
    return true;
}

} // namespace quiltara::gui
