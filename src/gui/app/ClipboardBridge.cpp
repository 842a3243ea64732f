#include "app/ClipboardBridge.h"

#include "image/PictureDrawing.h"

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
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void EmptyClipboard() {
    QApplication::clipboard()->clear();
}

} // namespace quiltara::gui
