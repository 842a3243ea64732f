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
    std::string plugins;  // Plugins/: the first folder searched for filter plug-ins
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

/// The data folders a program folder is seeded with.
inline constexpr const char* kSeededDataFolders[] = {"Help",    "Brushes", "Textures", "Swatches",
                                                     "Samples", "Plugins", "Extras"};

/// Copies into programFolder every file below the data folders of dataFolder (the
/// installed read-only data, or a build tree) that programFolder lacks, and creates the
/// data folders themselves. Files already there, the user's own or changed ones, are
/// never replaced. Only plain files are copied: links, files whose names start with a
/// dot and anything outside the data folders are left alone. A file is copied under a
/// temporary name and renamed when complete, so an interrupted copy is taken up again
/// next time. Returns the number of files copied.
int SeedProgramFolder(const std::string& dataFolder, const std::string& programFolder);

} // namespace quiltara
