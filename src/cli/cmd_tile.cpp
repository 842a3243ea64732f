// quiltara-cli tile: the tile preparation wizard without its dialog.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/tiling/TileWizardModel.h"

#include <cstdio>
#include <string>

namespace quiltara::cli {

namespace {

constexpr long long kMaxSide = 1 << 20;

// "W" or "WxH"; a lone W gives a square.
bool ParseSize(const std::string& text, int& w, int& h, bool squareAllowed) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        if (!squareAllowed || !ParseInt(text, 1, kMaxSide, w)) return false;
        h = w;
        return true;
    }
    return ParseInt(text.substr(0, x), 1, kMaxSide, w) &&
           ParseInt(text.substr(x + 1), 1, kMaxSide, h);
}

bool ParsePoint(const std::string& text, int& x, int& y) {
    const std::size_t comma = text.find(',');
    return comma != std::string::npos && ParseInt(text.substr(0, comma), -kMaxSide, kMaxSide, x) &&
           ParseInt(text.substr(comma + 1), -kMaxSide, kMaxSide, y);
}

bool ParseMode(const std::string& text, int& mode) {
    const char* names[] = {"none", "mandalay", "sunflower", "wash"};
    for (int i = 0; i < kTileEffectCount; ++i)
        if (text == names[i]) {
            mode = i;
            return true;
        }
    return false;
}

int RunTile(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    TileJob job;
    std::string surroundingsPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--mode" && hasValue) {
            if (!ParseMode(args[++i], job.mode))
                return Fail("--mode is none, mandalay, sunflower or wash");
        } else if (a == "--tile" && hasValue) {
            if (!ParseSize(args[++i], job.tileW, job.tileH, true))
                return Fail("--tile takes W or WxH, positive");
        } else if (a == "--at" && hasValue) {
            if (!ParsePoint(args[++i], job.atX, job.atY)) return Fail("--at takes X,Y");
            job.hasAt = true;
        } else if (a == "--source-size" && hasValue) {
            if (!ParseSize(args[++i], job.sourceW, job.sourceH, false))
                return Fail("--source-size takes WxH, positive");
        } else if (a == "--pitch" && hasValue) {
            if (!ParseDouble(args[++i], job.pitch)) return Fail("--pitch takes degrees");
            job.hasPitch = true;
        } else if (a == "--surroundings" && hasValue) {
            surroundingsPath = args[++i];
        } else if (a == "--whole") {
            job.whole = true;
        } else if (a == "--flatten-light") {
            job.flattenLight = true;
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return Fail("usage: tile IN OUT [options] (see --help)");
    if (job.whole && !surroundingsPath.empty())
        return Fail("--whole keeps the whole picture: there are no surroundings to write");

    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    TileWizardOutcome outcome;
    TileJobReport report;
    try {
        if (!RunTileJob(picture, job, outcome, &report)) {
            if (report.frameOutside)
                return Fail("the frame at " + std::to_string(job.atX) + "," +
                            std::to_string(job.atY) + " reaches outside the picture; it fits at " +
                            std::to_string(report.heldX) + "," + std::to_string(report.heldY));
            return Fail("not enough memory to rotate the picture");
        }
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for a picture of that size");
    }
    const CDIBSection2& result = outcome.image.IsEmpty() ? picture : outcome.image;
    if (!surroundingsPath.empty()) {
        if (outcome.surroundings.image.IsEmpty())
            return Fail("the frame lies outside the picture: no surroundings");
        if (!WritePicture(surroundingsPath, outcome.surroundings.image, false, error))
            return Fail(error);
        std::printf("offset: %d %d\n", outcome.surroundings.offsetX, outcome.surroundings.offsetY);
    }
    if (!WritePicture(positional[1], result, false, error)) return Fail(error);
    return 0;
}

const CliRegistration tileCommand(
    {"tile",
     "tile IN OUT [--mode none|mandalay|sunflower|wash] [--tile W[xH]] [--at X,Y] "
     "[--source-size WxH] [--pitch DEG] [--surroundings FILE] [--whole] [--flatten-light]",
     "cut a tile from a photograph as the tile wizard does (--at: the frame's left column "
     "and top row, centred by default, refused where the frame would leave the photograph; "
     "the tile is held to the photograph and 5000 a side; --surroundings prints the "
     "tile's offset, rows from the bottom; --flatten-light takes the light out of the tile "
     "and its surroundings)",
     RunTile});

} // namespace

} // namespace quiltara::cli
