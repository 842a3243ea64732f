#include "core/paint/ToolStroke.h"

#include "core/base/RuntimeRandom.h"
#include "core/paint/EffectOperators.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/RetouchOperators.h"
#include "core/paint/ToolOperatorState.h"

namespace quiltara {

namespace {

inline int Wrap(int v, int n) {
    const int r = v % n;
    return r < 0 ? r + n : r;
}

// The painting brushes: colour-source kind 0 with the texture and clone options.
bool IsPaintingBrush(int toolId) {
    return toolId == 1 || toolId == 2 || toolId == 3 || toolId == 24 || toolId == 25;
}

} // namespace

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
    case 21:
        return kSourceHistory;
    default:
        break;
    }
    if ((toolId >= 11 && toolId <= 17) || (toolId >= 29 && toolId <= 37)) return toolId;
    // Not yet here: the rubber stamp (4), the restore brush (20), the line bridge (28)
    // and the cross-border clonner (54) need the clone sources.
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
    : m_toolId(toolId), m_paints(IsStrokeTool(toolId)),
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
    args.pressureMode = toolId == 21 ? 0 : context.brush.pressureMode;
    if (kind == kSourceHistory) {
        args.source = sources.history;
        args.offsetX = sources.historyLeft;
        args.offsetY = sources.historyTop;
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
                m_pressX = Wrap(x, w);
                m_pressRow = h - 1 - Wrap(row, h);
                m_pressSeen = true;
            }
            dab.offsetX = m_pressX;
            dab.offsetY = m_pressRow;
        };
    }
}

CStrokeSegment CToolStroke::Press(double viewX, double viewY, const CStrokeView& view,
                                  int pressure) {
    if (!m_paints) return {};
    m_pressSeen = false;
    return m_stroke.Press(viewX, viewY, view, pressure);
}

CStrokeSegment CToolStroke::Move(double viewX, double viewY, const CStrokeView& view,
                                 int pressure) {
    if (!m_paints) return {};
    return m_stroke.Move(viewX, viewY, view, pressure);
}

} // namespace quiltara
