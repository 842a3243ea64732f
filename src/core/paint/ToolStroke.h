#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"
#include "core/paint/DabPainter.h"
#include "core/paint/Stroke.h"

#include <memory>

namespace quiltara {

class CPaintingContext;
class CRuntimeRandom;
class CToolOperatorState;

/// True for the tool ids a CToolStroke paints: the painting brushes 1, 2, 3, 24, 25,
/// the retouch brushes 8, 9, 11-19, the effect brushes 29-37 and the history brush 21.
/// The clone tools 4, 20, 28 and 54 are not among them yet.
bool IsStrokeTool(int toolId);

/// The engine's colour-source kind for a stroke tool (0 for the painting brushes, 2-5
/// for 8, 9, 18, 19, the id itself for 11-17 and 29-37, 7 for 21); -1 for other ids.
int ToolColorSourceKind(int toolId);

/// The colour source of an operator kind (retouch 2-5, 11-17; effects 29-37, 51),
/// null for the kinds the engine computes itself.
std::unique_ptr<IDabColorSource> MakeToolColorSource(int kind, const CToolOperatorState& state,
                                                     ColorRef foreColor, CRuntimeRandom& random);

/// The pictures a tool may read besides the one it paints. They must outlive the stroke.
struct CToolSources {
    /// The document's Original, for "Original Clone" of the painting brushes.
    const CDIBSection2* original = nullptr;
    /// The history brush's picture (the saved region of an undo step) and where its
    /// first pixel belongs in the painted picture (image x, memory row), so that pixels
    /// outside it keep their colour.
    const CDIBSection2* history = nullptr;
    int historyLeft = 0, historyTop = 0;
    // The clone tools' sources (the rubber stamp's, the surroundings image, the line
    // bridge's guide) join here when those tools are routed.
};

/// The stroke of one tool: turns the tool id into the engine's arguments (opacity, blend
/// mode, pressure mode, texture, colour-source kind and operator) and lays its dabs
/// from press to release. The painting context's brush is the stroke's brush (its hose
/// cursor and direction advance); context, operators, random, both pictures and the
/// sources must outlive the stroke. A tool id it does not paint makes a stroke that
/// paints nothing (Paints() is false).
class CToolStroke {
public:
    CToolStroke(int toolId, CPaintingContext& context, const CToolOperatorState& operators,
                CRuntimeRandom& random, CDIBSection2& destination, CDIBSection2& readImage,
                const CToolSources& sources = {});
    CToolStroke(const CToolStroke&) = delete;
    CToolStroke& operator=(const CToolStroke&) = delete;

    int ToolId() const { return m_toolId; }
    bool Paints() const { return m_paints; }

    /// The press: the first dab under the pointer (view pixels, see CStrokeView).
    /// pressure is the tablet's, used unless the tool's pressure mode is 0.
    CStrokeSegment Press(double viewX, double viewY, const CStrokeView& view, int pressure = 255);
    /// A pointer move with the button down.
    CStrokeSegment Move(double viewX, double viewY, const CStrokeView& view, int pressure = 255);
    /// Union of the stroke's dab rectangles (memory rows, not wrapped; see
    /// WrapRectIntoImage).
    const CRect& ChangedRect() const { return m_stroke.ChangedRect(); }

    /// The engine stroke with the tool's dab arguments, for tools that set more of them.
    CStroke& Engine() { return m_stroke; }

private:
    int m_toolId;
    bool m_paints;
    std::unique_ptr<IDabColorSource> m_operator;
    CStroke m_stroke;
    bool m_pressSeen = false;
    int m_pressX = 0, m_pressRow = 0; // picture coordinates, for the radial blur
};

} // namespace quiltara
