#include "gui/image/PictureDrawing.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cstring>
#include <vector>

namespace quiltara::gui {

QImage WrapPicture(const CDIBSection2& picture, bool withCoverage) {
    if (picture.GetBitsPerPixel() != 32) return {};
    // Pixels are blue, green, red, alpha bytes: Format_(A)RGB32 on little-endian machines.
    return QImage(picture.GetBits(), picture.GetWidth(), picture.GetHeight(),
                  picture.GetBytesPerLine(),
                  withCoverage ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QImage PictureToImage(const CDIBSection2& picture) {
    const QImage wrapped = WrapPicture(picture, picture.HasAlpha());
    if (wrapped.isNull()) return {};
    return wrapped.mirrored(false, true).convertToFormat(QImage::Format_ARGB32);
}

void ImageToPicture(const QImage& image, CDIBSection2& picture) {
    if (image.isNull()) return;
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    // Rows of the converted image may be padded; hand the core an unpadded buffer.
    std::vector<std::uint8_t> buffer(std::size_t(rgba.width()) * rgba.height() * 4);
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(buffer.data() + std::size_t(y) * rgba.width() * 4, rgba.constScanLine(y),
                    std::size_t(rgba.width()) * 4);
    picture.ImportRGBA(buffer.data(), rgba.width(), rgba.height());
}

void DrawPartScaled(QPainter& painter, const CDIBSection2& picture, const QRect& source,
                    const QRectF& target, bool smooth, bool withCoverage) {
    const QImage image = WrapPicture(picture, withCoverage);
    if (image.isNull() || source.isEmpty() || target.isEmpty()) return;
    // Picture rows run downwards, memory rows upwards: flip the source rectangle and
    // draw through a transform that turns it back.
    const QRect memory(source.x(), picture.GetHeight() - source.y() - source.height(),
                       source.width(), source.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.translate(target.x(), target.y() + target.height());
    painter.scale(1.0, -1.0);
    painter.drawImage(QRectF(0, 0, target.width(), target.height()), image, memory);
    painter.restore();
}

void Draw(QPainter& painter, const CDIBSection2& picture, int x, int y) {
    DrawPart(painter, picture, x, y, QRect(0, 0, picture.GetWidth(), picture.GetHeight()));
}

void DrawPart(QPainter& painter, const CDIBSection2& picture, int x, int y, const QRect& source) {
    DrawPartScaled(painter, picture, source, QRectF(x, y, source.width(), source.height()), false);
}

void StretchDraw(QPainter& painter, const CDIBSection2& picture, int x, int y, double factor) {
    DrawPartScaled(
        painter, picture, QRect(0, 0, picture.GetWidth(), picture.GetHeight()),
        QRectF(x, y, int(picture.GetWidth() * factor), int(picture.GetHeight() * factor)), false);
}

void StretchTo(QPainter& painter, const CDIBSection2& picture, int x, int y, int width,
               int height) {
    DrawPartScaled(painter, picture, QRect(0, 0, picture.GetWidth(), picture.GetHeight()),
                   QRectF(x, y, width, height), true);
}

void StretchDrawSmooth(QPainter& painter, const CDIBSection2& picture, int x, int y,
                       double factor) {
    StretchTo(painter, picture, x, y, int(picture.GetWidth() * factor),
              int(picture.GetHeight() * factor));
}

void DrawBlended(QPainter& painter, const CDIBSection2& picture, int x, int y) {
    if (!picture.HasAlpha()) return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    DrawPartScaled(painter, picture, QRect(0, 0, picture.GetWidth(), picture.GetHeight()),
                   QRectF(x, y, picture.GetWidth(), picture.GetHeight()), false, true);
    painter.restore();
}

void GrabFromDC(QPaintDevice& device, CDIBSection2& picture, int left, int top, int width,
                int height) {
    QImage area;
    if (auto* widget = dynamic_cast<QWidget*>(&device))
        area = widget->grab(QRect(left, top, width, height)).toImage();
    else if (auto* image = dynamic_cast<QImage*>(&device))
        area = image->copy(left, top, width, height);
    if (area.isNull()) return;
    // Created without alpha coverage; the import keeps that because the size matches.
    picture.Create(area.width(), area.height(), 32, false);
    ImageToPicture(area, picture);
}

} // namespace quiltara::gui
