// quiltara-cli seam: how visible a tile's wrap and its repetition are.
#include "CliCommand.h"
#include "CliPictureFiles.h"

#include "core/tiling/RepetitionMeasure.h"
#include "core/tiling/SeamMeter.h"

#include <cstdio>

namespace quiltara::cli {

namespace {

void PrintSeam(const char* name, const SeamScore& s) {
    if (!s.measured) {
        std::printf("%s: not measured (fewer than 3 pixels across)\n", name);
        return;
    }
    std::printf("%s: %.3f (step across %.2f, inside %.2f)\n", name, s.score, s.across, s.inside);
}

int RunSeam(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string mapPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--map" && i + 1 < args.size())
            mapPath = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            return Fail("unknown option " + args[i]);
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 1) return Fail("usage: seam IN [--map OUT.png]");
    CDIBSection2 tile;
    std::string error;
    if (!ReadPicture(positional[0], tile, error)) return Fail(error);
    CSeamMeter meter;
    meter.Measure(tile);
    const SeamScores& scores = meter.Scores();
    PrintSeam("left/right", scores.leftRight);
    PrintSeam("top/bottom", scores.topBottom);
    PrintSeam("overall", scores.overall);
    std::printf("repetition: %.3f\n", MeasureRepetition(tile));
    if (!mapPath.empty()) {
        CDIBSection2 map;
        RenderSeamMap(tile, meter, map);
        if (map.IsEmpty()) return Fail("the picture is too small for a seam map");
        if (!WritePicture(mapPath, map, false, error)) return Fail(error);
    }
    return 0;
}

const CliRegistration seamCommand(
    {"seam", "seam IN [--map OUT.png]",
     "score how visible the tile's wrap is (0: invisible; 1: the step across the wrap is twice "
     "the steps beside it) per seam and overall, and how visible its repetition is from afar "
     "(0..1); --map writes the tile moved by half with the heat along its seams",
     RunSeam});

} // namespace

} // namespace quiltara::cli
