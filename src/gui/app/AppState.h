#pragma once
#include "core/base/ColorRef.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolSet.h"

#include <string>

namespace quiltara::gui {

/// Program-wide state that tools, panels and canvases share (owned by the application
/// object, reachable from everywhere through AppState()).
struct CAppState {
    /// The current and previous tool, the tool bar with its blend-mode memory, and the
    /// brush libraries. Choose tools through the application object (CTessaryApp), which
    /// also refreshes the panels and cursors; tests may choose here directly.
    CToolSet tools;
    /// What strokes read: opacity, blend mode, the current brush, texture, pressure.
    CPaintingContext painting;
    /// Chooses a tool on the tool set with the painting context (no panels refreshed).
    bool ChooseTool(int toolId) { return tools.ChooseTool(toolId, painting); }
    ColorRef foreColor = 255;
    ColorRef backColor = 0;
    /// Raised by Escape and by closing a view: long tool runs stop at the next check.
    bool stopFlag = false;
    /// "Paste as New" sets it and runs "&New", which then takes the clipboard.
    bool newFromClipboard = false;
    /// A file the next new document loads (set by acquisition).
    std::string pendingLoadPath;
};

CAppState& AppState();

} // namespace quiltara::gui
