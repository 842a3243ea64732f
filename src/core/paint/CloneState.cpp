#include "core/paint/CloneState.h"

namespace quiltara {

namespace {

long long Wrap(long long v, int n) {
    if (n <= 0) return v;
    const long long r = v % n;
    return r < 0 ? r + n : r;
}

// Marker positions are only drawn; far outside any picture they are all alike.
int Clamp(long long v) {
    constexpr long long kFar = 1 << 30;
    return int(v < -kFar ? -kFar : v > kFar ? kFar : v);
}

} // namespace

void CCloneState::Reset() {
    sourceImage = nullptr;
    sx = sy = -1;
    newSourcePending = false;
    sourceMarkerX = sourceMarkerY = -1;
    targetMarkerX = targetMarkerY = -1;
}

void CCloneState::SetSource(const CDIBSection2* image, int x, int y) {
    if (image && !image->IsEmpty()) {
        x = int(Wrap(x, image->GetWidth()));
        y = int(Wrap(y, image->GetHeight()));
    }
    sourceImage = image;
    sx = x, sy = y;
    sourceMarkerX = x, sourceMarkerY = y;
    newSourcePending = true;
}

void CCloneState::BeginStroke(int pressX, int pressY) {
    targetMarkerX = sourceMarkerX, targetMarkerY = sourceMarkerY;
    if (newSourcePending || !aligned) {
        tx = pressX, ty = pressY;
        newSourcePending = false;
        sourceMarkerX = sx, sourceMarkerY = sy;
        return;
    }
    sourceMarkerX = Clamp(SourceXFor(pressX));
    sourceMarkerY = Clamp(SourceYFor(pressY));
}

void CCloneState::DabMoved(int cx, int cy, int targetW, int targetH, int sourceW, int sourceH) {
    targetMarkerX = int(Wrap(cx, targetW));
    targetMarkerY = int(Wrap(cy, targetH));
    sourceMarkerX = Clamp(Wrap(SourceXFor(cx), sourceW));
    sourceMarkerY = Clamp(Wrap(SourceYFor(cy), sourceH));
}

} // namespace quiltara
