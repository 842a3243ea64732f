#include "core/paint/ToolStroke.h"

#include "core/base/RuntimeRandom.h"
#include "core/base/WrapIndex.h"
#include "core/paint/CloneState.h"
#include "core/paint/EffectOperators.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/RetouchOperators.h"
#include "core/paint/ToolOperatorState.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

namespace {

// The painting brushes: colour-source kind 0 with the texture and clone options.
bool IsPaintingBrush(int toolId) {
    return toolId == 1 || toolId == 2 || toolId == 3 || toolId == 24 || toolId == 25;
}

constexpr int kRubberStamp = 4;
constexpr int kRestoreBrush = 20;
constexpr int kHistoryBrush = 21;
constexpr int kCrossBorderClonner = 54;

// Far beyond any picture all positions are alike; kept there, sums cannot overflow.
int ClampFar(long long v) {
    constexpr long long kFar = 1 << 30;
    return int(std::clamp(v, -kFar, kFar));
}

// A view position in picture pixels, rounded as the stroke rounds dab centres.
int ToPixel(double v) {
    if (!(v == v)) return 0; // not a number
    return ClampFar((long long)std::floor(std::clamp(v, -1e9, 1e9) + 0.5));
}

// A picture the engine can read.
bool Readable(const CDIBSection2* p) {
    return p && !p->IsEmpty() && !p->IsSwappedOut() && p->GetBitsPerPixel() == 32;
}

// An Original or surroundings picture: a single pixel is what a new document has.
bool Defined(const CDIBSection2* p) {
    return Readable(p) && !(p->GetWidth() == 1 && p->GetHeight() == 1);
}

} // namespace

ToolSourceProblem ToolSourceMissing(int toolId, const CToolSources& sources,
                                    const CPaintingContext& context) {
    using P = ToolSourceProblem;
    switch (toolId) {
    case kCrossBorderClonner:
        return Defined(sources.surroundings) ? P::None : P::NoSurroundings;
    case kRestoreBrush:
        return Defined(sources.original) ? P::None : P::NoOriginalForRestore;
    case kRubberStamp: {
        const CCloneState* clone = sources.clone;
        if (!clone || !clone->HasSource()) return P::NoStampSource;
        return !clone->sourceImage || Readable(clone->sourceImage) ? P::None : P::NoStampSource;
    }
    default:
        break;
    }
    if (IsPaintingBrush(toolId)) {
        if (context.cloneSourceKind == kCloneTexture && !Readable(context.Texture()))
            return P::NoTextureForTextureClone;
        if (context.cloneSourceKind == kCloneOriginal && !Defined(sources.original))
            return P::NoOriginalForOriginalClone;
    }
    return P::None;
}

const char* CloneMessage(ToolSourceProblem problem) {
    switch (problem) {
    case ToolSourceProblem::None:
        break;
    case ToolSourceProblem::NoSurroundings:
        return "This image has no surroundings.\nThe Cross-Border Clonner paints the photograph "
               "around the tile, which the tile wizard keeps when it cuts a tile from a "
               "photograph.";
    case ToolSourceProblem::NoOriginalForRestore:
        return "Original of this image is not defined because you are working on a New "
               "document.\nOriginal is normally defined if you load an image.\nYou can "
               "define current image as original from menu Image - Set as Original.";
    case ToolSourceProblem::NoTextureForTextureClone:
        return "You don't have any texture selected!\nTexture Clone will pick up the Color for "
               "each step from the texture.\nWith this you can simulate traditional color "
               "paint.\nFor The Texture Clone you have to select a texture from the Color & "
               "Texture tool bar first.";
    case ToolSourceProblem::NoOriginalForOriginalClone:
        return "This image doesn't have an Original!\nOriginal Clone will pick up the color for "
               "each step from the Original image.\nWith this you can simulate a traditional "
               "painting.\nOriginal is normally defined if you load an existing image.\nYou "
               "can define current image as original from menu Image - Set as Original.";
    case ToolSourceProblem::NoStampSource:
        return "The Rubber Stamp has no source.\nSet the point to clone from with the right "
               "mouse button first.";
    }
    return "";
}

