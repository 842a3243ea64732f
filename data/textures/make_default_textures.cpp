// Writes the program's own seamless textures into a Textures folder; the build runs it
// on the build tree's Textures/ so that the texture list is useful on first start.
#include "core/tiling/SeamlessTextures.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_textures TEXTURES_FOLDER\n");
        return 2;
    }
    if (!quiltara::WriteSeamlessTextures(argv[1])) {
        std::fprintf(stderr, "make_default_textures: cannot write the textures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
