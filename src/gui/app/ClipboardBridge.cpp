#include "gui/app/ClipboardBridge.h"

#include "gui/image/PictureDrawing.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace quiltara::gui {

void PutPictureOnClipboard(const CDIBSection2& picture) {
    if (picture.IsEmpty()) return;
    QImage image = PictureToImage(picture).convertToFormat(QImage::Format_RGB32);
    QApplication::clipboard()->setImage(image);
}

bool TakePictureFromClipboard(CDIBSection2& picture) {
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) return false;
    ImageToPicture(image.convertToFormat(QImage::Format_RGB32), picture);
    picture.SetAlpha(255);
    return true;
}

bool ClipboardHasPicture() {
    // Menus ask several times a second; asking the system clipboard each time can mean
    // a round trip to another program, so the answer is kept until the clipboard changes.
    static bool hasPicture = false;
    static const bool watching = [] {
        QClipboard* clipboard = QApplication::clipboard();
        auto update = [clipboard] {
            const QMimeData* data = clipboard->mimeData();
            hasPicture = data && data->hasImage();
        };
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, update);
        update();
        return true;
    }();
    (void)watching;
    return hasPicture;
}

void EmptyClipboard() {
    QApplication::clipboard()->clear();
}

} // namespace quiltara::gui