int ToolColorSourceKind(int toolId) {
    if (IsPaintingBrush(toolId)) return kSourcePlain;
    switch (toolId) {
    case 8:
        return kRetouchSoften;
    case 9:
        return kRetouchSharpen;
    case 18:
        return kRetouchMixed;
    case 19:
        return kRetouchMedian;
    case kHistoryBrush:
        return kSourceHistory;
    case kRubberStamp:
    case kRestoreBrush:
    case kCrossBorderClonner:
        return kSourceClone;
    case kLineBridge:
        return kLineBridge;
    default:
        break;
    }
    if ((toolId >= 11 && toolId <= 17) || (toolId >= 29 && toolId <= 37)) return toolId;
    return -1;
}

bool IsStrokeTool(int toolId) {
    return ToolColorSourceKind(toolId) >= 0;
}

std::unique_ptr<IDabColorSource> MakeToolColorSource(int kind, const CToolOperatorState& state,
                                                     ColorRef foreColor, CRuntimeRandom& random) {
    if (auto retouch = MakeRetouchSource(kind, state, foreColor)) return retouch;
    return MakeEffectSource(kind, state, random);
}

CToolStroke::CToolStroke(int toolId, CPaintingContext& context, const CToolOperatorState& operators,
                         CRuntimeRandom& random, CDIBSection2& destination, CDIBSection2& readImage,
                         const CToolSources& sources)
    : m_toolId(toolId), m_problem(IsStrokeTool(toolId) ? ToolSourceMissing(toolId, sources, context)
                                                       : ToolSourceProblem::None),
      m_paints(IsStrokeTool(toolId) && m_problem == ToolSourceProblem::None),
      m_stroke(destination, readImage, context.brush, random) {
    if (!m_paints) return;
    const int kind = ToolColorSourceKind(toolId);
    CDabArgs& args = m_stroke.dabTemplate;
    if (kind == kSourcePlain) {
        // The texture and clone options belong to the painting brushes alone.
        args = context.BrushDabArgs(sources.original);
        m_stroke.textureAligned = context.textureAligned;
        return;
    }
    args.opacity = context.opacity;
    args.blendMode = context.blendMode;
    args.colorSource = kind;
    args.backColor = context.backColor;
    args.overlayColor = context.foreColor;
    args.colorOverlay = context.brush.colorOverlay != 0;
    const bool ignoresPen =
        toolId == kHistoryBrush || toolId == kRestoreBrush || toolId == kCrossBorderClonner;
    args.pressureMode = ignoresPen ? 0 : context.brush.pressureMode;
    if (kind == kSourceHistory) {
        args.source = sources.history;
        args.offsetX = sources.historyLeft;
        args.offsetY = sources.historyTop;
        return;
    }
    if (kind == kSourceClone) {
        SetUpClone(context, sources, destination, readImage);
        return;
    }
    if (kind == kLineBridge) {
        auto bridge = std::make_unique<CLineBridgeSource>(random);
        m_bridge = bridge.get();
        m_operator = std::move(bridge);
        args.customSource = m_operator.get();
        return;
    }
    m_operator = MakeToolColorSource(kind, operators, context.foreColor, random);
    args.customSource = m_operator.get();
    if (kind == kEffectRadialBlur) {
        // The blur runs outwards from the press point: the first dab's centre, in
        // picture coordinates inside the picture.
        m_stroke.prepareDab = [this, &destination](CDabArgs& dab, int x, int row) {
            const int w = destination.GetWidth(), h = destination.GetHeight();
            if (w <= 0 || h <= 0) return; // the dab is skipped anyway
            if (!m_pressSeen) {
                m_pressX = WrapIndex(x, w);
                m_pressRow = h - 1 - WrapIndex(row, h);
                m_pressSeen = true;
            }
            dab.offsetX = m_pressX;
            dab.offsetY = m_pressRow;
        };
    }
}

