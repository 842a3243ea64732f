#pragma once
#include "core/paint/Brush.h"

#include <string>
#include <vector>

namespace quiltara {

/// The brushes a fresh installation starts with, for one tool's brush folder ("Brush",
/// "Pen", "Airbrush", "Stamp", "Retouch", "Nozzle", "Natural"); empty for any other
/// name. Everything is drawn by code from fixed seeds, so a build makes the same
/// libraries every time.
std::vector<CBrush> MakeDefaultBrushes(const std::string& folder);

/// Writes "default.brs" into brushesFolder/<tool folder>/ for each of the seven tools,
/// creating the folders. False when one could not be written.
bool WriteDefaultLibraries(const std::string& brushesFolder);

} // namespace quiltara
