#pragma once
#include "core/image/DIBSection2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

class CPspFile;

/// Cuts a picture tube into the image hose's frames. The tube picture is width x height
/// RGBA pixels, rows top-down (the canvas of CPspFile). Cells are (width / across) x
/// (height / down) pixels, cut in reading order (left to right, then the next row) for
/// count cells, at most across x down. Each frame is a 32-bit picture with alpha that
/// shows its cell upright. No frames when the layout or the cell size is empty.
std::vector<CDIBSection2> CutTubeFrames(const std::uint8_t* rgba, int width, int height, int across,
                                        int down, int count);

/// A tube's cell layout.
struct TubeCells {
    int across = 0, down = 0, count = 0;
    bool Empty() const { return across < 1 || down < 1 || count < 1; }
};

/// The layout of a loaded file's tube data; empty (count 0) when it has none (a cell
/// count below 1), and the user is then asked for the cells.
TubeCells TubeCellsOf(const CPspFile& psp);

/// The layout for cells across and down given by the user: every cell is used.
TubeCells TubeCellsAnswered(int across, int down);

/// The loaded file's canvas cut into frames by the given layout (see CutTubeFrames),
/// at most maxFrames of them: a hostile layout cannot ask for millions of frames.
std::vector<CDIBSection2> CutTube(const CPspFile& psp, const TubeCells& cells, int maxFrames);

/// The "Tube Info" text of a loaded file: its creator texts, step size (tube value 1),
/// cell layout and the names of its placement and selection modes, one a line.
std::string TubeInfoText(const CPspFile& psp);

} // namespace quiltara