void CToolStroke::SetUpClone(const CPaintingContext& context, const CToolSources& sources,
                             const CDIBSection2& destination, const CDIBSection2& readImage) {
    CDabArgs& args = m_stroke.dabTemplate;
    args.colorOverlay = false;
    if (m_toolId == kCrossBorderClonner || m_toolId == kRestoreBrush) {
        // Every pixel copies the picture at its unwrapped position plus the offset, the
        // picture repeating by its own size (the wrap flag rides on the strength).
        const bool around = m_toolId == kCrossBorderClonner;
        args.source = around ? sources.surroundings : sources.original;
        args.textureStrength = 255;
        const int ox = around ? sources.surroundingsOffsetX : 0;
        const int oy = around ? sources.surroundingsOffsetY : 0;
        m_stroke.prepareDab = [ox, oy](CDabArgs& dab, int, int) {
            dab.offsetX = ClampFar((long long)dab.left + ox);
            dab.offsetY = ClampFar((long long)dab.top + oy);
        };
        return;
    }
    // The rubber stamp: each dab reads the source at its corner, found from the dab's
    // centre through the offset between source point and target start. Corners count
    // in memory rows, like the dab's own.
    CCloneState* clone = sources.clone;
    m_clone = clone;
    const CDIBSection2* image = clone->sourceImage;
    const bool same = !image || image == &destination || image == &readImage;
    args.source = same ? nullptr : image;
    args.textureStrength = clone->wrapOther ? 255 : 0;
    args.feedback = clone->feedback;
    args.centreSampling = !same && context.centreSampling && context.cloneSourceKind != kCloneNone;
    m_stroke.prepareDab = [clone, image, same, &destination](CDabArgs& dab, int x, int row) {
        const int w = destination.GetWidth(), h = destination.GetHeight();
        const int sw = same ? w : image->GetWidth(), sh = same ? h : image->GetHeight();
        const int cy = h - 1 - row;
        dab.offsetX = ClampFar(clone->SourceXFor(x) - dab.stamp->GetWidth() / 2);
        dab.offsetY = ClampFar(sh - 1 - clone->SourceYFor(cy) - dab.stamp->GetHeight() / 2);
        const bool wraps = same || clone->wrapOther;
        clone->DabMoved(x, cy, w, h, wraps ? sw : 0, wraps ? sh : 0);
    };
}

void CToolStroke::SetGuide(double x1, double y1, double x2, double y2) {
    m_guideGiven = true;
    if (m_bridge) m_bridge->SetGuide(x1, y1, x2, y2);
}

CLineGuide CToolStroke::Guide() const {
    return m_bridge ? m_bridge->Guide() : CLineGuide{};
}

CStrokeSegment CToolStroke::Press(double viewX, double viewY, const CStrokeView& view,
                                  int pressure) {
    if (!m_paints) return {};
    m_pressSeen = false;
    const double zoom = view.zoom > 0 ? view.zoom : 1.0;
    const double x = (viewX - view.originX) / zoom, y = (viewY - view.originY) / zoom;
    if (m_clone) m_clone->BeginStroke(ToPixel(x), ToPixel(y));
    if (m_bridge && !m_guideGiven) {
        m_guideX = x, m_guideY = y;
        m_bridge->SetGuide(x, y, x, y);
    }
    return m_stroke.Press(viewX, viewY, view, pressure);
}

CStrokeSegment CToolStroke::Move(double viewX, double viewY, const CStrokeView& view,
                                 int pressure) {
    if (!m_paints) return {};
    if (m_bridge && !m_guideGiven) {
        const double zoom = view.zoom > 0 ? view.zoom : 1.0;
        m_bridge->SetGuide(m_guideX, m_guideY, (viewX - view.originX) / zoom,
                           (viewY - view.originY) / zoom);
    }
    return m_stroke.Move(viewX, viewY, view, pressure);
}

} // namespace quiltara
