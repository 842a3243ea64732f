#pragma once
#include "core/base/ColorRef.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/CloneState.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolSet.h"

#include <random>
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
    /// The rubber stamp's source, target and options.
    CCloneState clone;
    /// What every accepted choice of a tool does besides the tool set's own work: the
    /// stamp's source is forgotten and the operators' tables follow the tool.
    void ToolChosen() {
        clone.Reset();
        operators.ToolChosen(tools.Current(), random);
    }
    /// The retouch and effect brushes' tables, and the random source of the strokes.
    CToolOperatorState operators;
    CRuntimeRandom random{std::uint32_t(std::random_device{}())};
    /// Chooses a tool on the tool set with the painting context (no panels refreshed).
    bool ChooseTool(int toolId) {
        if (!tools.ChooseTool(toolId, painting)) return false;
        ToolChosen();
        return true;
    }
    /// Raised by Escape and by closing a view: long tool runs stop at the next check.
    bool stopFlag = false;
    /// "Paste as New" sets it and runs "&New", which then takes the clipboard.
    bool newFromClipboard = false;
    /// A file the next new document loads (set by acquisition).
    std::string pendingLoadPath;
};

CAppState& AppState();

} // namespace quiltara::gui
