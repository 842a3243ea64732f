#pragma once
#include "image/DIBSection2.h"
#include "image/Rect.h"
#include "view/CanvasGeometry.h"

namespace quiltara {

/// Everything a canvas window holds apart from its window: the working image, the
/// before-image, the floating selection, the text being placed, the crop state and
/// the zoom and scroll arithmetic. The Qt canvas owns one and draws from it; every
/// editing rule lives here, where it is tested without a window.
class CCanvasModel {
public:
    CCanvasModel() = default;
    CCanvasModel(const CCanvasModel&) = delete;
    CCanvasModel& operator=(const CCanvasModel&) = delete;

    /// Takes the document's pictures: the working and before-images become copies of
    /// the Original (a white 600 x 600 picture when it is empty), the sizes are taken,
    /// the image is centred. original and surroundings stay owned by the document.
    void Attach(CDIBSection2* original, CDIBSection2* surroundings, int tileOffsetX,
                int tileOffsetY);
    /// Brings the before-image up to date with the working image after an edit.
    void SyncBeforeImage();
    /// Call after the working image changed size: takes the size and recentres.
    void ImageSizeChanged();

    /// Colour (blue, green, red, alpha bytes) of the image point, wrapped into the tile.
    const std::uint8_t* PixelAtWrapped(int x, int y) const;

    bool HasFloat() const { return !floatImage.IsEmpty(); }
    bool HasText() const { return !textImage.IsEmpty(); }

    CDIBSection2 workingImage;
    CDIBSection2 beforeImage;
    CDIBSection2 floatImage;
    CDIBSection2 floatBackup;
    CDIBSection2 textImage;
    int floatX = 0, floatY = 0; // image coordinates, top-down
    int textX = 0, textY = 0;
    CDIBSection2* surroundingsImage = nullptr; // not owned
    CDIBSection2* originalRef = nullptr;       // not owned
    int tileOffsetX = 0, tileOffsetY = 0;
    bool cropMode = false;
    CRect cropRect; // image coordinates
    bool unsavedChanges = false;
    bool holdUndo = false;
    bool showTileBorder = true;
    CRect dirtyRect; // memory rows; all zero means the whole picture
    CCanvasGeometry geometry;
};

} // namespace quiltara
