// The text being placed on a canvas: placing, moving, committing into the picture
// across the tile's edges, and removing it.
#include "core/base/WrapIndex.h"
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
    CDIBSection2& image = edit.Image();
    const int w = image.GetWidth(), h = image.GetHeight();
    const int tw = m_textImage.GetWidth(), th = m_textImage.GetHeight();
    for (int j = 0; j < th; ++j) {
        // Rows of both pictures are stored bottom-up; text row j (from the top) lands
        // on image row textY + j, wrapped.
        const std::uint8_t* s = m_textImage.PixelAt(0, th - 1 - j);
        const int row = h - 1 - WrapIndex((long long)textY + j, h);
        for (int i = 0; i < tw; ++i, s += 4) {
            const int a = s[3];
            if (a == 0) continue;
            std::uint8_t* d = image.PixelAt(WrapIndex((long long)textX + i, w), row);
            if (a == 255) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
                continue;
            }
            for (int c = 0; c < 3; ++c) d[c] = std::uint8_t((d[c] * (255 - a) + s[c] * a) >> 8);
        }
    }
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
