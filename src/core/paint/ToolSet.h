#pragma once
#include "core/paint/BrushLibrary.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace quiltara {

class CPaintingContext;
class ISettingsStore;

/// Tool identifiers. The painting tools' ids double as the stroke engine's colour-source
/// kinds where the routing table says so; 38 ... 49 are not used.
enum ToolId : int {
    kToolArrow = 0,
    kToolPaintBrush = 1,
    kToolPen = 2,
    kToolAirbrush = 3,
    kToolRubberStamp = 4,
    kToolZoom = 5,
    kToolZoomOut = 6, // the zoom tool while the right button is down
    kToolColorPick = 7,
    kToolSoften = 8,
    kToolSharpen = 9,
    kToolPaintBucket = 10,
    kToolContrast = 11,
    kToolBrighten = 12,
    kToolDarken = 13,
    kToolDesaturate = 14,
    kToolSaturate = 15,
    kToolColorize = 16,
    kToolRedRemoval = 17,
    kToolSoftenSharpen = 18,
    kToolMedian = 19,
    kToolRestoreBrush = 20,
    kToolHistoryBrush = 21,
    kToolTexturePick = 22,
    kToolMoveCanvas = 23,
    kToolImageNozzle = 24,
    kToolNaturalBrushes = 25,
    kToolFloat = 26,
    kToolCrop = 27,
    kToolLineBridge = 28,
    kToolSelfBlend = 29,
    kToolGrainyTone = 30,
    kToolEmbossLight = 31,
    kToolMosaic = 32,
    kToolLightBands = 33,
    kToolRadialBlur = 34,
    kToolGlassBlocks = 35,
    kToolContrastColors = 36,
    kToolHeatColors = 37,
    kToolRadialBurst = 50,
    kToolLensFlare = 51,
    kToolSparkle = 52,
    kToolAddText = 53,
    kToolCrossBorder = 54,
};
constexpr int kToolIdCount = 55; // ids are below this

/// What the canvas does with the mouse for a tool:
/// - Stroke: press lays the first dab, a move with the button down a stroke segment
///   (colour-source kind below), the release ends the stroke.
/// - Bucket: press paints the whole image once; moves and release do nothing.
/// - PickColor: press picks the colour under the pointer, moves pick again, the release
///   brings the previous tool back.
/// - PickTexture: press picks the texture point; the release opens the "Auto Texture
///   Maker" and then brings the previous tool back.
/// - Rectangle: press starts a rectangle, moves drag its corner, the release runs the
///   tool's operation on it (nothing for a rectangle of zero size).
/// - Canvas: the canvas handles the tool itself (arrow, zoom, zoom out, move canvas,
///   floating selection, crop, add text).
enum class ToolAction { None, Stroke, Bucket, PickColor, PickTexture, Rectangle, Canvas };

/// The routing of one tool id.
struct CToolRoute {
    ToolAction action = ToolAction::None;
    int colorSourceKind = 0;           // the stroke engine's kind (Stroke and Bucket)
    bool oneShot = false;              // the previous tool returns on release
    bool rightPressSetsSource = false; // the right button sets the clone source point
    // The press checks the tool's source picture (surroundings, Original) and tells the
    // user when it is missing; no stroke starts then.
    bool needsSource = false;
    bool guideLine = false;        // a guide line follows the mouse while the button is down
    bool passesTexture = false;    // the stroke takes the texture arguments
    bool pressureModeZero = false; // pressure mode 0 is passed, whatever the brush's
};

/// The route of toolId; an unknown id gets the route of action None.
const CToolRoute& RouteFor(int toolId);
/// True for the ids of the enumeration.
bool IsToolId(int toolId);
/// A short name for buttons, lists and tips ("Paint Brush", "Mosaic", ...); "" for an
/// unknown id.
const char* ToolLabel(int toolId);

/// The tool bar, left to right.
constexpr int kToolBarPositionCount = 11;
constexpr int kPositionRetouch = 8; // the last tool chosen from the retouch list
constexpr int kPositionEffects = 9; // the last tool chosen from the effects list
constexpr int kPositionText = 10;   // starts the text command
struct CToolBarButton {
    const char* label;
    int toolId; // -1 for the two list positions, whose tool is remembered
};
const std::array<CToolBarButton, kToolBarPositionCount>& ToolBarButtons();

/// The "Photo Retouch" and "Special Effects" lists: list position -> tool id.
std::span<const int> RetouchList();
std::span<const int> EffectsList();

