#pragma once
// How visible a tile's seams are: the step across the wrap compared with the steps
// between neighbouring columns and rows inside the tile.
#include "core/image/DIBSection2.h"

namespace quiltara {

struct SeamMeasure {
    double seamColumns = 0;      // mean |last column - first column| per channel value
    double insideColumns = 0;    // mean |column x + 1 - column x| over the inside pairs
    double insideColumnsMax = 0; // the largest such mean of one inside pair
    double seamRows = 0;         // the same for the last and first row
    double insideRows = 0;
    double insideRowsMax = 0;
};

/// Over blue, green and red of a 32-bit picture of at least 2 x 2 (all zero
/// otherwise). A seam no larger than the largest inside step looks like any other
/// place of the picture; one far above it shows as a line when tiled.
SeamMeasure MeasureSeams(const CDIBSection2& tile);

/// Both seams are no larger than the largest step inside: the picture repeats without
/// a line where its copies meet.
bool WrapsWell(const SeamMeasure& m);

} // namespace quiltara
