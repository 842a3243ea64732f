// Writes the default brush library of every tool into a Brushes folder; the build runs
// it on the build tree's Brushes/ so that a fresh program finds its brushes.
#include "core/paint/DefaultBrushes.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_brushes BRUSHES_FOLDER\n");
        return 2;
    }
    if (!quiltara::WriteDefaultLibraries(argv[1])) {
        std::fprintf(stderr, "make_default_brushes: cannot write the libraries below %s\n",
                     argv[1]);
        return 1;
    }
    return 0;
}
