#pragma once
#include "core/base/ColorRef.h"

#include <string>

namespace quiltara::gui {

/// Program-wide state that tools, panels and canvases share (owned by the application
/// object, reachable from everywhere through AppState()).
struct CAppState {
    int currentTool = 1;  // tool identifier, see ToolId
    int previousTool = 1; // one-shot tools return to it
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
