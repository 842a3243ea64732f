#pragma once
#include "core/image/DIBSection2.h"

namespace quiltara {

/// The "Rubber Stamp"'s application-wide state: where it clones from, where the first
/// stroke after choosing the source began, and the two markers the canvas draws. All
/// points are picture coordinates (x, row from the top).
///
/// The offset between source and target is fixed by the first stroke after a source is
/// set (its press point is the target start) and kept by every later stroke. With
/// `aligned` off every stroke starts again from the source point instead: each press
/// becomes the target start.
class CCloneState {
public:
    /// The picture cloned from; null for the painted picture itself.
    const CDIBSection2* sourceImage = nullptr;
    int sx = -1, sy = -1; // the source point; (-1, -1) when none is set
    int tx = 0, ty = 0;   // the target start
    bool newSourcePending = false;
    int sourceMarkerX = -1, sourceMarkerY = -1; // (-1, -1): not shown
    int targetMarkerX = -1, targetMarkerY = -1;
    bool aligned = true;    // "StampAl"
    bool feedback = false;  // "StampFB"
    bool wrapOther = false; // "StampWR": another picture repeats beyond its edges

    /// Choosing any tool: no source point, no markers, no source picture. The options
    /// are kept.
    void Reset();
    /// A right press (or a left press while no source is set) on image at (x, y): the
    /// source picture, point and marker, and a new target start pending. The point is
    /// wrapped into image when one is given; null stands for the painted picture.
    void SetSource(const CDIBSection2* image, int x, int y);
    /// A left press at the first dab's centre: the target marker goes to the source
    /// marker; a pending source takes the press as its target start (as does every
    /// press when not aligned), otherwise the source marker moves to the point the
    /// press clones from. Calling it twice for the same press changes nothing more.
    void BeginStroke(int pressX, int pressY);
    bool HasSource() const { return sx >= 0 && sy >= 0; }

    /// The source point that the dab centred at (cx, cy) clones from (unwrapped).
    long long SourceXFor(int cx) const { return (long long)sx + cx - tx; }
    long long SourceYFor(int cy) const { return (long long)sy + cy - ty; }
    /// The markers follow a dab centred at (cx, cy): the target marker at the dab, the
    /// source marker at its source point. Each is wrapped by the size given for it
    /// (0 x 0: left as it is, for another picture that does not repeat).
    void DabMoved(int cx, int cy, int targetW = 0, int targetH = 0, int sourceW = 0,
                  int sourceH = 0);
};

} // namespace quiltara
