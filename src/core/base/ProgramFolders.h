#pragma once
#include <string>

namespace quiltara {

/// The folders below the program folder. Every path ends in "/".
struct CProgramFolders {
    std::string program;  // the program folder itself: swap files, caches, TEMP.BMP
    std::string textures; // Textures/
    std::string swatches; // Swatches/
    std::string brushes;  // Brushes/
    std::string samples;  // Samples/
    std::string help;     // Help/
    std::string extras;   // Extras/
    std::string brushTool, penTool, airbrushTool, stampTool, retouchTool, nozzleTool,
        naturalTool; // Brushes/<tool>/

    /// The folder set below programFolder (given with or without a trailing "/").
    static CProgramFolders FromProgramFolder(const std::string& programFolder);
};

/// The program-wide folder set. Empty paths until SetProgramFolder runs; the
/// application sets it first thing at start.
const CProgramFolders& ProgramFolders();
void SetProgramFolder(const std::string& programFolder);

/// Deletes every "*.tmp" file directly in folder (swap and undo files left by an
/// earlier run); directories are skipped. Returns the number of files deleted.
int DeleteSwapFiles(const std::string& folder);

/// Creates the brush, texture, swatch and sample folders when missing; false when
/// one of them could not be made.
bool EnsureProgramFolders(const CProgramFolders& folders);

} // namespace quiltara
