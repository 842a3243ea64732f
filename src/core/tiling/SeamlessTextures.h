#pragma once
// The textures the program ships: drawn from noise whose lattice wraps at the
// picture's edges, so every one of them tiles without a seam.
#include "core/image/DIBSection2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

struct CSeamlessTextureKind {
    const char* fileName; // "Canvas.png", ...
    int kind;
};
/// Canvas, paper, stone, noise, wood grain and fabric.
const std::vector<CSeamlessTextureKind>& SeamlessTextureKinds();

/// Draws texture kind at size x size (size a multiple of 32), the same picture for the
/// same seed.
void MakeSeamlessTexture(int kind, int size, std::uint32_t seed, CDIBSection2& picture);

/// Writes every shipped texture into folder as PNG; false when one could not be written.
bool WriteSeamlessTextures(const std::string& folder, int size = 128);

} // namespace quiltara