/// The index into ToolLibraries() of the library a tool paints with, or -1 for a tool
/// that keeps whatever brush is current.
int ToolLibraryIndex(int toolId);

/// The tool state of the application: the current and previous tool, the tool-bar
/// position with its remembered blend modes, the last choice from each list, the brush
/// library of every tool with its remembered selection, and whether a stroke is in
/// progress.
///
/// Choosing never interrupts a stroke: between BeginStroke and EndStroke every choice is
/// refused (returns false and changes nothing), so the tool that started a stroke is the
/// one that finishes it. The caller ends the stroke first (release, Escape) and then
/// chooses; a one-shot tool returns to the previous tool after EndStroke.
class CToolSet {
public:
    static constexpr const char* kSettingsSection = "GSettings";

    CToolSet();

    int Current() const { return m_current; }
    int Previous() const { return m_previous; }
    /// The tool-bar position the bar shows: that of the current tool, kept while a
    /// one-shot tool is current; -1 when the current tool is not on the bar.
    int Position() const { return m_position; }
    int LastRetouch() const { return m_lastRetouch; }
    int LastEffects() const { return m_lastEffects; }
    /// The tool a tool-bar position chooses now (the remembered one for 8 and 9); -1
    /// outside the bar.
    int ToolAtPosition(int position) const;
    /// The blend mode remembered for a position, -1 when it has no slot of its own.
    int BlendSlot(int position) const;

    /// Makes toolId current. Tools on the bar count as choosing their position; the
    /// one-shot tools keep the bar's position. Returns false, changing nothing, during
    /// a stroke or for an unknown id.
    bool ChooseTool(int toolId, CPaintingContext& context);
    /// A tool-bar button.
    bool ChoosePosition(int position, CPaintingContext& context);
    /// An entry of the "Photo Retouch" or "Special Effects" list: remembered as that
    /// list's last choice and made current at position 8 or 9.
    bool ChooseRetouch(int listIndex, CPaintingContext& context);
    bool ChooseEffects(int listIndex, CPaintingContext& context);
    /// The tool that was current before the last change comes back (one-shot tools).
    bool ReturnToPreviousTool(CPaintingContext& context);
    /// The zoom tool turns into zoom out while the right button is held and back when it
    /// is released; nothing else of the state changes.
    void HoldZoomOut(bool held);

    /// A stroke (or any drag with the current tool) is in progress between these.
    void BeginStroke() { m_strokeActive = true; }
    void EndStroke() { m_strokeActive = false; }
    bool StrokeActive() const { return m_strokeActive; }

    /// Loads every tool's library from brushesFolder/<tool folder>/<file>, the file
    /// name taken from the settings (always "default.brs" for the stamp), and the
    /// remembered selections; then gives context the current tool's brush. Returns the
    /// texts the libraries' reading reported.
    std::vector<std::string> LoadLibraries(const std::string& brushesFolder,
                                           const ISettingsStore& store, CPaintingContext& context);
    /// Writes the remembered selections.
    void SaveSelections(ISettingsStore& store) const;
    CBrushLibrary& Library(int libraryIndex) { return m_libraries[std::size_t(libraryIndex)]; }
    const CBrushLibrary& Library(int libraryIndex) const {
        return m_libraries[std::size_t(libraryIndex)];
    }
    int Selection(int libraryIndex) const { return m_selections[std::size_t(libraryIndex)]; }
    /// The library the brush panel shows: the last one a chosen tool used.
    int ActiveLibrary() const { return m_activeLibrary; }
    /// Selects the brush at index of the active library and gives it to context; false
    /// outside the list.
    bool SelectBrush(int index, CPaintingContext& context);

private:
    bool Choose(int toolId, int position, CPaintingContext& context);
    int BarPositionOf(int toolId) const;
    void ApplyLibraryBrush(int libraryIndex, CPaintingContext& context);

    int m_current = kToolPaintBrush;
    int m_previous = kToolPaintBrush;
    int m_position = 0;
    int m_previousPosition = 0;
    int m_lastRetouch = kToolContrast;
    int m_lastEffects = kToolSelfBlend;
    std::array<int, kToolBarPositionCount> m_blendSlots{};
    bool m_strokeActive = false;
    int m_activeLibrary = 0;
    std::array<CBrushLibrary, 7> m_libraries;
    std::array<int, 7> m_selections{};
};

} // namespace quiltara
