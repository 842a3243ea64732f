#pragma once
#include "core/paint/DabPainter.h"

namespace quiltara {

class CRuntimeRandom;

/// The line bridge's colour-source kind.
constexpr int kLineBridge = 28;

/// The line bridge's guide: from the press point to the current point, picture
/// coordinates (x, row from the top), not wrapped. A horizontal guide spans the columns
/// x1 ... x2, a vertical one the rows y1 ... y2.
struct CLineGuide {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool horizontal = true;
};

/// A guide is horizontal when it runs at least as far across as down, so that a guide
/// of no length bridges one column.
inline bool GuideIsHorizontal(double dx, double dy) {
    return (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
}

/// The line bridge: every pixel under a dab inside the guide's span becomes the
/// gradient between two anchors in its own row (horizontal guide) or column (vertical),
/// each anchor jittered by up to two pixels outwards or inwards from the span's ends
/// with numbers drawn from random; pixels outside the span keep their read colour.
class CLineBridgeSource : public IDabColorSource {
public:
    explicit CLineBridgeSource(CRuntimeRandom& random) : m_random(random) {}

    /// The guide's end points, picture coordinates, rounded to pixels like dab centres;
    /// its orientation follows GuideIsHorizontal.
    void SetGuide(double x1, double y1, double x2, double y2);
    const CLineGuide& Guide() const { return m_guide; }

    void ColorAt(const CDIBSection2& readImage, const CDabArgs& args, const CDabPixel& pixel,
                 int c[3]) override;

private:
    int Jitter();

    CRuntimeRandom& m_random;
    CLineGuide m_guide;
};

} // namespace quiltara
