#include "core/paint/ToolSet.h"

#include "core/base/SettingsStore.h"
#include "core/paint/BlendModes.h"
#include "core/paint/PaintingContext.h"

#include <algorithm>

namespace quiltara {

namespace {

struct ToolRow {
    int id;
    const char* label;
    CToolRoute route;
};

constexpr CToolRoute Canvas() {
    CToolRoute r;
    r.action = ToolAction::Canvas;
    return r;
}

constexpr CToolRoute Stroke(int kind) {
    CToolRoute r;
    r.action = ToolAction::Stroke;
    r.colorSourceKind = kind;
    return r;
}

// The painting brushes: kind 0 with the texture and clone options.
constexpr CToolRoute Brush() {
    CToolRoute r = Stroke(0);
    r.passesTexture = true;
    return r;
}

constexpr CToolRoute WithSource(CToolRoute r) {
    r.needsSource = true;
    r.pressureModeZero = true;
    return r;
}

constexpr CToolRoute OneShot(ToolAction action) {
    CToolRoute r;
    r.action = action;
    r.oneShot = true;
    r.pressureModeZero = true;
    return r;
}

constexpr CToolRoute RubberStamp() {
    CToolRoute r = Stroke(1);
    r.rightPressSetsSource = true;
    return r;
}

constexpr CToolRoute LineBridge() {
    CToolRoute r = Stroke(28);
    r.guideLine = true;
    return r;
}

constexpr CToolRoute HistoryBrush() {
    CToolRoute r = Stroke(7);
    r.pressureModeZero = true;
    return r;
}

constexpr CToolRoute Bucket() {
    CToolRoute r;
    r.action = ToolAction::Bucket;
    r.passesTexture = true;
    return r;
}

constexpr CToolRoute Rectangle() {
    CToolRoute r;
    r.action = ToolAction::Rectangle;
    return r;
}

// Every tool: its label and what the mouse does with it.
constexpr ToolRow kTools[] = {
    {kToolArrow, "Arrow", Canvas()},
    {kToolPaintBrush, "Paint Brush", Brush()},
    {kToolPen, "Pen", Brush()},
    {kToolAirbrush, "Airbrush", Brush()},
    {kToolRubberStamp, "Rubber Stamp", RubberStamp()},
    {kToolZoom, "Zoom", Canvas()},
    {kToolZoomOut, "Zoom Out", Canvas()},
    {kToolColorPick, "Color Pick", OneShot(ToolAction::PickColor)},
    {kToolSoften, "Soften", Stroke(2)},
    {kToolSharpen, "Sharpen", Stroke(3)},
    {kToolPaintBucket, "Paint Bucket", Bucket()},
    {kToolContrast, "Contrast", Stroke(11)},
    {kToolBrighten, "Brighten", Stroke(12)},
    {kToolDarken, "Darken", Stroke(13)},
    {kToolDesaturate, "Desaturate", Stroke(14)},
    {kToolSaturate, "Saturate", Stroke(15)},
    {kToolColorize, "Colorize", Stroke(16)},
    {kToolRedRemoval, "Red Removal", Stroke(17)},
    {kToolSoftenSharpen, "Soft Sharpen", Stroke(4)},
    {kToolMedian, "Median", Stroke(5)},
    {kToolRestoreBrush, "Restore Brush", WithSource(Stroke(0))},
    {kToolHistoryBrush, "History Brush", HistoryBrush()},
    {kToolTexturePick, "Texture Pick", OneShot(ToolAction::PickTexture)},
    {kToolMoveCanvas, "Move Canvas", Canvas()},
    {kToolImageNozzle, "Image Nozzle", Brush()},
    {kToolNaturalBrushes, "Natural, Artistic and 3D Brushes", Brush()},
    {kToolFloat, "Floating Selection", Canvas()},
    {kToolCrop, "Crop", Canvas()},
    {kToolLineBridge, "Line Bridge", LineBridge()},
    {kToolSelfBlend, "Self Blend", Stroke(29)},
    {kToolGrainyTone, "Grainy Tone", Stroke(30)},
    {kToolEmbossLight, "Emboss Light", Stroke(31)},
    {kToolMosaic, "Mosaic", Stroke(32)},
    {kToolLightBands, "Light Bands", Stroke(33)},
    {kToolRadialBlur, "Radial Blur", Stroke(34)},
    {kToolGlassBlocks, "Glass Blocks", Stroke(35)},
    {kToolContrastColors, "Contrast Colors", Stroke(36)},
    {kToolHeatColors, "Heat Colors", Stroke(37)},
    {kToolRadialBurst, "Radial Burst", Rectangle()},
    {kToolLensFlare, "Lens Flare", Rectangle()},
    {kToolSparkle, "Sparkle", Rectangle()},
    {kToolAddText, "Add Text", Canvas()},
    {kToolCrossBorder, "Cross-Border Clonner", WithSource(Stroke(0))},
};

const ToolRow* Row(int toolId) {
    if (toolId < 0 || toolId >= kToolIdCount) return nullptr;
    static const auto index = [] {
        std::array<const ToolRow*, kToolIdCount> table{};
        for (const ToolRow& row : kTools) table[std::size_t(row.id)] = &row;
        return table;
    }();
    return index[std::size_t(toolId)];
}

constexpr int kRetouchList[] = {kToolContrast,      kToolBrighten, kToolDarken,
                                kToolDesaturate,    kToolSaturate, kToolColorize,
                                kToolSoftenSharpen, kToolMedian,   kToolLineBridge,
                                kToolSoften,        kToolSharpen,  kToolRestoreBrush};
constexpr int kEffectsList[] = {
    kToolSelfBlend,  kToolGrainyTone,  kToolEmbossLight, kToolMosaic,         kToolLightBands,
    kToolRadialBlur, kToolGlassBlocks, kToolRadialBurst, kToolContrastColors, kToolHeatColors,
    kToolLensFlare,  kToolSparkle,     kToolRestoreBrush};

bool InList(std::span<const int> list, int toolId) {
    return std::find(list.begin(), list.end(), toolId) != list.end();
}

// Blend-mode memory of the tool bar: the positions with a slot of their own store the
// blend mode when left and take it back when chosen; "Special Effects" reads the slot
// of "Photo Retouch", the clonner always starts at "Normal", the others leave it alone.
constexpr int kReadKeeps = -1;
constexpr int kReadNormal = -2;
constexpr bool kHasSlot[kToolBarPositionCount] = {true,  true, true, true,  false, false,
                                                  false, true, true, false, false};
constexpr int kReadSlot[kToolBarPositionCount] = {0,           1, 2, 3, kReadKeeps, kReadKeeps,
                                                  kReadNormal, 7, 8, 8, kReadKeeps};

// The library settings keep a bare file name; anything that would leave the tool's
// folder falls back to the default.
std::string LibraryFileName(const std::string& setting) {
    const std::size_t slash = setting.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? setting : setting.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return kDefaultLibraryName;
    return name;
}

} // namespace

const CToolRoute& RouteFor(int toolId) {
    static const CToolRoute none;
    const ToolRow* row = Row(toolId);
    return row ? row->route : none;
}

bool IsToolId(int toolId) {
    return Row(toolId) != nullptr;
}

const char* ToolLabel(int toolId) {
    const ToolRow* row = Row(toolId);
    return row ? row->label : "";
}

const std::array<CToolBarButton, kToolBarPositionCount>& ToolBarButtons() {
    static const std::array<CToolBarButton, kToolBarPositionCount> buttons = {{
        {"Paint Brush", kToolPaintBrush},
        {"Pen", kToolPen},
        {"Airbrush", kToolAirbrush},
        {"Rubber Stamp", kToolRubberStamp},
        {"Natural, Artistic and 3D Brushes", kToolNaturalBrushes},
        {"Image Nozzle", kToolImageNozzle},
        {"Cross-Border Clonner", kToolCrossBorder},
        {"Paint Bucket", kToolPaintBucket},
        {"Photo Retouch", -1},
        {"Special Effects", -1},
        {"Text", kToolAddText},
    }};
    return buttons;
}

std::span<const int> RetouchList() {
    return kRetouchList;
}

std::span<const int> EffectsList() {
    return kEffectsList;
}

int ToolLibraryIndex(int toolId) {
    switch (toolId) {
    case kToolPaintBrush:
        return 0;
    case kToolPen:
        return 1;
    case kToolAirbrush:
        return 2;
    case kToolRubberStamp:
        return 3;
    case kToolImageNozzle:
        return 5;
    case kToolNaturalBrushes:
        return 6;
    default:
        if ((toolId >= 11 && toolId <= 20) || (toolId >= 28 && toolId <= 37)) return 4;
        return -1;
    }
}

CToolSet::CToolSet() {
    m_blendSlots.fill(kBlendNormal);
    for (std::size_t i = 0; i < m_selections.size(); ++i)
        m_selections[i] = ToolLibraries()[i].defaultSelection;
}

int CToolSet::ToolAtPosition(int position) const {
    if (position == kPositionRetouch) return m_lastRetouch;
    if (position == kPositionEffects) return m_lastEffects;
    if (position < 0 || position >= kToolBarPositionCount) return -1;
    return ToolBarButtons()[std::size_t(position)].toolId;
}

int CToolSet::BlendSlot(int position) const {
    if (position < 0 || position >= kToolBarPositionCount || !kHasSlot[position]) return -1;
    return m_blendSlots[std::size_t(position)];
}

int CToolSet::BarPositionOf(int toolId) const {
    const CToolRoute& route = RouteFor(toolId);
    if (route.oneShot) return m_position;
    for (int p = 0; p < kToolBarPositionCount; ++p)
        if (ToolBarButtons()[std::size_t(p)].toolId == toolId) return p;
    // The restore brush is on both lists: it stays on the one it was chosen from.
    const bool retouch = InList(RetouchList(), toolId), effects = InList(EffectsList(), toolId);
    if (retouch && effects)
        return m_position == kPositionEffects ? kPositionEffects : kPositionRetouch;
    if (retouch) return kPositionRetouch;
    if (effects) return kPositionEffects;
    return -1;
}

bool CToolSet::Choose(int toolId, int position, CPaintingContext& context) {
    if (m_strokeActive || !IsToolId(toolId)) return false;
    // A one-shot tool, and the return from one, stays on the bar's position: the blend
    // mode is neither stored nor read.
    const bool staysOnPosition =
        RouteFor(toolId).oneShot || (RouteFor(m_current).oneShot && position == m_position);
    if (!staysOnPosition) {
        if (m_position >= 0 && kHasSlot[m_position])
            m_blendSlots[std::size_t(m_position)] = context.blendMode;
        const int read = position >= 0 ? kReadSlot[position] : kReadKeeps;
        if (read == kReadNormal)
            context.blendMode = kBlendNormal;
        else if (read != kReadKeeps)
            context.blendMode = m_blendSlots[std::size_t(read)];
    }
    if (toolId != m_current) {
        m_previous = m_current;
        m_previousPosition = m_position;
    }
    m_current = toolId;
    m_position = position;
    if (position == kPositionRetouch) m_lastRetouch = toolId;
    if (position == kPositionEffects) m_lastEffects = toolId;
    context.toolId = toolId;
    const int library = ToolLibraryIndex(toolId);
    if (library >= 0) ApplyLibraryBrush(library, context);
    return true;
}

bool CToolSet::ChooseTool(int toolId, CPaintingContext& context) {
    return Choose(toolId, BarPositionOf(toolId), context);
}

bool CToolSet::ChoosePosition(int position, CPaintingContext& context) {
    const int tool = ToolAtPosition(position);
    return tool >= 0 && Choose(tool, position, context);
}

bool CToolSet::ChooseRetouch(int listIndex, CPaintingContext& context) {
    if (listIndex < 0 || listIndex >= int(RetouchList().size())) return false;
    return Choose(RetouchList()[std::size_t(listIndex)], kPositionRetouch, context);
}

bool CToolSet::ChooseEffects(int listIndex, CPaintingContext& context) {
    if (listIndex < 0 || listIndex >= int(EffectsList().size())) return false;
    return Choose(EffectsList()[std::size_t(listIndex)], kPositionEffects, context);
}

bool CToolSet::ReturnToPreviousTool(CPaintingContext& context) {
    return Choose(m_previous, m_previousPosition, context);
}

void CToolSet::HoldZoomOut(bool held) {
    if (held && m_current == kToolZoom) m_current = kToolZoomOut;
    if (!held && m_current == kToolZoomOut) m_current = kToolZoom;
}

std::vector<std::string> CToolSet::LoadLibraries(const std::string& brushesFolder,
                                                 const ISettingsStore& store,
                                                 CPaintingContext& context) {
    std::vector<std::string> messages;
    std::string folder = brushesFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    for (std::size_t i = 0; i < m_libraries.size(); ++i) {
        const CToolLibrary& tool = ToolLibraries()[i];
        const std::string name =
            *tool.fileSetting ? LibraryFileName(store.GetString(kSettingsSection, tool.fileSetting,
                                                                kDefaultLibraryName))
                              : kDefaultLibraryName;
        const CBrushFileResult result = m_libraries[i].Load(folder + tool.folder + "/" + name);
        messages.insert(messages.end(), result.messages.begin(), result.messages.end());
        m_selections[i] =
            store.GetInt(kSettingsSection, tool.selectionSetting, tool.defaultSelection);
    }
    ApplyLibraryBrush(m_activeLibrary, context);
    return messages;
}

void CToolSet::SaveSelections(ISettingsStore& store) const {
    for (std::size_t i = 0; i < m_selections.size(); ++i)
        store.SetInt(kSettingsSection, ToolLibraries()[i].selectionSetting, m_selections[i]);
}

void CToolSet::ApplyLibraryBrush(int libraryIndex, CPaintingContext& context) {
    m_activeLibrary = libraryIndex;
    const CBrushLibrary& library = m_libraries[std::size_t(libraryIndex)];
    // A remembered selection past the end of a shorter library falls back to the last
    // brush; an empty library leaves the current brush alone.
    const int count = library.Count();
    if (count == 0) return;
    const int index = std::clamp(m_selections[std::size_t(libraryIndex)], 0, count - 1);
    context.SelectBrush(*library.At(index));
}

bool CToolSet::SelectBrush(int index, CPaintingContext& context) {
    const CBrush* brush = m_libraries[std::size_t(m_activeLibrary)].At(index);
    if (!brush) return false;
    m_selections[std::size_t(m_activeLibrary)] = index;
    context.SelectBrush(*brush);
    return true;
}

} // namespace quiltara
