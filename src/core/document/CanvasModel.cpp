#include "core/document/CanvasModel.h"

namespace quiltara {

void CCanvasModel::Attach(CDIBSection2* original, CDIBSection2* surroundings, int offsetX,
                          int offsetY) {
    if (original && !original->IsEmpty()) {
        workingImage.Copy(original);
    } else {
        workingImage.Create(600, 600, 32, true);
        workingImage.FillOpaque(0xFFFFFF);
    }
    beforeImage.Copy(&workingImage);
    originalRef = original;
    surroundingsImage = surroundings;
    tileOffsetX = offsetX;
    tileOffsetY = offsetY;
    ImageSizeChanged();
}

void CCanvasModel::SyncBeforeImage() {
    beforeImage.Copy(&workingImage);
}

void CCanvasModel::ImageSizeChanged() {
    geometry.SetImageSize(workingImage.GetWidth(), workingImage.GetHeight());
    geometry.CenterImage();
}

const std::uint8_t* CCanvasModel::PixelAtWrapped(int x, int y) const {
    if (workingImage.IsEmpty() || workingImage.GetBitsPerPixel() != 32) return nullptr;
    const auto p = geometry.Wrap(x, y);
    return workingImage.GetRow(p.y) + std::size_t(p.x) * 4;
}

} // namespace quiltara
