// The text being placed on a canvas: placing, moving, committing into the picture
// across the tile's edges, and removing it.
#include "core/document/CanvasModel.h"

namespace quiltara {

CRect CCanvasModel::TextRect() const {
    if (!HasText()) return {};
    return CRect{textX, textY, textX + m_textImage.GetWidth(), textY + m_textImage.GetHeight()};
}

void CCanvasModel::PlaceText(CDIBSection2 picture, int x, int y, const CTextSettings& settings) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) {
        m_textImage.MakeEmpty();
        return;
    }
    m_textImage = std::move(picture);
    textX = x;
    textY = y;
    textSettings = settings;
}

void CCanvasModel::PlaceTextCentred(CDIBSection2 picture, const CTextSettings& settings) {
    const int x = (m_workingImage.GetWidth() - picture.GetWidth()) / 2;
    const int y = (m_workingImage.GetHeight() - picture.GetHeight()) / 2;
    PlaceText(std::move(picture), x, y, settings);
}

bool CCanvasModel::MoveText(int x, int y) {
    if (!HasText()) return false;
    textX = x;
    textY = y;
    return true;
}

bool CCanvasModel::CommitText() {
    if (!HasText()) return false;
    if (m_workingImage.IsEmpty() || m_workingImage.GetBitsPerPixel() != 32) return false;
    // The step keeps the text: undoing the commit brings it back to be placed again.
    CCanvasEdit edit = BeginEdit();
    BlendWrapped(edit.Image(), m_textImage, textX, textY);
    m_textImage.MakeEmpty();
    edit.Commit();
    return true;
}

bool CCanvasModel::DeleteText() {
    if (!HasText()) return false;
    m_textImage.MakeEmpty();
    return true;
}

} // namespace quiltara
