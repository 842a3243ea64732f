#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"
#include "core/paint/DabPainter.h"
#include "core/paint/LineBridge.h"
#include "core/paint/Stroke.h"

#include <memory>

namespace quiltara {

class CCloneState;
class CPaintingContext;
class CRuntimeRandom;
class CToolOperatorState;

/// True for the tool ids a CToolStroke paints: the painting brushes 1, 2, 3, 24, 25,
/// the retouch brushes 8, 9, 11-19, the effect brushes 29-37, the history brush 21 and
/// the clone tools: the rubber stamp 4, the restore brush 20, the line bridge 28 and
/// the cross-border clonner 54.
bool IsStrokeTool(int toolId);

/// The engine's colour-source kind for a stroke tool (0 for the painting brushes, 2-5
/// for 8, 9, 18, 19, the id itself for 11-17, 28 and 29-37, 7 for 21, and the clone
/// kind 1 for 4, 20 and 54); -1 for other ids. The restore brush and the cross-border
/// clonner copy their picture's pixels with the clone kind: laid as a texture at full
/// strength, (T x 255) >> 8 would darken every channel by one.
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
    /// The photograph around the tile, for the cross-border clonner, and where the
    /// tile's first pixel lies in it (column, memory row: rows counted from the bottom,
    /// as the tile wizard gives them). Read at the unwrapped position of every dab
    /// pixel, repeating by its own size, so a stroke past the tile's right edge brings
    /// in what lies right of the tile and writes it into the tile's left columns.
    const CDIBSection2* surroundings = nullptr;
    int surroundingsOffsetX = 0, surroundingsOffsetY = 0;
    /// The rubber stamp's source and markers; the stroke sets the target start at the
    /// press and moves the markers with every dab.
    CCloneState* clone = nullptr;
};

/// Why a tool cannot paint: the picture it takes its colours from is missing.
enum class ToolSourceProblem {
    None,
    NoSurroundings,             // 54 without surroundings: the help picture is shown
    NoOriginalForRestore,       // 20 on a document without an Original
    NoTextureForTextureClone,   // a painting brush with "Texture Clone" and no texture
    NoOriginalForOriginalClone, // a painting brush with "Original Clone" and no Original
    NoStampSource,              // 4 without a source point (or its picture is gone)
};

/// The help picture shown in place of painting when the cross-border clonner has no
/// surroundings.
constexpr const char* kSurroundingsHelpPicture = "hlpfile2.png";

/// Which source toolId misses, if any. An Original or surroundings picture that is
/// missing, empty, 1 x 1 or not readable by the engine (swapped out, not 32-bit) counts
/// as none; so does a stamp source picture the engine cannot read.
ToolSourceProblem ToolSourceMissing(int toolId, const CToolSources& sources,
                                    const CPaintingContext& context);

/// The message shown for a problem (empty for None). The texts for the restore brush
/// and the two clone modes are the program's message boxes; the GUI shows the help
/// picture for NoSurroundings and sets a source on a left press instead of telling
/// NoStampSource, so those two texts are for the command line.
const char* CloneMessage(ToolSourceProblem problem);

/// The stroke of one tool: turns the tool id into the engine's arguments (opacity, blend
/// mode, pressure mode, texture, colour-source kind and operator) and lays its dabs
/// from press to release. The painting context's brush is the stroke's brush (its hose
/// cursor and direction advance); context, operators, random, both pictures and the
/// sources must outlive the stroke. A tool id it does not paint makes a stroke that
/// paints nothing (Paints() is false), and so does a tool whose source is missing
/// (Problem() says which).
///
/// The clone tools:
/// - 54 copies sources.surroundings at the offsets, pressure mode 0;
/// - 20 copies sources.original at offset (0, 0), pressure mode 0;
/// - 4 clones from sources.clone: its source picture, or with none (or the painted
///   picture itself) from readImage, always wrapping; another picture repeats only with
///   `wrapOther`, and beyond it the target keeps its pixels. Press() starts the stroke
///   in the clone state (BeginStroke at the first dab's centre), every dab moves the
///   markers. For the painted picture pass as readImage the destination itself to
///   clone what the stroke has just laid down, or the press snapshot not to;
/// - 28 bridges along its guide: SetGuide before Press and before each Move, or,
///   without it, the guide runs from the press point to the current point.
class CToolStroke {
public:
    CToolStroke(int toolId, CPaintingContext& context, const CToolOperatorState& operators,
                CRuntimeRandom& random, CDIBSection2& destination, CDIBSection2& readImage,
                const CToolSources& sources = {});
    CToolStroke(const CToolStroke&) = delete;
    CToolStroke& operator=(const CToolStroke&) = delete;

    int ToolId() const { return m_toolId; }
    bool Paints() const { return m_paints; }
    ToolSourceProblem Problem() const { return m_problem; }

    /// The line bridge's guide, picture coordinates (x, row from the top), not wrapped.
    /// Once set, the guide no longer follows the pointer by itself.
    void SetGuide(double x1, double y1, double x2, double y2);
    /// The guide as the line bridge uses it (a default guide for other tools).
    CLineGuide Guide() const;

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
    void SetUpClone(const CPaintingContext& context, const CToolSources& sources,
                    const CDIBSection2& destination, const CDIBSection2& readImage);

    int m_toolId;
    ToolSourceProblem m_problem;
    bool m_paints;
    std::unique_ptr<IDabColorSource> m_operator;
    CLineBridgeSource* m_bridge = nullptr; // m_operator for the line bridge
    bool m_guideGiven = false;
    double m_guideX = 0, m_guideY = 0; // the press point, picture coordinates
    CCloneState* m_clone = nullptr;
    CStroke m_stroke;
    bool m_pressSeen = false;
    int m_pressX = 0, m_pressRow = 0; // picture coordinates, for the radial blur
};

} // namespace quiltara
