#pragma once
#include "core/image/DIBSection2.h"

#include <cstdint>
#include <vector>

namespace quiltara {

/// Cuts a picture tube into the image hose's frames. The tube picture is width x height
/// RGBA pixels, rows top-down (the canvas of CPspFile). Cells are (width / across) x
/// (height / down) pixels, cut in reading order (left to right, then the next row) for
/// count cells, at most across x down. Each frame is a 32-bit picture with alpha that
/// shows its cell upright. No frames when the layout or the cell size is empty.
std::vector<CDIBSection2> CutTubeFrames(const std::uint8_t* rgba, int width, int height, int across,
                                        int down, int count);

} // namespace quiltara
