#pragma once
// The program's icon: four tiles whose corner motifs meet across the seams into whole
// circles, as a seamless tile repeats. One description, drawn as pixels at any size
// and written as SVG, so the themed icons and the window icon always agree.
#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

/// The icon at size x size pixels (size 1 to 1024; otherwise empty): red, green, blue,
/// alpha bytes, top row first, alpha not premultiplied. Edges are antialiased.
std::vector<std::uint8_t> DrawProgramIcon(int size);

/// The same icon as a stand-alone SVG document on a 256-unit square.
std::string ProgramIconSvg();

} // namespace quiltara
