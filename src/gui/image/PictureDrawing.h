#pragma once
#include "core/image/DIBSection2.h"

#include <QImage>
#include <QRect>
#include <QRectF>

class QPainter;
class QPaintDevice;

namespace quiltara::gui {

/// A QImage over the picture's own pixel block, without a copy. Its rows are the
/// picture's memory rows, so the QImage is upside down; the functions below draw it
/// through a flipped transform. The fourth byte is ignored (RGB32) unless coverage is
/// asked for: screen drawing of a picture ignores it, blending uses it.
QImage WrapPicture(const CDIBSection2& picture, bool withCoverage = false);
/// A deep copy the right way up, for the clipboard and widgets that need their own.
QImage PictureToImage(const CDIBSection2& picture);
/// The picture becomes a copy of image (any format), alpha kept.
void ImageToPicture(const QImage& image, CDIBSection2& picture);

/// The whole picture, one to one, at (x, y).
void Draw(QPainter& painter, const CDIBSection2& picture, int x, int y);
/// The whole picture scaled by factor (sizes truncated).
void StretchDraw(QPainter& painter, const CDIBSection2& picture, int x, int y, double factor);
/// The picture-row rectangle source of the picture, one to one, at (x, y).
void DrawPart(QPainter& painter, const CDIBSection2& picture, int x, int y, const QRect& source);
/// The picture-row rectangle source stretched into target; smooth resampling when asked.
void DrawPartScaled(QPainter& painter, const CDIBSection2& picture, const QRect& source,
                    const QRectF& target, bool smooth, bool withCoverage = false);
/// The picture blended over what is there by its alpha coverage.
void DrawBlended(QPainter& painter, const CDIBSection2& picture, int x, int y);
/// Halftone (smooth) stretch of the whole picture to a size.
void StretchTo(QPainter& painter, const CDIBSection2& picture, int x, int y, int width, int height);
void StretchDrawSmooth(QPainter& painter, const CDIBSection2& picture, int x, int y, double factor);
/// Copies an area of a widget or image into the picture (32 bits, no alpha coverage).
void GrabFromDC(QPaintDevice& device, CDIBSection2& picture, int left, int top, int width,
                int height);

} // namespace quiltara::gui
